// pexo-host convert: files through the plug-in's decoder and writer, with
// the panel's settings; errors per file; parallel runs; peaks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using ConvertTest = HostTest;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ConvertTest, AnotherProgramsFileGoesToFlacAndBackUnchanged) {
  if (!HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const std::string original = folder / "sox.wav";
  RunResult made = RunProgram({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", original, "synth", "1.5", "sine",
                               "440", "sine", "660", "gain", "-3"});
  ASSERT_EQ(made.exitCode, 0) << made.err;

  RunResult toFlac = Host({"convert", original, "-o", folder / "sox.flac"});
  ASSERT_EQ(toFlac.exitCode, 0) << toFlac.err;
  EXPECT_TRUE(Contains(toFlac.out, original + " -> " + (folder / "sox.flac") + ": FLAC")) << toFlac.out;
  EXPECT_TRUE(Contains(toFlac.out, "0:01.500 (66150 frames)")) << toFlac.out;
  RunResult back = Host({"convert", folder / "sox.flac", "-d", folder / "back", "--format", "wav"},
                        {});
  EXPECT_EQ(back.exitCode, 1) << "the folder does not exist yet";
  EXPECT_TRUE(Contains(back.err, (folder / "back") + ": no such folder")) << back.err;
  ASSERT_EQ(mkdir((folder / "back").c_str(), 0755), 0);
  back = Host({"convert", folder / "sox.flac", "-d", folder / "back", "--format", "wav"});
  ASSERT_EQ(back.exitCode, 0) << back.err;

  Audio source, flac, wav;
  ASSERT_TRUE(ReadFile(original, &source));
  ASSERT_TRUE(ReadFile(folder / "sox.flac", &flac));
  ASSERT_TRUE(ReadFile(folder / "back/sox.wav", &wav));
  EXPECT_EQ(flac.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << "the encoding is kept across the format change";
  EXPECT_EQ(wav.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
  EXPECT_EQ(flac.channels, 2);
  EXPECT_EQ(flac.rate, 44100);
  ASSERT_EQ(flac.Frames(), source.Frames());
  ASSERT_EQ(wav.Frames(), source.Frames());
  EXPECT_EQ(flac.samples, source.samples);
  EXPECT_EQ(wav.samples, source.samples);
  EXPECT_EQ(FolderNames(folder / "back"), std::vector<std::string>{"sox.wav"}) << "no temporary file is left";
}

TEST_F(ConvertTest, PanelOptionsChooseTheFile) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, Tones(4800, 2, 48000));
  struct Case {
    std::vector<std::string> options;
    std::string output;
    int format;
  };
  const Case cases[] = {
      {{"--format", "aiff", "--encoding", "signed-24-bit-pcm", "--byte-order", "little"}, "a.aiff",
       SF_FORMAT_AIFF | SF_FORMAT_PCM_24 | SF_ENDIAN_LITTLE},
      {{"--format", "caf", "--encoding", "32 BIT FLOAT"}, "b.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT},
      {{"--encoding", "Signed 24 bit PCM"}, "c.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},  // format from -o
      {{"--format", "wavex"}, "d.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16},
  };
  for (const Case& item : cases) {
    std::vector<std::string> arguments = {"convert", folder / "in.wav", "-o", folder / item.output};
    arguments.insert(arguments.end(), item.options.begin(), item.options.end());
    RunResult result = Host(arguments);
    ASSERT_EQ(result.exitCode, 0) << item.output << ": " << result.err;
    Audio written;
    ASSERT_TRUE(ReadFile(folder / item.output, &written)) << item.output;
    EXPECT_EQ(written.format, item.format) << item.output;
    EXPECT_EQ(written.Frames(), 4800) << item.output;
    // A new file's usual permissions, not those of a private temporary.
    struct stat status;
    mode_t mask = umask(0);
    umask(mask);
    ASSERT_EQ(stat((folder / item.output).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask) << item.output;
  }
}

TEST_F(ConvertTest, FailuresNameTheFileAndLeaveNothing) {
  const std::string input = folder / "in.wav";
  WriteFile(input, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, Tones(4410, 2, 44100));
  PutFile(folder / "notes.txt", "not audio\n");
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  PutFile(folder / "out/taken.flac", "keep me");
  ASSERT_EQ(link(input.c_str(), (folder / "hardlink.wav").c_str()), 0);
  const std::string inputBytes = FileBytes(input);
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"convert", folder / "missing.wav", "-d", folder / "out"}, "missing.wav: cannot open: No such file"},
      {{"convert", folder / "notes.txt", "-d", folder / "out"}, "notes.txt: not an audio file libsndfile can read"},
      {{"convert", input, "-o", folder / "nowhere/x.flac"}, "nowhere does not exist"},
      {{"convert", input, "-d", folder / "notes.txt"}, "notes.txt: not a folder"},
      {{"convert", input, "-o", folder / "out/taken.flac"}, "taken.flac exists (--force replaces it)"},
      {{"convert", input, "-o", input, "--format", "wav", "--force"}, "refusing to write over the input file"},
      {{"convert", input, "-o", folder / "./hardlink.wav", "--force"}, "refusing to write over the input file"},
      {{"convert", input, "-d", folder.Path(), "--format", "wav", "-f"}, "refusing to write over the input file"},
      // Opus takes only a few sample rates; the writer cannot open the file.
      {{"convert", input, "-o", folder / "out/x.oga", "--encoding", "Opus"}, "libsndfile cannot write OGG"},
  };
  for (const Case& item : cases) {
    RunResult result = Host(item.arguments);
    EXPECT_EQ(result.exitCode, 1) << item.message;
    EXPECT_TRUE(Contains(result.err, item.message)) << result.err;
    EXPECT_EQ(FolderNames(folder / "out"), std::vector<std::string>{"taken.flac"}) << item.message;
    EXPECT_EQ(FileBytes(folder / "out/taken.flac"), "keep me");
    EXPECT_EQ(FileBytes(input), inputBytes) << item.message;
  }
  EXPECT_EQ(FolderNames(folder.Path()), (std::vector<std::string>{"hardlink.wav", "in.wav", "notes.txt", "out"}));

  // With --force an existing output that is no input is replaced.
  RunResult forced = Host({"convert", input, "-o", folder / "out/taken.flac", "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  Audio replaced;
  EXPECT_TRUE(ReadFile(folder / "out/taken.flac", &replaced));
}

TEST_F(ConvertTest, PluginDiagnosticsPassThroughUnchanged) {
  // GSM 6.10 in WAV is offered for one channel; the writer refuses two.
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 8000, Tones(800, 2, 8000));
  RunResult result = Host({"convert", folder / "in.wav", "-o", folder / "gsm.wav", "--encoding", "GSM 6.10"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "Something might have gone wrong... Format not available: 0x00010020 for 2 channels \n");
  EXPECT_TRUE(Contains(result.err, "in.wav: libsndfile cannot write WAV (Microsoft), GSM 6.10 with 2 channels"))
      << result.err;
  EXPECT_FALSE(Exists(folder / "gsm.wav"));
}

TEST_F(ConvertTest, OneBadFileDoesNotStopTheOthers) {
  WriteFile(folder / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  WriteFile(folder / "b.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(900, 1, 8000));
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  RunResult result =
      Host({"convert", folder / "a.wav", folder / "missing.wav", folder / "b.wav", "-d", folder / "out", "--format",
            "flac", "-j", "2"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.err, "missing.wav: cannot open")) << result.err;
  EXPECT_EQ(FolderNames(folder / "out"), (std::vector<std::string>{"a.flac", "b.flac"}));
}

TEST_F(ConvertTest, ParallelRunsWriteTheSameBytesAsSerialOnes) {
  std::vector<std::string> inputs;
  for (int i = 0; i < 5; ++i) {
    std::string path = folder / ("in" + std::to_string(i) + ".wav");
    int channels = 1 + i % 3;
    WriteFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_24, channels, 44100, Tones(20000 + 7919 * i, channels, 44100));
    inputs.push_back(path);
  }
  std::string outputs[2];
  std::string folders[2] = {folder / "serial", folder / "parallel"};
  const char* jobs[2] = {"1", "2"};
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(mkdir(folders[run].c_str(), 0755), 0);
    std::vector<std::string> arguments = {"convert", "-d", folders[run], "--format", "flac", "-j", jobs[run]};
    arguments.insert(arguments.begin() + 1, inputs.begin(), inputs.end());
    RunResult result = Host(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The same report, in input order, whatever finished first.
    std::string report = result.out;
    for (size_t at; (at = report.find(folders[run])) != std::string::npos;) report.replace(at, folders[run].size(), "DIR");
    outputs[run] = report;
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  std::vector<std::string> names = FolderNames(folders[0]);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(FolderNames(folders[1]), names);
  for (const std::string& name : names) {
    EXPECT_EQ(FileBytes(folders[0] + "/" + name), FileBytes(folders[1] + "/" + name)) << name;
  }
}

TEST_F(ConvertTest, PeaksAreTheMinimaAndMaximaOfTheWrittenSamples) {
  const int frames = 1000, channels = 2, perPeak = 256;
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, 8000, Tones(frames, channels, 8000));
  Audio input;
  ASSERT_TRUE(ReadFile(folder / "in.wav", &input));
  ASSERT_EQ(input.Frames(), frames);
  const std::vector<double>& samples = input.samples;
  RunResult result = Host({"convert", folder / "in.wav", "-o", folder / "out.wav", "--peaks", folder / "out.peaks"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream peaks(FileBytes(folder / "out.peaks"));
  std::string line;
  std::getline(peaks, line);
  EXPECT_EQ(line, "pexo-peaks 1");
  std::string word;
  long long value;
  const std::pair<std::string, long long> header[] = {
      {"sample_rate", 8000}, {"channels", 2}, {"frames_per_peak", perPeak}, {"frames", frames}, {"peaks", 4}};
  for (const auto& field : header) {
    peaks >> word >> value;
    EXPECT_EQ(word, field.first);
    EXPECT_EQ(value, field.second) << field.first;
  }
  for (int peak = 0; peak < 4; ++peak) {
    for (int channel = 0; channel < channels; ++channel) {
      double low = 1, high = -1;
      for (int frame = peak * perPeak; frame < std::min(frames, (peak + 1) * perPeak); ++frame) {
        low = std::min(low, samples[static_cast<size_t>(frame * channels + channel)]);
        high = std::max(high, samples[static_cast<size_t>(frame * channels + channel)]);
      }
      double readLow, readHigh;
      ASSERT_TRUE(peaks >> readLow >> readHigh);
      EXPECT_NEAR(readLow, low, 1e-6) << "peak " << peak << " channel " << channel;
      EXPECT_NEAR(readHigh, high, 1e-6) << "peak " << peak << " channel " << channel;
    }
  }
}

TEST_F(ConvertTest, NamesFromOneCharacterToTheLongestLegalOneWork) {
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  // Short input names, relative to the working folder: the plug-in takes
  // no name under five characters, so the host must lengthen them.
  for (const std::string name : {"x", "ab"}) {
    WriteFile(folder / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
    RunOptions options;
    options.workingDirectory = folder.Path();
    RunResult result = Host({"convert", name, "-d", "out", "--format", "wav"}, options);
    ASSERT_EQ(result.exitCode, 0) << name << ": " << result.err;
    Audio written;
    EXPECT_TRUE(ReadFile(folder / ("out/" + name + ".wav"), &written)) << name;
    EXPECT_EQ(written.Frames(), 800) << name;
  }
  // Output and peaks names at the file system's limit: their temporaries
  // must not be longer.
  long longest = pathconf(folder.Path().c_str(), _PC_NAME_MAX);
  ASSERT_GT(longest, 20);
  const std::string output = std::string(static_cast<size_t>(longest) - 4, 'n') + ".wav";
  const std::string peaks = std::string(static_cast<size_t>(longest) - 6, 'p') + ".peaks";
  RunResult result = Host({"convert", folder / "x", "-o", folder / ("out/" + output), "--peaks",
                           folder / ("out/" + peaks)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  Audio written;
  EXPECT_TRUE(ReadFile(folder / ("out/" + output), &written));
  EXPECT_TRUE(Exists(folder / ("out/" + peaks)));
  EXPECT_EQ(FolderNames(folder / "out").size(), 4u) << "x.wav, ab.wav, the output and its peaks; no temporary";
}

TEST_F(ConvertTest, ForceKeepsTheModeAndReplacesALinkNotItsTarget) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  PutFile(folder / "old.wav", "old");
  ASSERT_EQ(chmod((folder / "old.wav").c_str(), 0604), 0);
  RunResult result = Host({"convert", folder / "in.wav", "-o", folder / "old.wav", "-f"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  struct stat status;
  ASSERT_EQ(stat((folder / "old.wav").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0604u) << "the replaced file's mode is kept";

  PutFile(folder / "target.wav", "the link's target");
  ASSERT_EQ(symlink((folder / "target.wav").c_str(), (folder / "link.wav").c_str()), 0);
  result = Host({"convert", folder / "in.wav", "-o", folder / "link.wav", "-f"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(lstat((folder / "link.wav").c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode)) << "the link is replaced by the new file";
  EXPECT_EQ(FileBytes(folder / "target.wav"), "the link's target");
  RunResult help = Host({"convert", "--help"});
  EXPECT_TRUE(Contains(help.out, "keeps the old one's permission bits")) << help.out;
  EXPECT_TRUE(Contains(help.out, "symbolic link is replaced by the file itself")) << help.out;
}

// With no --encoding the output keeps the input's sample format where the
// target offers it, else the stored default's encoding, else the target's
// narrowest lossless one that holds the input; fewer bits are said on
// standard error. With nothing stored and no --format, -d keeps each
// input's container; -o takes the format from the extension.
TEST_F(ConvertTest, KeepsTheInputsSampleFormatAndSaysWhenBitsAreLost) {
  WriteFile(folder / "w24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 48000, Tones(480, 1, 48000));
  WriteFile(folder / "float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, Tones(480, 1, 48000));
  WriteFile(folder / "f.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT, 1, 48000, Tones(480, 1, 48000));
  WriteFile(folder / "a16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, 48000, Tones(480, 1, 48000));
  struct Case {
    std::vector<std::string> stored;  // defaults to store first, or none
    std::vector<std::string> arguments;
    std::string output;
    int format;
    std::string warning;  // part of standard error, or "" for none
  };
  const Case cases[] = {
      {{}, {"w24.wav", "-d", "out"}, "out/w24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
      {{}, {"f.caf", "-d", "out"}, "out/f.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT, ""},
      {{}, {"a16.aiff", "-d", "out"}, "out/a16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, ""},
      {{}, {"w24.wav", "-d", "out", "--format", "flac"}, "out/w24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
      {{}, {"float.wav", "-o", "out/float.flac"}, "out/float.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       "the output holds 24 bits per sample, the input 32 (32 bit float)"},
      {{}, {"float.wav", "-o", "out/float.aif"}, "out/float.aif", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, ""},
      {{}, {"w24.wav", "-o", "out/w24.snd"}, "out/w24.snd", SF_FORMAT_AU | SF_FORMAT_PCM_24, ""},
      {{}, {"a16.aiff", "-o", "out/a16.opus"}, "out/a16.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS,
       "the output's encoding (Opus) does not keep the input's samples (Signed 16 bit PCM) exactly"},
      {{}, {"w24.wav", "-o", "out/w24.wave", "--encoding", "Signed 16 bit PCM"}, "out/w24.wave",
       SF_FORMAT_WAV | SF_FORMAT_PCM_16, "the output holds 16 bits per sample, the input 24"},
      // A stored float default that FLAC does not offer: the input's 24
      // bits, not FLAC's first encoding (8-bit).
      {{"--format", "caf", "--encoding", "32 bit float"}, {"w24.wav", "-d", "out", "--format", "flac"},
       "out/w24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
      // The stored default's encoding when the input's is not offered.
      {{"--format", "wav", "--encoding", "Signed 16 bit PCM"}, {"f.caf", "-d", "out", "--format", "flac"},
       "out/f.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "the output holds 16 bits per sample, the input 32"},
      // Something stored: -d writes the stored format, with the input's bits.
      {{"--format", "caf", "--encoding", "32 bit float"}, {"w24.wav", "-d", "out"}, "out/w24.caf",
       SF_FORMAT_CAF | SF_FORMAT_PCM_24, ""},
  };
  for (const Case& item : cases) {
    std::string name = item.output;
    SCOPED_TRACE(name);
    ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
    unlink(IniPath().c_str());
    if (!item.stored.empty()) {
      std::vector<std::string> store = {"defaults"};
      store.insert(store.end(), item.stored.begin(), item.stored.end());
      ASSERT_EQ(Host(store).exitCode, 0);
    }
    std::vector<std::string> arguments = {"convert"};
    for (const std::string& word : item.arguments) {
      arguments.push_back(word.find('.') != std::string::npos || word == "out" ? folder / word : word);
    }
    RunResult result = Host(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    Audio written;
    ASSERT_TRUE(ReadFile(folder / item.output, &written));
    EXPECT_EQ(written.format, item.format) << std::hex << written.format;
    if (item.warning.empty()) {
      EXPECT_EQ(result.err, "");
    } else {
      EXPECT_TRUE(Contains(result.err, item.warning)) << result.err;
    }
    for (const std::string& left : FolderNames(folder / "out")) unlink((folder / ("out/" + left)).c_str());
    ASSERT_EQ(rmdir((folder / "out").c_str()), 0);
  }
}

TEST_F(ConvertTest, AnExtensionThatNamesNoFormatIsAUsageError) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  RunResult result = Host({"convert", folder / "in.wav", "-o", folder / "in.xyz"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_TRUE(Contains(result.err, "no format for the extension of " + (folder / "in.xyz"))) << result.err;
  for (const char* known : {"wav", "aiff", "aif", "aifc", "snd", "wave", "opus", "mp3", "flac", "oga"}) {
    EXPECT_TRUE(Contains(result.err, std::string(" ") + known + ",") || Contains(result.err, std::string(" ") + known + "\n"))
        << known << " in " << result.err;
  }
  EXPECT_FALSE(Exists(folder / "in.xyz"));
  // --format still names it.
  EXPECT_EQ(Host({"convert", folder / "in.wav", "-o", folder / "in.xyz", "--format", "wav"}).exitCode, 0);
}

// What libsndfile lists but cannot write is never picked by default and is
// refused clearly when asked for; SD2 (whose resource fork libsndfile writes
// as a separate ._NAME file) is refused, and nothing is left behind.
TEST_F(ConvertTest, WhatLibsndfileCannotWriteIsAvoidedOrRefused) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, Tones(4800, 1, 48000));
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  RunResult first = Host({"convert", folder / "in.wav", "-o", folder / "out/a.m1a"});
  ASSERT_EQ(first.exitCode, 0) << "MPEG's first encoding, Layer I, gives way to Layer III: " << first.err;
  Audio written;
  ASSERT_TRUE(ReadFile(folder / "out/a.m1a", &written));
  EXPECT_EQ(written.format, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  unlink((folder / "out/a.m1a").c_str());
  struct Case {
    std::vector<std::string> options;
    std::string message;
  };
  const Case cases[] = {
      {{"-o", "out/b.mp3", "--encoding", "MPEG Layer I"}, "cannot write it"},
      {{"-o", "out/b.mp3", "--encoding", "MPEG Layer II"}, "cannot write it"},
      {{"-o", "out/b.wav", "--encoding", "MPEG Layer III"}, "cannot write it"},
      {{"-o", "out/b.sd2"}, "SD2 output is not offered"},
      {{"-d", "out", "--format", "sd2"}, "SD2 output is not offered"},
  };
  for (const Case& item : cases) {
    std::vector<std::string> arguments = {"convert", folder / "in.wav"};
    for (const std::string& word : item.options) arguments.push_back(word.rfind("out", 0) == 0 ? folder / word : word);
    RunResult result = Host(arguments);
    EXPECT_EQ(result.exitCode, 2) << item.options[1];
    EXPECT_TRUE(Contains(result.err, item.message)) << result.err;
    EXPECT_EQ(FolderNames(folder / "out"), std::vector<std::string>{}) << item.options[1];
  }
  RunResult formats = Host({"formats"});
  ASSERT_EQ(formats.exitCode, 0);
  for (const char* marked : {"MPEG Layer I (cannot be written)", "MPEG Layer II (cannot be written)"}) {
    EXPECT_TRUE(Contains(formats.out, marked)) << marked;
  }
  std::istringstream lines(formats.out);
  std::string line, format;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] != ' ') format = line.substr(0, line.find(' '));
    if (Contains(line, "MPEG Layer III")) {
      EXPECT_EQ(Contains(line, "(cannot be written)"), format != "m1a") << line;
    }
    if (format == "sd2") {
      EXPECT_TRUE(Contains(line, "(cannot be written)")) << line;
    }
  }
}

}  // namespace
}  // namespace host_test
