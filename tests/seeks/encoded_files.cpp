// The encoded files: the table of encoders and formats, the source signal,
// and running the encoder programs.
#include "tests/seeks/encoded_files.h"

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace encoded {
namespace {

const char kLibsndfile[] = "libsndfile";

// Lossless rows from libsndfile span the ways libsndfile seeks: straight
// to a byte (PCM, companded), to a block (ADPCM, FLAC, ALAC), and not at
// all (GSM 6.10, G.721, NMS ADPCM, DWVW, XI's DPCM).
const std::vector<EncodedFile> kFiles = {
    {"lsf_pcm16.wav", kLibsndfile, nullptr, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, false},
    {"lsf_float.caf", kLibsndfile, nullptr, SF_FORMAT_CAF | SF_FORMAT_FLOAT, 2, 48000, false},
    {"lsf_ulaw.au", kLibsndfile, nullptr, SF_FORMAT_AU | SF_FORMAT_ULAW, 1, 8000, false},
    {"lsf_ima.wav", kLibsndfile, nullptr, SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 2, 44100, false},
    {"lsf_msadpcm.wav", kLibsndfile, nullptr, SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 22050, false},
    {"lsf_gsm.wav", kLibsndfile, nullptr, SF_FORMAT_WAV | SF_FORMAT_GSM610, 1, 8000, false},
    {"lsf_g721.au", kLibsndfile, nullptr, SF_FORMAT_AU | SF_FORMAT_G721_32, 1, 8000, false},
    {"lsf_nms.wav", kLibsndfile, nullptr, SF_FORMAT_WAV | SF_FORMAT_NMS_ADPCM_32, 1, 8000, false},
    {"lsf_dwvw16.aiff", kLibsndfile, nullptr, SF_FORMAT_AIFF | SF_FORMAT_DWVW_16, 1, 22050, false},
    {"lsf_dpcm16.xi", kLibsndfile, nullptr, SF_FORMAT_XI | SF_FORMAT_DPCM_16, 1, 22050, false},
    {"lsf_flac24.flac", kLibsndfile, nullptr, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 44100, false},
    {"lsf_alac16.caf", kLibsndfile, nullptr, SF_FORMAT_CAF | SF_FORMAT_ALAC_16, 2, 44100, false},
    {"lsf_paf24.paf", kLibsndfile, nullptr, SF_FORMAT_PAF | SF_FORMAT_PCM_24, 2, 44100, false},
    {"lsf_vorbis.oga", kLibsndfile, nullptr, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, 44100, true},
    {"lsf_vorbis_mono8k.oga", kLibsndfile, nullptr, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1, 8000, true},
    {"lsf_opus.opus", kLibsndfile, nullptr, SF_FORMAT_OGG | SF_FORMAT_OPUS, 2, 48000, true},
    {"lsf_mp3.mp3", kLibsndfile, nullptr, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, 44100, true},
    {"sox_vorbis.ogg", "sox", "-q {in} {out}", 0, 2, 44100, true},
    {"sox_vorbis_mono8k.ogg", "sox", "-q {in} {out}", 0, 1, 8000, true},
    {"sox_flac.flac", "sox", "-q {in} {out}", 0, 2, 44100, false},
    {"sox_ima.wav", "sox", "-q {in} -e ima-adpcm {out}", 0, 2, 44100, false},
    {"sox_gsm.wav", "sox", "-q {in} -e gsm-full-rate {out}", 0, 1, 8000, false},
    {"ffmpeg_vorbis.ogg", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a libvorbis {out}", 0, 2, 44100, true},
    {"ffmpeg_vorbis_96k.ogg", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a libvorbis {out}", 0, 2, 96000,
     true},
    {"ffmpeg_opus.opus", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a libopus {out}", 0, 2, 48000, true},
    {"ffmpeg_flac.flac", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a flac {out}", 0, 2, 44100, false},
    {"ffmpeg_mp3.mp3", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a libmp3lame {out}", 0, 2, 44100, true},
    {"ffmpeg_mp3_noxing.mp3", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a libmp3lame -write_xing 0 {out}",
     0, 2, 44100, true},
    {"ffmpeg_msadpcm.wav", "ffmpeg", "-nostdin -loglevel error -y -i {in} -c:a adpcm_ms {out}", 0, 2, 44100, false},
    {"oggenc_vorbis.ogg", "oggenc", "-Q -o {out} {in}", 0, 2, 44100, true},
    {"oggenc_vorbis_q-1.ogg", "oggenc", "-Q -q -1 -o {out} {in}", 0, 2, 44100, true},
    {"oggenc_vorbis_q10_6ch.ogg", "oggenc", "-Q -q 10 -o {out} {in}", 0, 6, 48000, true},
    {"opusenc_opus.opus", "opusenc", "--quiet {in} {out}", 0, 2, 48000, true},
    {"flac_flac.flac", "flac", "-s -f -o {out} {in}", 0, 2, 44100, false},
};

// Removes the folder when the test process ends.
struct Folder {
  Folder() {
    path = std::filesystem::temp_directory_path() /
           ("pexo_seek_tests_" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

// A sweep per channel, a second tone and a little noise, within -0.8..0.8:
// something in every band, changing all the time, so that a misplaced or
// wrongly decoded stretch cannot match by accident.
std::vector<double> Signal(int channels, int rate) {
  const int frames = rate * kSeconds;
  std::vector<double> samples(static_cast<size_t>(frames) * channels);
  unsigned noise = 2024;
  const double kPi = 3.14159265358979323846;
  for (int frame = 0; frame < frames; ++frame) {
    const double time = static_cast<double>(frame) / rate;
    for (int channel = 0; channel < channels; ++channel) {
      noise = noise * 1103515245u + 12345u;
      const double jitter = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.1;
      const double sweep = std::sin(2 * kPi * (100.0 * (channel + 1) * time + 300.0 * time * time));
      const double tone = std::sin(2 * kPi * 440.0 * (channel + 1) * time);
      samples[static_cast<size_t>(frame) * channels + channel] = 0.45 * sweep + 0.25 * tone + jitter;
    }
  }
  return samples;
}

bool WriteWithLibsndfile(const std::string& path, int format, int channels, int rate, std::string* failure) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
  if (handle == nullptr) {
    *failure = "libsndfile cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const std::vector<double> samples = Signal(channels, rate);
  const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
  const bool whole = sf_writef_double(handle, samples.data(), frames) == frames;
  sf_close(handle);
  if (!whole) *failure = "libsndfile wrote " + path + " short";
  return whole;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

}  // namespace

void PrintTo(const EncodedFile& file, std::ostream* out) { *out << file.name; }

const std::vector<EncodedFile>& All() { return kFiles; }

bool ToolAvailable(const EncodedFile& file) {
  if (file.command == nullptr) return true;
  const std::string probe = std::string("command -v ") + file.tool + " >/dev/null 2>&1";
  return std::system(probe.c_str()) == 0;
}

std::string PathOf(const EncodedFile& file, std::string* failure) {
  const std::filesystem::path path = TheFolder().path / file.name;
  if (std::filesystem::exists(path)) return path.string();
  if (file.command == nullptr) {
    return WriteWithLibsndfile(path.string(), file.format, file.channels, file.sampleRate, failure) ? path.string()
                                                                                                    : "";
  }
  const std::string source =
      (TheFolder().path / (std::string(file.name) + ".source.wav")).string();
  if (!WriteWithLibsndfile(source, SF_FORMAT_WAV | SF_FORMAT_PCM_16, file.channels, file.sampleRate, failure)) {
    return "";
  }
  std::string command = Replaced(file.command, "{in}", Quoted(source));
  command = std::string(file.tool) + " " + Replaced(command, "{out}", Quoted(path.string())) + " </dev/null";
  const int status = std::system(command.c_str());
  std::filesystem::remove(source);
  if (status != 0 || !std::filesystem::exists(path)) {
    *failure = "the encoder failed (status " + std::to_string(status) + "): " + command;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return "";
  }
  return path.string();
}

}  // namespace encoded
