// ReadFrames and SeekToFrame: the samples delivered, the host's disk
// counters, the counted position, and no allocation while reading.
#include <algorithm>
#include <climits>
#include <cstring>

#include "tests/common/sndfile_recorder.h"
#include "tests/decoder/allocation_counter.h"
#include "tests/decoder/decoder_test.h"

namespace {

std::string TestName(const testing::TestParamInfo<fixtures::AudioFile>& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

class DecoderReadsEachFormat : public DecoderTest, public testing::WithParamInterface<fixtures::AudioFile> {};

// Chunked reads to the end give libsndfile's samples bit for bit; every
// read, the one at the end included, is counted in bits.
TEST_P(DecoderReadsEachFormat, DeliversWhatLibsndfileDelivers) {
  const fixtures::AudioFile& file = GetParam();
  std::string path = fixtures::PathOf(file);
  DirectFile direct(path);
  std::vector<double> expected = direct.AllSamples();

  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  const int chunk = 777;
  std::vector<double> buffer(static_cast<size_t>(chunk) * file.channels);
  std::vector<double> delivered;
  std::vector<int> counts;
  int read;
  do {
    read = decoder.ReadFrames(buffer.data(), chunk);
    counts.push_back(read);
    delivered.insert(delivered.end(), buffer.begin(), buffer.begin() + static_cast<long>(read) * file.channels);
  } while (read > 0);

  ASSERT_EQ(static_cast<int64_t>(delivered.size()), direct.info.frames * file.channels);
  EXPECT_TRUE(std::memcmp(delivered.data(), expected.data(), expected.size() * sizeof(double)) == 0);
  EXPECT_EQ(decoder.CurrentFrame(), direct.info.frames);
  ASSERT_EQ(DiskCounters().size(), counts.size());
  for (size_t i = 0; i < counts.size(); ++i) {
    EXPECT_EQ(DiskCounters()[i].amountRead, file.nominalBits * file.channels * counts[i]) << "read " << i;
    EXPECT_EQ(DiskCounters()[i].amountWritten, 0);
  }
  EXPECT_EQ(counts.back(), 0);
}

TEST_P(DecoderReadsEachFormat, ReadingAllocatesNothing) {
  const fixtures::AudioFile& file = GetParam();
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(fixtures::PathOf(file).c_str());
  std::vector<double> buffer(static_cast<size_t>(512) * file.channels);
  DiskCounters().reserve(100);  // the recording host must not allocate either
  for (int call = 0; call < 10; ++call) {
    allocation_counter::Scope scope;
    decoder.ReadFrames(buffer.data(), 512);
    EXPECT_EQ(scope.Allocations(), 0) << "call " << call;
  }
}

INSTANTIATE_TEST_SUITE_P(, DecoderReadsEachFormat, testing::ValuesIn(fixtures::All()), TestName);

class OpenDecoderTest : public DecoderTest {
 protected:
  void SetUp() override {
    DecoderTest::SetUp();
    decoder.OpenFile(fixtures::PathOf("wav_double.wav").c_str());  // 64 bits, 2 channels
    ASSERT_TRUE(decoder.IsReady());
  }
  PEXO_SimpleMediaDecoder decoder;
};

TEST_F(OpenDecoderTest, SeekToTheCountedPositionCallsNoSeek) {
  SndfileRecorder spy;
  double buffer[2 * 50];
  decoder.SeekToFrame(0);
  decoder.ReadFrames(buffer, 50);
  decoder.SeekToFrame(50);
  EXPECT_TRUE(spy.seeks.empty());
  decoder.SeekToFrame(20);
  ASSERT_EQ(spy.seeks.size(), 1u);
  EXPECT_EQ(spy.seeks[0].frame, 20);
  EXPECT_EQ(spy.seeks[0].whence, SEEK_SET);
}

TEST_F(OpenDecoderTest, RefusedSeekStillSetsThePosition) {
  decoder.SeekToFrame(fixtures::kFramesWritten + 500);
  EXPECT_EQ(decoder.CurrentFrame(), fixtures::kFramesWritten + 500);
  decoder.SeekToFrame(-3);
  EXPECT_EQ(decoder.CurrentFrame(), -3);
}

// The amount of bits is computed without overflow and held at the largest
// value the host's counter takes.
struct AmountCase {
  int frames;
  int amount;
};
void PrintTo(const AmountCase& c, std::ostream* out) { *out << c.frames << " frames"; }

class DiskAmount : public OpenDecoderTest, public testing::WithParamInterface<AmountCase> {};

TEST_P(DiskAmount, IsBitsTimesChannelsTimesFramesAtMostIntMax) {
  SndfileRecorder spy;
  spy.readAnswer = [](SNDFILE*, double*, sf_count_t frames) { return frames; };  // writes nothing
  double buffer[2];
  EXPECT_EQ(decoder.ReadFrames(buffer, GetParam().frames), GetParam().frames);
  ASSERT_EQ(DiskCounters().size(), 1u);
  EXPECT_EQ(DiskCounters()[0].amountRead, GetParam().amount);
  EXPECT_EQ(decoder.CurrentFrame(), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(, DiskAmount,
                         testing::Values(AmountCase{1, 128}, AmountCase{16777215, 2147483520},
                                         AmountCase{16777216, INT_MAX}, AmountCase{INT_MAX, INT_MAX}));

TEST_F(OpenDecoderTest, PositionStopsAtTheLargestFrame) {
  // The seek is refused, so the handle still reads from the start.
  decoder.SeekToFrame(INT64_MAX - 10);
  double buffer[2 * 100];
  EXPECT_EQ(decoder.ReadFrames(buffer, 100), 100);
  EXPECT_EQ(decoder.CurrentFrame(), INT64_MAX);
}

}  // namespace
