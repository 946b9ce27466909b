// Damaged, missing and unusual inputs given to the plug-in's decoder the way
// a host gives them: by name through makeFromFile. Each gets the answer a
// host relies on (no source; or a source whose reads end and whose texts
// stay within their buffers) and nothing crashes, hangs or leaks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/test_host.h"
#include "tests/malformed/child_process.h"
#include "tests/malformed/plugin_under_test.h"
#include "tests/malformed/wave_files.h"

namespace {

const char kNotOpened[] = "Error: File not has been opened succesfully";
constexpr int kLevel = 7;  // an attempt level at which the plug-in accepts any file

std::string Wave(void (*change)(WaveHeader&)) {
  WaveHeader header;
  change(header);
  return WaveFile(header);
}

struct DecoderCase {
  const char* name;
  std::function<std::string()> path;  // makes the input, gives its name
  bool opens;
};

std::string File(const char* name, const std::string& contents) { return ScratchFile(name, contents); }

const std::vector<DecoderCase>& Cases() {
  static const std::vector<DecoderCase> cases = {
      {"ZeroLengthFile", [] { return File("empty.wav", ""); }, false},
      {"HeaderCutShort", [] { return File("cut-header.wav", WaveFile({}).substr(0, 30)); }, false},
      {"DataCutShort", [] { return File("cut-data.wav", Wave([](WaveHeader& h) { h.frames = 1000; }).substr(0, 1000)); }, true},
      {"ZeroChannels", [] { return File("channels-0.wav", Wave([](WaveHeader& h) { h.channels = 0; })); }, false},
      {"TooManyChannels", [] { return File("channels-2000.wav", Wave([](WaveHeader& h) { h.channels = 2000; })); }, false},
      {"AllChannels", [] { return File("channels-65535.wav", Wave([](WaveHeader& h) { h.channels = 65535; h.frames = 1; })); }, false},
      {"RateZero", [] { return File("rate-0.wav", Wave([](WaveHeader& h) { h.sampleRate = 0; })); }, false},
      {"RateLargest", [] { return File("rate-max.wav", Wave([](WaveHeader& h) { h.sampleRate = 0xFFFFFFFF; })); }, false},
      {"ZeroBitsPerSample", [] { return File("bits-0.wav", Wave([](WaveHeader& h) { h.bitsPerSample = 0; })); }, false},
      {"UnknownEncoding", [] { return File("tag-ffff.wav", Wave([](WaveHeader& h) { h.formatTag = 0xFFFF; })); }, false},
      {"DataClaims4GiB", [] { return File("data-4g.wav", Wave([](WaveHeader& h) { h.dataSize = 0xFFFFFFFF; })); }, true},
      {"RiffClaims4GiB", [] { return File("riff-4g.wav", Wave([](WaveHeader& h) { h.riffSize = 0xFFFFFFFF; })); }, true},
      {"ZeroBlockAlign", [] { return File("align-0.wav", Wave([](WaveHeader& h) { h.blockAlign = 0; })); }, true},
      {"NotAudio", [] { return File("text.wav", "[section]\nkey=value\n"); }, false},
      {"Directory", [] { return ScratchFolder(); }, false},
      {"Missing", [] { return ScratchFolder() + "/missing.wav"; }, false},
      {"PathOf5000Characters", [] { return ScratchFolder() + "/" + std::string(5000, 'a') + ".wav"; }, false},
      {"PathThroughAFile", [] { return File("plain.wav", WaveFile({})) + "/inner.wav"; }, false},
      {"NameNotUtf8", [] { return File("\xff\xfe\x80\xc3(.wav", WaveFile({})); }, true},
  };
  return cases;
}

// Reads to the end in the host's way; the reads must end.
int64_t ReadToEnd(ISimpleMediaDecoder* decoder) {
  std::vector<double> buffer(static_cast<size_t>(1024) * static_cast<size_t>(decoder->ChannelCount()));
  int64_t total = 0;
  for (int call = 0; call < 100000; ++call) {
    int read = decoder->ReadFrames(buffer.data(), 1024);
    EXPECT_GE(read, 0);
    if (read <= 0) return total;
    total += read;
  }
  ADD_FAILURE() << "reads do not end";
  return total;
}

class MalformedInput : public testing::TestWithParam<DecoderCase> {
 protected:
  void SetUp() override {
    ASSERT_NE(SourceRecord(), nullptr) << "the plug-in did not start";
    test_host::Reset();
  }
  void TearDown() override {
    EXPECT_EQ(test_host::Recorded().sourcesAlive, 0);  // every source and decoder went
  }
};

TEST_P(MalformedInput, AnswersAsAHostExpects) {
  std::string path = GetParam().path();
  HostSource* source = SourceRecord()->makeFromFile(path.c_str(), kLevel);
  if (!GetParam().opens) {
    EXPECT_EQ(source, nullptr);
    // A decoder made by tag and pointed at it stays closed and says so.
    HostSource* byTag = SourceRecord()->makeFromTypeTag("KOVRA", 5);
    ASSERT_NE(byTag, nullptr);
    ISimpleMediaDecoder* decoder = test_host::DecoderOf(byTag);
    decoder->OpenFile(path.c_str());
    EXPECT_FALSE(decoder->IsReady());
    EXPECT_EQ(decoder->FileName(), path);
    EXPECT_EQ(decoder->ChannelCount(), 0);
    EXPECT_EQ(decoder->LengthFrames(), 0);
    double sample = 0;
    EXPECT_EQ(decoder->ReadFrames(&sample, 1), 0);
    char text[64];
    decoder->PropertiesText(text, sizeof text, nullptr, 0);
    EXPECT_STREQ(text, kNotOpened);
    delete byTag;
    return;
  }
  ASSERT_NE(source, nullptr);
  ISimpleMediaDecoder* decoder = test_host::DecoderOf(source);
  EXPECT_EQ(decoder->FileName(), path);
  EXPECT_GT(decoder->ChannelCount(), 0);
  int64_t total = ReadToEnd(decoder);
  EXPECT_LE(total, decoder->LengthFrames());
  EXPECT_EQ(decoder->CurrentFrame(), total);
  char text[4096];
  decoder->PropertiesText(text, sizeof text, nullptr, 0);
  EXPECT_EQ(std::strncmp(text, "Length: ", 8), 0) << text;
  delete source;
}

INSTANTIATE_TEST_SUITE_P(, MalformedInput, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<DecoderCase>& info) { return std::string(info.param.name); });

