// Every decoder operation on a new, an opened, a failed and a closed
// decoder.
#include <cstring>
#include <memory>

#include "tests/common/sndfile_recorder.h"
#include "tests/decoder/decoder_test.h"

namespace {

enum class State { New, Opened, Failed, Closed };

struct StateCase {
  const char* label;
  State state;
  bool namedAfterFixture;  // FileName is the fixture's path, else see below
  bool failedName;         // FileName is the missing path
  bool ready;
  int channels;
  int bits;
  double rate;
  int64_t length;
  int64_t position;  // after 10 frames were read while open
};
void PrintTo(const StateCase& c, std::ostream* out) { *out << c.label; }

const StateCase kStates[] = {
    {"new", State::New, false, false, false, 0, 0, 0.0, 0, 0},
    {"opened", State::Opened, true, false, true, 2, 16, 44100.0, fixtures::kFramesWritten, 10},
    {"failed", State::Failed, false, true, false, 0, 0, 0.0, 0, 0},
    // A close keeps the name, the file's values and the position.
    {"closed", State::Closed, true, false, false, 2, 16, 44100.0, fixtures::kFramesWritten, 10},
};

class DecoderStates : public DecoderTest, public testing::WithParamInterface<StateCase> {
 protected:
  void SetUp() override {
    DecoderTest::SetUp();
    path = fixtures::PathOf("wav_pcm16.wav");
    double scratch[20];
    switch (GetParam().state) {
      case State::New:
        break;
      case State::Opened:
        decoder.OpenFile(path.c_str());
        decoder.ReadFrames(scratch, 10);
        break;
      case State::Failed:
        decoder.OpenFile(fixtures::MissingPath().c_str());
        break;
      case State::Closed:
        decoder.OpenFile(path.c_str());
        decoder.ReadFrames(scratch, 10);
        decoder.CloseFile(false);
        break;
    }
    DiskCounters().clear();
  }

  std::string ExpectedName() const {
    if (GetParam().namedAfterFixture) return path;
    if (GetParam().failedName) return fixtures::MissingPath();
    return "";
  }

  std::string path;
  PEXO_SimpleMediaDecoder decoder;
};

TEST_P(DecoderStates, AnswersTheStateValues) {
  const StateCase& c = GetParam();
  EXPECT_EQ(decoder.FileName(), ExpectedName());
  EXPECT_EQ(decoder.IsReady(), c.ready);
  EXPECT_EQ(decoder.ChannelCount(), c.channels);
  EXPECT_EQ(decoder.SampleBits(), c.bits);
  EXPECT_EQ(decoder.SampleRateHz(), c.rate);
  EXPECT_EQ(decoder.LengthFrames(), c.length);
  EXPECT_EQ(decoder.CurrentFrame(), c.position);
  EXPECT_STREQ(decoder.TypeTag(), "KOVRA");
  EXPECT_EQ(decoder.ExtensionCall(1, nullptr, nullptr, nullptr), 0);
}

TEST_P(DecoderStates, ReadsOnlyWhenOpen) {
  const StateCase& c = GetParam();
  SndfileRecorder spy;
  double buffer[2 * 16];
  int read = decoder.ReadFrames(buffer, 16);
  if (c.ready) {
    EXPECT_EQ(read, 16);
    EXPECT_EQ(spy.reads, 1);
    ASSERT_EQ(DiskCounters().size(), 1u);
    EXPECT_EQ(DiskCounters()[0].amountRead, 16 * 2 * 16);
    EXPECT_EQ(decoder.CurrentFrame(), c.position + 16);
  } else {
    EXPECT_EQ(read, 0);
    EXPECT_EQ(spy.reads, 0);
    EXPECT_TRUE(DiskCounters().empty());
    EXPECT_EQ(decoder.CurrentFrame(), c.position);
  }
}

TEST_P(DecoderStates, SeeksOnlyWhenOpen) {
  const StateCase& c = GetParam();
  SndfileRecorder spy;
  decoder.SeekToFrame(100);
  if (c.ready) {
    ASSERT_EQ(spy.seeks.size(), 1u);
    EXPECT_EQ(spy.seeks[0].frame, 100);
    EXPECT_EQ(spy.seeks[0].whence, SEEK_SET);
    EXPECT_EQ(decoder.CurrentFrame(), 100);
  } else {
    EXPECT_TRUE(spy.seeks.empty());
    EXPECT_EQ(decoder.CurrentFrame(), c.position);
  }
}

TEST_P(DecoderStates, PropertiesTextNeedsAnOpenFile) {
  char text[512];
  char title[64];
  decoder.PropertiesText(text, sizeof text, title, sizeof title);
  EXPECT_STREQ(title, "libsndfile supported File Properties");
  if (GetParam().ready) {
    EXPECT_EQ(std::strncmp(text, "Length: ", 8), 0) << text;
  } else {
    EXPECT_STREQ(text, "Error: File not has been opened succesfully");
  }
}

TEST_P(DecoderStates, CopyIsUnopenedWithTheSameName) {
  std::unique_ptr<ISimpleMediaDecoder> copy(decoder.MakeCopy());
  EXPECT_EQ(copy->FileName(), ExpectedName());
  if (!ExpectedName().empty()) {
    EXPECT_NE(copy->FileName(), decoder.FileName()) << "the copy owns its name";
  }
  EXPECT_FALSE(copy->IsReady());
  EXPECT_EQ(copy->CurrentFrame(), 0);
  EXPECT_EQ(copy->ChannelCount(), 0);
  EXPECT_EQ(copy->SampleBits(), 0);
  EXPECT_EQ(copy->SampleRateHz(), 0.0);
  EXPECT_EQ(copy->LengthFrames(), 0);
}

TEST_P(DecoderStates, CloseEndsClosedAndKeepsTheRest) {
  const StateCase& c = GetParam();
  decoder.CloseFile(true);
  EXPECT_FALSE(decoder.IsReady());
  EXPECT_EQ(decoder.FileName(), ExpectedName());
  EXPECT_EQ(decoder.ChannelCount(), c.channels);
  EXPECT_EQ(decoder.SampleBits(), c.bits);
  EXPECT_EQ(decoder.SampleRateHz(), c.rate);
  EXPECT_EQ(decoder.LengthFrames(), c.length);
  EXPECT_EQ(decoder.CurrentFrame(), c.position);
}

TEST_P(DecoderStates, OpenWithoutANameReopensTheStoredOne) {
  decoder.OpenFile(nullptr);
  EXPECT_EQ(decoder.FileName(), ExpectedName());
  EXPECT_EQ(decoder.IsReady(), GetParam().namedAfterFixture);
  EXPECT_EQ(decoder.CurrentFrame(), 0);
  EXPECT_EQ(decoder.ChannelCount(), GetParam().namedAfterFixture ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(, DecoderStates, testing::ValuesIn(kStates),
                         [](const testing::TestParamInfo<StateCase>& info) { return info.param.label; });

}  // namespace
