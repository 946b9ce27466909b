// Writes the seed inputs of every fuzz target into a folder per target:
// tiny audio files of each format libsndfile writes, ini files, blocks and
// operation sequences, each encoded as the target reads its input.
// Usage: pexo_fuzz_seed_maker SEEDS_FOLDER (tests/fuzz/make-seeds runs it).
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "tests/common/stored_defaults.h"
#include "tests/fuzz/decoder_extensions.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using test_ini::ConfigBlock;
using test_ini::HexCase;
using test_ini::HexDigits;
using test_ini::StructForm;

std::string folder;

void Save(const std::string& target, const std::string& name, const std::string& bytes) {
  std::string dir = folder + "/" + target;
  mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

struct Format {
  int32_t word;
  std::string majorExtension;
  std::string subtypeName;
};

// Every pair that passes the check for one channel, in enumeration order:
// the writer target's own list.
std::vector<Format> Writable() {
  std::vector<Format> writable;
  int majors = 0, subtypes = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &majors, sizeof majors);
  sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &subtypes, sizeof subtypes);
  for (int m = 0; m < majors; ++m) {
    SF_FORMAT_INFO major{};
    major.format = m;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major);
    for (int s = 0; s < subtypes; ++s) {
      SF_FORMAT_INFO subtype{};
      subtype.format = s;
      sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &subtype, sizeof subtype);
      SF_INFO info{};
      info.format = major.format | subtype.format;
      info.channels = 1;
      info.samplerate = 44100;
      if (sf_format_check(&info)) writable.push_back({info.format, major.extension, subtype.name});
    }
  }
  return writable;
}