class OpenDecoder : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(SourceRecord(), nullptr) << "the plug-in did not start";
    test_host::Reset();
    path = ScratchFile("open.wav", WaveFile({}));  // 100 frames
    source = SourceRecord()->makeFromFile(path.c_str(), kLevel);
    ASSERT_NE(source, nullptr);
    decoder = test_host::DecoderOf(source);
    ASSERT_EQ(decoder->ReadFrames(buffer, 10), 10);
  }
  void TearDown() override {
    delete source;
    EXPECT_EQ(test_host::Recorded().sourcesAlive, 0);
    std::remove(path.c_str());
  }
  std::string path;
  HostSource* source = nullptr;
  ISimpleMediaDecoder* decoder = nullptr;
  double buffer[1024];
};

// The open file stays readable; only a reopen by name finds it gone.
TEST_F(OpenDecoder, FileRemovedWhileOpenReadsOnThenFailsToReopen) {
  ASSERT_EQ(unlink(path.c_str()), 0);
  EXPECT_EQ(ReadToEnd(decoder), 90);
  decoder->OpenFile(nullptr);
  EXPECT_FALSE(decoder->IsReady());
  EXPECT_EQ(decoder->ReadFrames(buffer, 10), 0);
}

// Reads and seeks past the new end return what is there, down to nothing.
TEST_F(OpenDecoder, FileTruncatedWhileOpenGivesShortReads) {
  ASSERT_EQ(truncate(path.c_str(), kWaveHeaderSize + 20 * 2), 0);
  int64_t rest = ReadToEnd(decoder);
  EXPECT_LE(rest, 10);
  EXPECT_EQ(decoder->CurrentFrame(), 10 + rest);
  decoder->SeekToFrame(50);
  EXPECT_EQ(decoder->ReadFrames(buffer, 10), 0);
  EXPECT_EQ(decoder->CurrentFrame(), 50);

  ASSERT_EQ(truncate(path.c_str(), 0), 0);
  decoder->SeekToFrame(0);
  EXPECT_EQ(ReadToEnd(decoder), 0);
  decoder->OpenFile(nullptr);
  EXPECT_FALSE(decoder->IsReady());
}

TEST(UnreadableFile, GivesNoSource) {
  ASSERT_NE(SourceRecord(), nullptr) << "the plug-in did not start";
  std::string path = ScratchFile("unreadable.wav", WaveFile({}));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  auto check = [&] {
    if (access(path.c_str(), R_OK) == 0) return false;  // permissions do not apply after all
    test_host::Reset();
    HostSource* source = SourceRecord()->makeFromFile(path.c_str(), kLevel);
    return source == nullptr && test_host::Recorded().sourcesAlive == 0;
  };
  ChildOutcome outcome = RunWherePermissionsApply(check);
  if (outcome == ChildOutcome::kCannotDropPrivileges)
    GTEST_SKIP() << "running as root without a way to drop privileges; permissions deny root nothing";
  EXPECT_EQ(outcome, ChildOutcome::kPassed);
}

}  // namespace
