// With the heap exhausted, every operation a host calls that makes an
// object answers the way the interface allows for a failure (null, a
// decoder without a name) and lets no exception reach the host.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "binding/sndfile_api.h"
#include "decoder/decoder.h"
#include "sink/sink.h"
#include "tests/common/test_host.h"
#include "tests/memory/failing_new.h"

namespace {

class OutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSndfile(), 0);
    test_host::InstallIntoHostApi();
    test_host::Reset();
    char pattern[] = "/tmp/pexo-memory-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    // A file to read: one second of silence.
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(Input().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> silence(8000);
    sf_write_short(file, silence.data(), static_cast<sf_count_t>(silence.size()));
    sf_close(file);
  }
  void TearDown() override {
    test_host::Reset();
    std::system(("rm -rf '" + folder + "'").c_str());
  }
  std::string Input() const { return folder + "/input.wav"; }
  std::string Output() const { return folder + "/output.wav"; }
  std::string folder;
};

// Each operation runs with every operator new failing; an exception is the
// fault, and so is a result that is not the interface's failure answer.
TEST_F(OutOfMemory, HostCallableOperationsFailWithoutThrowing) {
  std::vector<unsigned char> block(kSinkConfigBlockSize, 0);
  SinkConfigBlock settings{kSinkTypeTag, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f, {}};
  std::memcpy(block.data(), &settings, sizeof settings);
  HostSource* opened = makeFromFile(Input().c_str(), 7);
  ASSERT_NE(opened, nullptr);
  ISimpleMediaDecoder* decoder = test_host::DecoderOf(opened);
  const std::string input = Input(), output = Output();  // made before the heap fails

  struct Case {
    const char* what;
    std::function<bool()> failsCleanly;
  };
  const std::vector<Case> cases = {
      {"makeFromTypeTag", [] { return makeFromTypeTag("KOVRA", 5) == nullptr; }},
      {"makeFromFile", [&] { return makeFromFile(input.c_str(), 7) == nullptr; }},
      {"makeSink",
       [&] {
         return makeSink(output.c_str(), block.data(), static_cast<int>(block.size()), 1, 8000, false) ==
                nullptr;
       }},
      {"MakeCopy", [&] { return decoder->MakeCopy() == nullptr; }},
  };
  for (const Case& c : cases) {
    bool clean = false;
    try {
      test_memory::NewFails failing;
      clean = c.failsCleanly();
    } catch (...) {
      ADD_FAILURE() << c.what << " let an exception reach the host";
      continue;
    }
    EXPECT_TRUE(clean) << c.what;
  }
  delete opened;
  EXPECT_EQ(test_host::Recorded().sourcesAlive, 0);
}

}  // namespace
