// OpenFile: the file's values for every fixture, the fileChanges flag, the
// stored name, and the position of a reopened decoder.
#include <algorithm>
#include <cstring>

#include "tests/common/sndfile_recorder.h"
#include "tests/decoder/allocation_counter.h"
#include "tests/decoder/decoder_test.h"

namespace {

class DecoderOpensEachFormat : public DecoderTest, public testing::WithParamInterface<fixtures::AudioFile> {};

TEST_P(DecoderOpensEachFormat, ReportsTheFileValues) {
  const fixtures::AudioFile& file = GetParam();
  std::string path = fixtures::PathOf(file);
  DirectFile direct(path);
  ASSERT_NE(direct.handle, nullptr);

  PEXO_SimpleMediaDecoder decoder;
  {
    // A file whose length libsndfile knows is opened without reading it.
    SndfileRecorder spy;
    decoder.OpenFile(path.c_str());
    EXPECT_EQ(spy.reads, 0);
    EXPECT_TRUE(spy.seeks.empty());
  }
  ASSERT_TRUE(decoder.IsReady());
  EXPECT_EQ(decoder.SampleBits(), file.nominalBits);
  EXPECT_EQ(decoder.ChannelCount(), file.channels);
  EXPECT_EQ(decoder.SampleRateHz(), static_cast<double>(file.sampleRate));
  EXPECT_EQ(decoder.LengthFrames(), direct.info.frames);
  EXPECT_EQ(decoder.CurrentFrame(), 0);

  std::vector<double> buffer(static_cast<size_t>(100) * file.channels);
  ASSERT_EQ(decoder.ReadFrames(buffer.data(), 100), 100);
  ASSERT_EQ(DiskCounters().size(), 1u);
  EXPECT_EQ(DiskCounters()[0].amountRead, file.nominalBits * file.channels * 100);
  EXPECT_EQ(DiskCounters()[0].amountWritten, 0);
}

INSTANTIATE_TEST_SUITE_P(, DecoderOpensEachFormat, testing::ValuesIn(fixtures::All()),
                         [](const testing::TestParamInfo<fixtures::AudioFile>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

// Records the flag OpenFile passes to CloseFile through the interface.
class RecordingDecoder : public PEXO_SimpleMediaDecoder {
 public:
  void CloseFile(bool fileChanges) noexcept override {
    closes.push_back(fileChanges);
    PEXO_SimpleMediaDecoder::CloseFile(fileChanges);
  }
  std::vector<bool> closes;
};

struct ChangeCase {
  const char* label;
  const char* stored;  // fixture opened first, or null for none
  const char* path;    // fixture name given to OpenFile, "" for null
  bool fileChanges;
};
void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.label; }

const ChangeCase kChangeCases[] = {
    {"no_name_null_path", nullptr, "", false},
    {"no_name_new_path", nullptr, "wav_pcm16.wav", true},
    {"null_path", "wav_pcm16.wav", "", false},
    {"same_path", "wav_pcm16.wav", "wav_pcm16.wav", false},
    {"other_path", "wav_pcm16.wav", "wav_float.wav", true},
};

class OpenFileChanges : public DecoderTest, public testing::WithParamInterface<ChangeCase> {};

TEST_P(OpenFileChanges, PassesTheFlagAndOpens) {
  const ChangeCase& c = GetParam();
  RecordingDecoder decoder;
  if (c.stored != nullptr) decoder.OpenFile(fixtures::PathOf(c.stored).c_str());
  decoder.closes.clear();

  // A fresh copy of the text, so that the name is compared, not the pointer.
  std::string path = *c.path != '\0' ? fixtures::PathOf(c.path) : "";
  decoder.OpenFile(*c.path != '\0' ? path.c_str() : nullptr);
  EXPECT_EQ(decoder.closes, std::vector<bool>{c.fileChanges});
  EXPECT_EQ(decoder.IsReady(), c.stored != nullptr || *c.path != '\0');
}

INSTANTIATE_TEST_SUITE_P(, OpenFileChanges, testing::ValuesIn(kChangeCases),
                         [](const testing::TestParamInfo<ChangeCase>& info) { return info.param.label; });

TEST_F(DecoderTest, OpenFileComparesNamesCaseSensitively) {
  std::string path = fixtures::PathOf("wav_pcm16.wav");
  std::string upper = path;
  upper.replace(upper.size() - 3, 3, "WAV");
  RecordingDecoder decoder;
  decoder.OpenFile(path.c_str());
  decoder.OpenFile(upper.c_str());
  EXPECT_EQ(decoder.closes, (std::vector<bool>{true, true}));
  EXPECT_EQ(decoder.FileName(), upper);
}

TEST_F(DecoderTest, OpenFileGivenItsOwnNameReopensThatFile) {
  std::string path = fixtures::PathOf("wav_pcm24.wav");
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  decoder.OpenFile(decoder.FileName());
  EXPECT_EQ(decoder.FileName(), path);
  EXPECT_TRUE(decoder.IsReady());
  EXPECT_EQ(decoder.SampleBits(), 24);
}

TEST_F(DecoderTest, FailedOpenKeepsTheNameAndClearsTheFileValues) {
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(fixtures::PathOf("wav_float.wav").c_str());
  ASSERT_TRUE(decoder.IsReady());
  decoder.OpenFile(fixtures::MissingPath().c_str());
  EXPECT_FALSE(decoder.IsReady());
  EXPECT_EQ(decoder.FileName(), fixtures::MissingPath());
  EXPECT_EQ(decoder.ChannelCount(), 0);
  EXPECT_EQ(decoder.SampleBits(), 0);
  EXPECT_EQ(decoder.SampleRateHz(), 0.0);
  EXPECT_EQ(decoder.LengthFrames(), 0);
  double buffer[4];
  EXPECT_EQ(decoder.ReadFrames(buffer, 2), 0);
}

TEST_F(DecoderTest, OpenFileWithoutAnyNameStaysClosed) {
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(nullptr);
  EXPECT_FALSE(decoder.IsReady());
  EXPECT_STREQ(decoder.FileName(), "");
}

TEST_F(DecoderTest, NameThatCannotBeCopiedLeavesNoName) {
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(fixtures::PathOf("wav_pcm16.wav").c_str());
  allocation_counter::FailNextNothrowAllocation();
  decoder.OpenFile(fixtures::PathOf("wav_float.wav").c_str());
  EXPECT_STREQ(decoder.FileName(), "");
  EXPECT_FALSE(decoder.IsReady());
  EXPECT_EQ(decoder.ChannelCount(), 0);
}

// A reopened handle reads from frame 0, so the counted position starts
// there too; a seek to the old count then really moves the new handle.
TEST_F(DecoderTest, ReopenCountsFromTheStart) {
  std::string path = fixtures::PathOf("wav_pcm16.wav");
  DirectFile direct(path);
  std::vector<double> all = direct.AllSamples();

  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  std::vector<double> buffer(2 * 300);
  ASSERT_EQ(decoder.ReadFrames(buffer.data(), 300), 300);
  decoder.OpenFile(nullptr);
  EXPECT_EQ(decoder.CurrentFrame(), 0);

  SndfileRecorder spy;
  decoder.SeekToFrame(300);
  EXPECT_EQ(spy.seeks.size(), 1u);
  ASSERT_EQ(decoder.ReadFrames(buffer.data(), 10), 10);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 20, all.begin() + 2 * 300));
}

}  // namespace
