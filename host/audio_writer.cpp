// WriteAudio: the writer's life from makeSink to the file in place.
#include "host/audio_writer.h"

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

#include "host/output_check.h"
#include "host/output_file.h"
#include "host/peak_builder.h"
#include "host/peak_file.h"
#include "host/sample_conditioner.h"

namespace pexo_host {
namespace {

constexpr int kBlockFrames = 4096;
constexpr int kMaxChannels = 1024;

struct SinkDeleter {
  void operator()(PCM_sink* sink) const { delete sink; }
};

}  // namespace

int DecoderFrames::SampleRate() {
  double rate = decoder->SampleRateHz();
  if (!(rate >= 1.0 && rate <= INT_MAX) || std::floor(rate) != rate) return 0;
  return static_cast<int>(rate);
}

bool WriteAudio(const SinkRegistration* sink, FrameSource& source, const WriteRequest& request,
                WriteResult* result, std::string* error) {
  const int channels = source.Channels();
  const int rate = source.SampleRate();
  if (channels < 1 || channels > kMaxChannels) {
    *error = "unsupported channel count " + std::to_string(channels);
    return false;
  }
  if (rate < 1) {
    *error = "the sample rate is not a whole number of hertz";
    return false;
  }
  TemporaryFile temporary;
  if (!temporary.Create(request.output, error)) return false;
  const bool peaks = !request.peaksPath.empty();
  std::unique_ptr<PCM_sink, SinkDeleter> writer(sink->makeSink(temporary.Path().c_str(), request.block.data(),
                                                               static_cast<int>(request.block.size()), channels,
                                                               rate, peaks));
  int32_t formatWord = 0;
  if (request.block.size() >= 8) std::memcpy(&formatWord, request.block.data() + 4, sizeof formatWord);
  if (writer == nullptr) {
    // The file system's refusal, where there is one, is the cause to name.
    *error = WriteProblem(temporary.Path());
    if (error->empty()) {
      *error = "libsndfile cannot write " + request.choice + " with " + std::to_string(channels) +
               (channels == 1 ? " channel" : " channels") + " at " + std::to_string(rate) + " Hz";
    }
    return false;
  }

  std::vector<double> buffer(static_cast<size_t>(kBlockFrames) * static_cast<size_t>(channels));
  const int64_t total = source.TotalFrames();
  int64_t done = 0;
  auto lastReport = std::chrono::steady_clock::now();
  for (;;) {
    int frames = source.Read(buffer.data(), kBlockFrames);
    if (frames <= 0) break;
    if (frames > kBlockFrames) frames = kBlockFrames;  // never trust more than the buffer holds
    ReplaceNonFinite(buffer.data(), static_cast<size_t>(frames) * static_cast<size_t>(channels));
    double* buffers[1] = {buffer.data()};
    int64_t written = writer->WriteBlock(buffers, frames, channels, 0, 0);
    if (written != static_cast<int64_t>(frames) * channels) {
      writer.reset();
      std::string cause = WriteProblem(temporary.Path());
      *error = "write failed after " + std::to_string(done) + " frames (" + (cause.empty() ? "disk full?" : cause) +
               "): the writer took " + std::to_string(written) + " of " +
               std::to_string(static_cast<int64_t>(frames) * channels) + " values";
      return false;
    }
    done += frames;
    auto now = std::chrono::steady_clock::now();
    if (request.progress && now - lastReport >= std::chrono::milliseconds(100)) {
      request.progress(done, total);
      lastReport = now;
    }
  }
  char description[512] = {};
  writer->DescribeOutput(description, sizeof description - 1);
  writer.reset();  // closes the file and destroys the peak builder
  if (!temporary.Sync(error)) return false;
  if (request.readBack != nullptr) {
    *error = CheckWrittenFile(request.readBack, temporary.Path(), formatWord, channels, rate, done);
    if (!error->empty()) return false;
  }

  TemporaryFile peaksFile;
  if (peaks) {
    Peaks collected;
    if (!TakeFinishedPeaks(temporary.Path(), &collected)) {
      *error = "the writer built no peaks";
      return false;
    }
    if (!peaksFile.Create(request.peaksPath, error) || !WritePeakFile(collected, peaksFile.Path(), error) ||
        !peaksFile.Sync(error)) {
      return false;
    }
  }
  if (peaks && request.replace) {
    // The two belong together, old or new, never neither: the output changes
    // places with the file it replaces, which comes back should the peaks
    // not follow, and goes only once they are in place.
    if (!temporary.ExchangeWith(request.output, error)) return false;
    if (!peaksFile.MoveTo(request.peaksPath, true, error)) {
      std::string ignored;
      if (temporary.Path().empty() || !temporary.ExchangeWith(request.output, &ignored)) {
        unlink(request.output.c_str());
      }
      return false;
    }
    temporary.Discard();  // what the output replaced
  } else {
    if (!temporary.MoveTo(request.output, request.replace, error)) return false;
    if (peaks && !peaksFile.MoveTo(request.peaksPath, request.replace, error)) {
      // The two belong together: without its peaks the output goes too.
      unlink(request.output.c_str());
      return false;
    }
  }
  if (request.progress) request.progress(done, total);
  result->description = description;
  result->frames = done;
  return true;
}

}  // namespace pexo_host
