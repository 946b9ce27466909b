// PCM_sink_libsndfile: construction and its order, WriteBlock, the queries,
// and destruction.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/common/sndfile_recorder.h"
#include "tests/sink/sink_fixture.h"

namespace {

using test_host::Recorded;

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

class Writer : public SinkTest {
 protected:
  std::unique_ptr<PCM_sink_libsndfile> Make(int formatWord, bool peaks, int channels = 2,
                                            const std::string& name = "out.wav", float quality = 0.25f) {
    std::vector<unsigned char> block = Block(formatWord, quality);
    path = Path(name);
    return std::unique_ptr<PCM_sink_libsndfile>(
        new PCM_sink_libsndfile(path.c_str(), block.data(), 32, channels, 44100, peaks));
  }
  std::string path;
};

TEST_F(Writer, ConstructionRunsItsStepsInOrder) {
  SndfileRecorder recorder;
  std::unique_ptr<PCM_sink_libsndfile> writer;
  EXPECT_EQ(Printed([&] { writer = Make(kWav16 | SF_ENDIAN_BIG, true); }), "");
  ASSERT_TRUE(writer->IsOpen());
  std::vector<std::string> expected = {
      "sf_format_check 0x20010002 2 44100",
      "sf_command null 0x1028 0x00010000 24",
      "sf_command null 0x1028 0x00000002 24",
      "sf_open " + path + " 0x20 0x20010002 2 44100",
      "sf_command file 0x1012",  // normalisation off: the writer hands over the integers
      "sf_command file 0x1301 0.2500 8",
      "sf_command file 0x1300 0.2500 8",
      "PeakBuild_Create null " + path + " 44100 2",
  };
  EXPECT_EQ(Recorded().events, expected);

  char description[128];
  writer->DescribeOutput(description, sizeof description);
  EXPECT_STREQ(description, "WAV (Microsoft), Signed 16 bit PCM, Sr: 44100 Hz, Ch: 2ch");
  EXPECT_STREQ(writer->GetOutputFileName(), path.c_str());
  EXPECT_EQ(writer->GetChannelCount(), 2);
}

TEST_F(Writer, FormatNotAvailableStopsConstruction) {
  SndfileRecorder recorder;
  std::unique_ptr<PCM_sink_libsndfile> writer;
  EXPECT_EQ(Printed([&] { writer = Make(kWav16, true, 0); }),
            "Something might have gone wrong... Format not available: 0x00010002 for 0 channels \n");
  EXPECT_FALSE(writer->IsOpen());
  EXPECT_EQ(Recorded().events, std::vector<std::string>{"sf_format_check 0x00010002 0 44100"});
  EXPECT_EQ(Recorded().peakBuildersCreated, 0);
  EXPECT_STREQ(writer->GetOutputFileName(), "");
}

TEST_F(Writer, RefusedNameQueriesLeaveEmptyNames) {
  SndfileRecorder recorder;
  recorder.refuseFormatInfo = true;
  std::unique_ptr<PCM_sink_libsndfile> writer;
  EXPECT_EQ(Printed([&] { writer = Make(kWav16, false); }),
            "can't get major format info: 0x00010000\ncan't get subtype format info: 0x00000002\n");
  EXPECT_TRUE(writer->IsOpen());
  char description[64];
  writer->DescribeOutput(description, sizeof description);
  EXPECT_STREQ(description, ", , Sr: 44100 Hz, Ch: 2ch");
}

TEST_F(Writer, FailedOpenStillSendsTheQualityAndMakesThePeakBuilder) {
  SndfileRecorder recorder;
  std::vector<unsigned char> block = Block(kWav16, 0.75f);
  std::string missing = Path("no/such/folder.wav");
  PCM_sink* sink = nullptr;
  EXPECT_EQ(Printed([&] { sink = makeSink(missing.c_str(), block.data(), 32, 2, 44100, true); }), "");
  EXPECT_EQ(sink, nullptr);
  std::vector<std::string> tail(Recorded().events.end() - 4, Recorded().events.end());
  std::vector<std::string> expected = {
      "sf_command null 0x1301 0.7500 8",
      "sf_command null 0x1300 0.7500 8",
      "PeakBuild_Create null " + missing + " 44100 2",
      "peak builder destroyed",
  };
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(Recorded().peakBuildersCreated, 1);
  EXPECT_EQ(Recorded().peakBuildersAlive, 0);
}

TEST_F(Writer, QualityThatIsNotANumberIsNotSent) {
  SndfileRecorder recorder;
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, false, 2, "out.wav", std::nanf(""));
  ASSERT_TRUE(writer->IsOpen());
  for (const std::string& event : Recorded().events) {
    EXPECT_EQ(event.find("0x130"), std::string::npos) << event;
  }
}