// A tiny file in that format, or nothing when libsndfile cannot write it.
std::string AudioFile(int32_t word, int channels, int frames) {
  char path[] = "/tmp/pexo-seed-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return "";
  close(fd);
  SF_INFO info{};
  info.format = word;
  info.channels = channels;
  info.samplerate = 8000;
  SNDFILE* file = sf_open(path, SFM_WRITE, &info);
  std::string bytes;
  if (file != nullptr) {
    std::vector<double> samples(static_cast<size_t>(frames * channels));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5 * std::sin(0.3 * static_cast<double>(i));
    sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  unlink(path);
  return bytes;
}

size_t ExtensionIndex(const std::string& extension) {
  for (size_t i = 0; i < fuzz_decoder::kExtensionCount; ++i)
    if (extension == fuzz_decoder::kExtensions[i]) return i;
  return 0;
}

void DecoderSeed(const Format& format, const std::string& file) {
  FuzzOutput out;
  out.InRange(0, fuzz_decoder::kExtensionCount - 1, static_cast<int64_t>(ExtensionIndex(format.majorExtension)));
  out.InRange(0, 65535, static_cast<int64_t>(file.size())).Raw(file);
  out.InRange(0, 9, 0).InRange(-2, 64, 8);                                  // read 8
  out.InRange(0, 9, 0).InRange(-2, 64, 64);                                 // read past the end
  out.InRange(0, 9, 3).Bool(true).InRange(-1, 18, 3);                       // seek to 3
  out.InRange(0, 9, 1).InRange(-2, 64, 4);                                  // read 4
  out.InRange(0, 9, 4).Bool(false).InRange(0, 64, 64);                      // full properties
  out.InRange(0, 9, 5).InRange(0, 3, 0);                                    // reopen
  out.InRange(0, 9, 2).InRange(-2, 64, 16);                                 // read 16
  out.InRange(0, 9, 6).Bool(true).InRange(-2, 64, 8);                       // copy, open, read
  out.InRange(0, 9, 4).Bool(true).InRange(0, 80, 30).InRange(0, 64, 10);    // small properties
  out.InRange(0, 9, 8).InRange(0, static_cast<int64_t>(file.size()), static_cast<int64_t>(file.size() / 2));
  out.InRange(0, 9, 0).InRange(-2, 64, 64);                                 // read what is left
  std::string name = format.majorExtension + "-" + format.subtypeName;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  Save("decoder", name, out.bytes);
}

// Each major format once, with 16-bit PCM where it has it, then each subtype
// not yet seen in the first major format that writes it.
void DecoderSeeds(const std::vector<Format>& writable) {
  std::set<int32_t> majorsDone, subtypesDone;
  auto take = [&](const Format& format) {
    int32_t subtype = format.word & 0xFFFF;
    int channels = (subtype == SF_FORMAT_PCM_16 || subtype == SF_FORMAT_FLOAT) ? 2 : 1;
    std::string file = AudioFile(format.word, channels, 16);
    if (file.empty() || file.size() > 8192) return false;
    majorsDone.insert(format.word & 0x0FFF0000);
    subtypesDone.insert(subtype);
    DecoderSeed(format, file);
    return true;
  };
  for (const Format& format : writable)
    if ((format.word & 0xFFFF) == SF_FORMAT_PCM_16 && !majorsDone.count(format.word & 0x0FFF0000)) take(format);
  for (const Format& format : writable)
    if (!majorsDone.count(format.word & 0x0FFF0000)) take(format);
  for (const Format& format : writable)
    if (!subtypesDone.count(format.word & 0xFFFF)) take(format);
}

void WriterSeeds(const std::vector<Format>& writable) {
  for (size_t index = 0; index < writable.size(); ++index) {
    FuzzOutput out;
    out.InRange(0, 7, 3).InRange(0, 3, 0).InRange(0, static_cast<int64_t>(writable.size()) - 1, static_cast<int64_t>(index));
    out.InRange(0, 7, 1).InRange(0, 100, 50);   // quality 0.5
    out.InRange(0, 7, 3).InRange(1, 8, 2);      // 2 channels
    out.InRange(0, 5, 2).InRange(0, 7, 5);      // 48000 Hz
    out.Bool(index % 2 == 0);                   // peaks
    out.InRange(0, 5, 1).InRange(-2, 300, 8);   // a block of 8 frames
    for (int i = 0; i < 16; ++i) out.Bool(true).InRange(0, 15, 7).Put<int16_t>(static_cast<int16_t>(i * 1000));
    out.InRange(0, 5, 1).InRange(-2, 300, 3);   // 3 frames of special values
    out.Bool(true).InRange(0, 15, 3).Bool(true);   // denormal
    out.Bool(true).InRange(0, 15, 6).Bool(true);   // just over full scale
    out.Bool(true).InRange(0, 15, 4).Put<int16_t>(-3).InRange(-40, 40, -20);
    out.Bool(false).Bool(false).Bool(false);
    out.InRange(-4, 120, 40);                   // description capacity
    std::string name = writable[index].majorExtension + "-" + writable[index].subtypeName;
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    Save("writer", name, out.bytes);
  }
}

// Whole files: every writable pair, mostly at two channels, some at one,
// six and eight, each with a segment of every kind of signal.
void WriterFileSeeds(const std::vector<Format>& writable) {
  struct Segment {
    int kind, exponent, frames, block;
  };
  const Segment segments[] = {
      {0, 12, 3000, 1000},  // white noise, full scale
      {1, 9, 300, 7},       // extremes
      {2, 7, 100, 33},      // past them
      {3, 7, 100, 31},      // NaN and infinities
      {4, 11, 1500, 4096},  // a sine
      {5, 9, 400, 129},     // a square wave
      {6, 5, 20, 3},        // denormals
      {8, 8, 200, 1},       // silence, a frame at a time
  };
  for (size_t index = 0; index < writable.size(); ++index) {
    const int channels = index % 8 == 3 ? 6 : index % 8 == 7 ? 8 : index % 4 == 1 ? 1 : 2;
    FuzzOutput out;
    out.InRange(0, static_cast<int64_t>(writable.size()) - 1, static_cast<int64_t>(index)).InRange(0, 3, 0);
    out.InRange(0, 100, 50).InRange(1, 8, channels).InRange(0, 7, 4).Bool(index % 2 == 0);  // 44100 Hz
    for (const Segment& segment : segments) {
      out.InRange(0, 8, segment.kind).InRange(0, 15, segment.exponent);
      out.InRange(0, int64_t{1} << segment.exponent, segment.frames).InRange(1, 4099, segment.block);
      out.Put<uint64_t>(0x9E3779B97F4A7C15ull * (index + 1) + static_cast<uint64_t>(segment.kind));
    }
    std::string name = writable[index].majorExtension + "-" + writable[index].subtypeName;
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    Save("writer_file", name, out.bytes);
  }
}

void IniSeeds() {
  const std::string block = ConfigBlock(0x010002, 0.25f);
  FuzzOutput generated;
  generated.InRange(0, 3, 0).Bytes(24, "libsndfile sink defaults").Bytes(24, "default").Bytes(24, "default_size");
  generated.InRange(0, INT32_MAX, 32).Bytes(80, block).Bool(true).Bytes(8, "abcd").InRange(0, 1000, 7).InRange(0, 100, 31);
  Save("ini_reader", "generated", generated.bytes);
  Save("ini_reader", "unreadable", FuzzOutput().InRange(0, 3, 1).Bool(true).Put<int>(-3).InRange(0, 40, 4).bytes);

  const std::string section = "[libsndfile sink defaults]";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"defaults", section + "\ndefault_size=32\ndefault=" + StructForm(block) + "\n"},
      {"defaults-crlf", "; host settings\r\n[other]\r\nx=1\r\n" + section + "\r\ndefault_size = 32\r\ndefault = " +
                            StructForm(block) + "\r\n"},
      {"defaults-lower", section + "\ndefault_size=32\ndefault=" + StructForm(block, 0, HexCase::kLower)},
      {"bad-checksum", section + "\ndefault_size=32\ndefault=" + StructForm(block).substr(0, 64) + "00\n"},
      {"no-checksum", section + "\ndefault_size=32\ndefault=" + HexDigits(block) + "\n"},
      {"odd-digits", section + "\ndefault_size=32\ndefault=" + StructForm(block) + "0\n"},
      {"not-hex", section + "\ndefault_size=-5\ndefault=" + StructForm(block).replace(10, 2, "zz") + "\n"},
      {"twice", section + "\ndefault_size=4\n" + section + "\ndefault_size=12\ndefault=" + StructForm("fdns") + "\n"},
      {"unterminated", "[libsndfile sink defaults\ndefault_size=99999999999999999999\n[]\n=\n==\n[x]]\n"},
  };
  for (const auto& file : files) {
    FuzzOutput out;
    out.InRange(0, 3, 2).Bytes(40, "libsndfile sink defaults").Bytes(40, file.first.find("size") != std::string::npos ? "default_size" : "default");
    out.Put<int>(0).Bool(true).InRange(0, 64, 32).Raw(file.second);
    Save("ini_reader", file.first, out.bytes);
  }
}

