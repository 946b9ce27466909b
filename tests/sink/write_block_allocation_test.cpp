// WriteBlock allocates nothing: the block goes straight to libsndfile.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sink/sink.h"
#include "tests/common/allocation_counter.h"
#include "tests/sink/sink_fixture.h"

namespace {

TEST_F(SinkTest, WriteBlockAllocatesNothing) {
  for (int formatWord : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_FLOAT}) {
    std::vector<unsigned char> block = Block(formatWord, 0.5f);
    std::string path = Path("out");
    std::unique_ptr<PCM_sink> sink(makeSink(path.c_str(), block.data(), 32, 2, 44100, false));
    ASSERT_NE(sink, nullptr);
    std::vector<double> samples(2 * 1024, 0.125);
    double* buffers[1] = {samples.data()};
    sink->WriteBlock(buffers, 1024, 2, 0, 0);  // libsndfile's first write may set itself up

    int64_t allocations;
    {
      test_alloc::AllocationCounter counter;
      for (int i = 0; i < 200; ++i) sink->WriteBlock(buffers, 1024 - i, 2, 0, 0);
      allocations = counter.Count();
    }
    EXPECT_EQ(allocations, 0) << std::hex << formatWord;
  }
}

}  // namespace