TEST_F(Writer, DescribeOutputStaysWithinTheCapacity) {
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, false);
  const std::string text = "WAV (Microsoft), Signed 16 bit PCM, Sr: 44100 Hz, Ch: 2ch";
  const int length = static_cast<int>(text.size());
  for (int capacity : {-1, 0, 1, 2, 10, length - 1, length, length + 1, length + 20}) {
    std::vector<char> buffer(100, '#');
    writer->DescribeOutput(buffer.data() + 4, capacity);
    int written = capacity > 0 ? capacity : 0;
    for (int i = 0; i < 100; ++i) {
      bool inside = i >= 4 && i < 4 + written;
      if (!inside) {
        ASSERT_EQ(buffer[i], '#') << "capacity " << capacity << ", byte " << i;
        continue;
      }
      int at = i - 4;
      char expected = at < length && at < capacity - 1 ? text[at] : '\0';
      ASSERT_EQ(buffer[i], expected) << "capacity " << capacity << ", byte " << at;
    }
  }
  writer->DescribeOutput(nullptr, 10);
}

TEST_F(Writer, QueriesAndInheritedOperations) {
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, false);
  PCM_sink* sink = writer.get();
  EXPECT_EQ(sink->GetStoredValue(), 0.0);
  sink->SetStoredValue(2.5);
  EXPECT_EQ(sink->GetStoredValue(), 2.5);
  EXPECT_FALSE(sink->WantsAuxiliary());
  EXPECT_EQ(sink->GenericRequest(123, nullptr, nullptr), 0);
  unsigned char untouched[16];
  std::memset(untouched, 0x5A, sizeof untouched);
  sink->WriteAuxiliary(1, untouched, sizeof untouched);
  EXPECT_EQ(std::vector<unsigned char>(untouched, untouched + 16), std::vector<unsigned char>(16, 0x5A));
  EXPECT_EQ(sink->GetLengthSeconds(), 0.0);
  EXPECT_EQ(sink->GetOutputCount(), 0);
}

struct BlockCase {
  const char* what;
  int count1, count2;
  bool asked;  // sf_write_double is called
  int64_t valuesAsked;
  int64_t result;
};

class WriteBlock : public Writer, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(WriteBlock, GoesToThePeakBuilderThenToTheFile) {
  const BlockCase& c = GetParam();
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, true);
  std::vector<double> samples(2000, 0.25);
  double* buffers[1] = {samples.data()};
  SndfileRecorder recorder;
  EXPECT_EQ(writer->WriteBlock(buffers, c.count1, c.count2, 7, -9), c.result);

  ASSERT_EQ(Recorded().peakCalls.size(), 1u);
  const test_host::PeakCall& add = Recorded().peakCalls[0];
  EXPECT_EQ(add.operation, "AddBlock");
  EXPECT_EQ(add.buffers, buffers);
  EXPECT_EQ(add.count1, c.count1);
  EXPECT_EQ(add.count2, c.count2);
  EXPECT_EQ(add.value3, 7);
  EXPECT_EQ(add.value4, -9);
  if (c.asked) {
    ASSERT_EQ(recorder.writes.size(), 1u);
    EXPECT_EQ(recorder.writes[0].count, c.valuesAsked);
    EXPECT_EQ(recorder.writes[0].peakCalls, 1u) << "the file got the block before the PeakBuilder";
  } else {
    EXPECT_TRUE(recorder.writes.empty());
  }
  EXPECT_EQ(writer->GetOutputCount(), c.result);
  EXPECT_DOUBLE_EQ(writer->GetLengthSeconds(), static_cast<double>(c.result / 2) / 44100.0);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, WriteBlock,
    ::testing::Values(BlockCase{"frames", 1000, 2, true, 2000, 2000},
                      BlockCase{"no frames", 0, 2, true, 0, 0},
                      BlockCase{"part of a frame", 3, 1, true, 3, 0},
                      BlockCase{"negative frames", -1, 2, false, 0, 0},
                      BlockCase{"negative channels", 1000, -2, false, 0, 0},
                      BlockCase{"both negative", -1000, -2, false, 0, 0}),
    [](const ::testing::TestParamInfo<BlockCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c != '\0'; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST_F(Writer, ValueCountIsFormedIn64Bits) {
  // A float encoding: its blocks go to libsndfile whole, as they are.
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(SF_FORMAT_WAV | SF_FORMAT_FLOAT, false);
  SndfileRecorder recorder;
  recorder.fakeWrites = true;  // no buffer of that size exists
  double sample = 0.0;
  double* buffers[1] = {&sample};
  writer->WriteBlock(buffers, 65536, 65536, 0, 0);
  writer->WriteBlock(buffers, INT_MAX, INT_MAX, 0, 0);
  ASSERT_EQ(recorder.writes.size(), 2u);
  EXPECT_EQ(recorder.writes[0].count, 4294967296LL);
  EXPECT_EQ(recorder.writes[1].count, 4611686014132420609LL);
}

TEST_F(Writer, NoBufferWritesNothing) {
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, false);
  double* noBuffer[1] = {nullptr};
  EXPECT_EQ(writer->WriteBlock(nullptr, 10, 2, 0, 0), 0);
  EXPECT_EQ(writer->WriteBlock(noBuffer, 10, 2, 0, 0), 0);
  EXPECT_EQ(writer->GetOutputCount(), 0);
}