// Block, then the stored defaults, the writer's channels and the panel's
// actions, as the config_block target reads them.
std::string ConfigSeed(const std::string& block, int claimedSizeChoice, int claimedSize, const std::string& stored,
                       bool storedWellFormed) {
  FuzzOutput out;
  out.Bytes(48, block).Bool(false).Bool(false);
  if (claimedSizeChoice == 1) out.InRange(0, 7, 1).InRange(0, 40, claimedSize);
  else if (claimedSizeChoice == 0) out.InRange(0, 7, 0).InRange(INT32_MIN, -1, claimedSize);
  else out.InRange(0, 7, 3);
  out.Bytes(72, stored).Bool(false).Bool(false).InRange(0, 3, 1).InRange(0, 5, 3).InRange(0, 7, 1).Bool(storedWellFormed);
  out.InRange(-1, 3, 2).Bool(true);                         // writer: 2 channels, peaks
  out.InRange(0, 4, 4).Bool(true);                          // query
  out.InRange(0, 4, 0).Bool(false).InRange(-1, 30, 3);      // choose a format
  out.InRange(0, 4, 1).Bool(false).InRange(-1, 30, 1);      // choose an encoding
  out.InRange(0, 4, 2).InRange(-20, 140, 37);               // move the slider
  out.InRange(0, 4, 4).Bool(true);                          // query
  return out.bytes;
}

void ConfigBlockSeeds() {
  std::string wav = ConfigBlock(0x010002, 0.25f), flac = ConfigBlock(0x170002, 0.75f);
  Save("config_block", "full-block", ConfigSeed(wav, 3, 0, flac, true));
  Save("config_block", "tag-only", ConfigSeed("fdns", 3, 0, ConfigBlock(0x10010002, 0.53f, 40), true));
  Save("config_block", "eight-bytes", ConfigSeed(wav.substr(0, 8), 3, 0, "fdns", true));
  Save("config_block", "untagged", ConfigSeed("sndf" + wav.substr(4), 3, 0, wav.substr(0, 12), true));
  Save("config_block", "two-bytes", ConfigSeed("fd", 3, 0, wav, false));
  Save("config_block", "negative-size", ConfigSeed(wav, 0, -1, wav, true));
  Save("config_block", "short-claim", ConfigSeed(wav, 1, 31, ConfigBlock(0x7FFF0002, 1.5f), true));
}

void BuffersSeeds() {
  // Grow, shrink and set texts, at both granularities the plug-in uses.
  for (int granularity : {2, 4}) {
    FuzzOutput out;
    out.InRange(0, 5, granularity).InRange(0, 5, granularity);
    for (int size : {1, 20, 130, 300, 600, 100}) {
      out.InRange(0, 6, 0).InRange(0, 7, 2).InRange(0, 20000, size).Bool(false).Bool(false).Byte(0x41);
    }
    out.InRange(0, 6, 0).InRange(0, 7, 2).InRange(0, 20000, 50).Bool(true).Bool(false);
    out.InRange(0, 6, 0).InRange(0, 7, 2).InRange(0, 20000, 0).Bool(true).Bool(false);
    out.InRange(0, 6, 3).Bytes(300, "abcdef").InRange(0, 15, 1).InRange(0, 3, 2).InRange(1, 8, 3).Bool(false);
    out.InRange(0, 6, 3).Bytes(300, std::string(200, 'x')).InRange(0, 15, 1).InRange(0, 3, 0).Bool(true).InRange(1, 3, 3);
    out.InRange(0, 6, 4).InRange(0, 200, 2).InRange(0, 3, 0);
    out.InRange(0, 6, 0).InRange(0, 7, 5).InRange(0, 7, 0).Bool(false).Bool(false);
    out.InRange(0, 6, 0).InRange(0, 7, 4).InRange(INT32_MIN, -1, -1).Bool(true).Bool(false);
    Save("buffers", "granularity-" + std::to_string(granularity), out.bytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SEEDS_FOLDER\n", argv[0]);
    return 2;
  }
  folder = argv[1];
  mkdir(folder.c_str(), 0755);
  std::vector<Format> writable = Writable();
  DecoderSeeds(writable);
  WriterSeeds(writable);
  WriterFileSeeds(writable);
  IniSeeds();
  ConfigBlockSeeds();
  BuffersSeeds();
  return 0;
}
