// CheckWrittenFile and WriteProblem.
#include "host/output_check.h"

#include <fcntl.h>
#include <sndfile.h>  // format-word names only
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "host/host_source.h"
#include "host/input_file.h"

namespace pexo_host {
namespace {

constexpr int kReadBackFrames = 4096;

std::string Frames(int64_t count) { return std::to_string(count) + (count == 1 ? " frame" : " frames"); }

// Bytes per sample of a headerless encoding of fixed width; 0 for others.
int RawSampleBytes(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
  }
}

std::string CheckRawFile(const std::string& path, int formatWord, int channels, int64_t frames) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::string("the written file is gone: ") + std::strerror(errno);
  int width = RawSampleBytes(formatWord & SF_FORMAT_SUBMASK);
  if (width == 0) {
    // No fixed size to expect: at least some bytes for some frames.
    if (frames > 0 && status.st_size == 0) return "the written file is empty; " + Frames(frames) + " were written";
    return "";
  }
  int64_t expected = frames * channels * width;
  if (status.st_size != expected) {
    return "the written file is incomplete: it holds " + std::to_string(status.st_size) + " bytes, " +
           Frames(status.st_size / (static_cast<int64_t>(channels) * width)) + ", of the " + Frames(frames) +
           " written (" + std::to_string(expected) + " bytes)";
  }
  return "";
}

}  // namespace

std::string CheckWrittenFile(const SourceRegistration* reader, const std::string& path, int formatWord,
                             int channels, int rate, int64_t frames) {
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) return CheckRawFile(path, formatWord, channels, frames);
  std::string failure;
  SourcePointer source = OpenInput(reader, path, &failure);
  if (source == nullptr) {
    if (frames == 0) return "the input has no frames, and the empty file libsndfile writes in this format does not read back; refused";
    return "the written file does not read back (" + failure + "); " + Frames(frames) + " were written";
  }
  ISimpleMediaDecoder* decoder = DecoderOf(source.get());
  if (decoder->ChannelCount() != channels || decoder->SampleRateHz() != static_cast<double>(rate)) {
    return "the written file reads back as " + std::to_string(decoder->ChannelCount()) + " channels at " +
           std::to_string(decoder->SampleRateHz()) + " Hz, not the " + std::to_string(channels) + " at " +
           std::to_string(rate) + " Hz written";
  }
  const int64_t announced = decoder->LengthFrames();
  std::vector<double> buffer(static_cast<size_t>(kReadBackFrames) * static_cast<size_t>(channels));
  int64_t delivered = 0;
  for (;;) {
    int read = decoder->ReadFrames(buffer.data(), kReadBackFrames);
    if (read <= 0) break;
    delivered += read;
  }
  if (delivered != frames) {
    return "the written file is incomplete: it reads back as " + Frames(delivered) + " of the " + Frames(frames) +
           " written";
  }
  // 0 is a length the decoder does not know; any other must agree.
  if (announced != 0 && announced != frames) {
    return "the written file's header says " + Frames(announced) + ", not the " + Frames(frames) + " written";
  }
  return "";
}

std::string WriteProblem(const std::string& path) {
  int file = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (file < 0) return std::string("cannot open the file for writing: ") + std::strerror(errno);
  // Room for any header libsndfile writes first; written until the file
  // system says no, so that its own reason is the one reported.
  static const char kZeros[65536] = {};
  size_t done = 0;
  int saved = 0;
  while (done < sizeof kZeros) {
    ssize_t written = write(file, kZeros + done, sizeof kZeros - done);
    if (written < 0) {
      saved = errno;
      break;
    }
    if (written == 0) {
      saved = ENOSPC;
      break;
    }
    done += static_cast<size_t>(written);
  }
  if (ftruncate(file, 0) != 0) saved = saved != 0 ? saved : errno;
  close(file);
  if (saved == 0) return "";
  std::string folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
  if (folder.empty()) folder = ".";
  struct rlimit limit;
  if (saved == EFBIG && getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    return "the file-size limit of this process (" + std::to_string(static_cast<long long>(limit.rlim_cur)) +
           " bytes, ulimit -f) is reached";
  }
  struct statvfs space;
  if ((saved == ENOSPC || saved == EDQUOT) && statvfs(folder.c_str(), &space) == 0) {
    return std::string(saved == EDQUOT ? "the disk quota is used up" : "no space left") + " on the file system of " +
           folder + " (" +
           std::to_string(static_cast<long long>(space.f_bavail) * static_cast<long long>(space.f_frsize)) +
           " bytes free)";
  }
  return "cannot write in " + folder + ": " + std::strerror(saved);
}

}  // namespace pexo_host