TEST_F(Writer, LengthAndCountFollowWhatWasWritten) {
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, false);
  std::vector<double> samples(4000, -0.5);
  double* buffers[1] = {samples.data()};
  EXPECT_EQ(writer->WriteBlock(buffers, 1000, 2, 0, 0), 2000);
  EXPECT_EQ(writer->WriteBlock(buffers, 441, 2, 0, 0), 882);
  EXPECT_EQ(writer->WriteBlock(buffers, 5, 1, 0, 0), 0);  // not whole frames: libsndfile takes none
  EXPECT_EQ(writer->GetOutputCount(), 2882);
  EXPECT_DOUBLE_EQ(writer->GetLengthSeconds(), 1441.0 / 44100.0);
}

TEST_F(Writer, PeakQueriesWithoutAPeakBuilder) {
  for (bool refused : {false, true}) {
    test_host::RefusePeakBuilder() = refused;
    std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, refused);
    EXPECT_EQ(writer->PeakQuery(1, nullptr, 0), 0);
    std::vector<unsigned char> record(40, 0xAA);
    writer->PeakRecordQuery(record.data(), 3, 4);
    std::vector<unsigned char> expected(40, 0xAA);
    std::fill(expected.begin() + 32, expected.begin() + 36, 0);
    EXPECT_EQ(record, expected);
    writer->PeakRecordQuery(nullptr, 3, 4);
    std::vector<double> samples(20, 0.1);
    double* buffers[1] = {samples.data()};
    EXPECT_EQ(writer->WriteBlock(buffers, 10, 2, 0, 0), 20);
    EXPECT_TRUE(Recorded().peakCalls.empty());
  }
}

TEST_F(Writer, PeakQueriesGoToThePeakBuilder) {
  std::unique_ptr<PCM_sink_libsndfile> writer = Make(kWav16, true);
  unsigned char record[40] = {};
  EXPECT_EQ(writer->PeakQuery(5, record, 6), 77);
  writer->PeakRecordQuery(record, 8, 9);
  ASSERT_EQ(Recorded().peakCalls.size(), 2u);
  EXPECT_EQ(Recorded().peakCalls[0].operation, "PeakQuery");
  EXPECT_EQ(Recorded().peakCalls[0].count1, 5);
  EXPECT_EQ(Recorded().peakCalls[0].count2, 6);
  EXPECT_EQ(Recorded().peakCalls[1].operation, "PeakRecordQuery");
  EXPECT_EQ(Recorded().peakCalls[1].count1, 8);
  EXPECT_EQ(Recorded().peakCalls[1].count2, 9);
}

TEST_F(Writer, FileIsCompleteAndClosedBeforeThePeakBuilderGoes) {
  std::vector<double> samples(2 * 500);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<double>(i % 64) / 64.0 - 0.5;
  sf_count_t framesOnDisk = -1;
  std::vector<double> readBack(samples.size() + 2, 9.0);
  std::vector<std::string> eventsWhenDestroyed;
  test_host::OnPeakBuilderDestroyed() = [&] {
    eventsWhenDestroyed = Recorded().events;
    SF_INFO info{};
    SNDFILE* file = SndfileApi.sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return;
    framesOnDisk = SndfileApi.sf_readf_double(file, readBack.data(), 501);
    SndfileApi.sf_close(file);
  };
  {
    std::vector<unsigned char> block = Block(SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0.5f);
    path = Path("peaks.wav");
    SndfileRecorder recorder;
    std::unique_ptr<PCM_sink> sink(makeSink(path.c_str(), block.data(), 32, 2, 44100, true));
    ASSERT_NE(sink, nullptr);
    double* buffers[1] = {samples.data()};
    sink->WriteBlock(buffers, 300, 2, 0, 0);
    double* rest[1] = {samples.data() + 600};
    sink->WriteBlock(rest, 200, 2, 0, 0);
    sink.reset();
  }
  ASSERT_GE(eventsWhenDestroyed.size(), 2u);
  EXPECT_EQ(eventsWhenDestroyed[eventsWhenDestroyed.size() - 2], "sf_close file");
  EXPECT_EQ(eventsWhenDestroyed.back(), "peak builder destroyed");
  ASSERT_EQ(framesOnDisk, 500);
  EXPECT_EQ(std::vector<double>(readBack.begin(), readBack.begin() + 1000), samples);
}

}  // namespace
