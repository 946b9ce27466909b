// Lengths libsndfile does not know: a truncated Ogg file is counted by
// reading it through once, and reads then start at frame 0; an Ogg stream
// from a pipe, which cannot be read twice, reports length 0 and still
// delivers every frame.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/decoder/decoder_test.h"
#include "tests/common/sndfile_recorder.h"

namespace {

constexpr int kChannels = 2;
constexpr int kRate = 48000;
constexpr int kFrames = 5 * kRate;

// An Ogg file of kFrames stereo frames of a tone with a little noise.
std::string WriteOgg(const std::string& name, int subtype) {
  std::string path = fixtures::ScratchPath(name);
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = kChannels;
  info.format = SF_FORMAT_OGG | subtype;
  SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
  if (handle == nullptr) return "";
  std::vector<double> samples(static_cast<size_t>(kFrames) * kChannels);
  unsigned noise = 1;
  for (size_t i = 0; i < samples.size(); ++i) {
    noise = noise * 1103515245u + 12345u;
    samples[i] = 0.5 * std::sin(static_cast<double>(i) * 0.01) + (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.1;
  }
  sf_writef_double(handle, samples.data(), kFrames);
  sf_close(handle);
  return path;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first fraction of the file, as a download cut short leaves it.
std::string Truncated(const std::string& path, double fraction, const std::string& name) {
  std::string bytes = Bytes(path);
  std::string cut = fixtures::ScratchPath(name);
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, static_cast<size_t>(static_cast<double>(bytes.size()) * fraction));
  return cut;
}

// Every sample of a fresh handle on the file, read to the end.
std::vector<double> DirectSamples(const std::string& path) {
  SF_INFO info{};
  SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &info);
  std::vector<double> all;
  if (handle == nullptr) return all;
  std::vector<double> buffer(4096 * static_cast<size_t>(info.channels));
  sf_count_t read;
  while ((read = sf_readf_double(handle, buffer.data(), 4096)) > 0) {
    all.insert(all.end(), buffer.begin(), buffer.begin() + read * info.channels);
  }
  sf_close(handle);
  return all;
}

std::vector<double> DecoderSamples(PEXO_SimpleMediaDecoder& decoder) {
  std::vector<double> all;
  std::vector<double> buffer(1000 * static_cast<size_t>(kChannels));
  int read;
  while ((read = decoder.ReadFrames(buffer.data(), 1000)) > 0) {
    all.insert(all.end(), buffer.begin(), buffer.begin() + read * kChannels);
  }
  return all;
}

struct CutCase {
  const char* name;
  int subtype;
  double fraction;
};
void PrintTo(const CutCase& c, std::ostream* out) { *out << c.name; }

const CutCase kCutCases[] = {
    {"vorbis_cut_at_30_percent", SF_FORMAT_VORBIS, 0.3},
    {"vorbis_cut_at_70_percent", SF_FORMAT_VORBIS, 0.7},
    {"opus_cut_at_30_percent", SF_FORMAT_OPUS, 0.3},
    {"opus_cut_at_70_percent", SF_FORMAT_OPUS, 0.7},
};

class TruncatedOgg : public DecoderTest, public testing::WithParamInterface<CutCase> {
 protected:
  void SetUp() override {
    DecoderTest::SetUp();
    std::string whole = WriteOgg(std::string(GetParam().name) + "_whole.ogg", GetParam().subtype);
    ASSERT_FALSE(whole.empty()) << sf_strerror(nullptr);
    path = Truncated(whole, GetParam().fraction, std::string(GetParam().name) + ".ogg");
    expected = DirectSamples(path);
    ASSERT_FALSE(expected.empty());
  }
  int64_t ExpectedFrames() const { return static_cast<int64_t>(expected.size()) / kChannels; }

  std::string path;
  std::vector<double> expected;
};

TEST_P(TruncatedOgg, LengthIsTheFramesItHolds) {
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  EXPECT_EQ(decoder.LengthFrames(), ExpectedFrames());
  EXPECT_EQ(decoder.CurrentFrame(), 0);
  EXPECT_TRUE(DiskCounters().empty()) << "counting is the decoder's own reading, not the host's";

  std::vector<double> delivered = DecoderSamples(decoder);
  ASSERT_EQ(delivered.size(), expected.size());
  EXPECT_TRUE(std::memcmp(delivered.data(), expected.data(), expected.size() * sizeof(double)) == 0)
      << "reads after counting start at frame 0 with the samples a fresh handle gives";
  EXPECT_EQ(decoder.CurrentFrame(), decoder.LengthFrames());
}

// Where libsndfile will not seek back after counting, the file is opened
// again, and reads still start at frame 0.
TEST_P(TruncatedOgg, RefusedSeekBackOpensTheFileAgain) {
  SndfileRecorder spy;
  spy.seekAnswer = [](SNDFILE*, sf_count_t, int) -> sf_count_t { return -1; };
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  EXPECT_EQ(spy.seeks.size(), 1u);
  EXPECT_EQ(decoder.LengthFrames(), ExpectedFrames());
  std::vector<double> delivered = DecoderSamples(decoder);
  ASSERT_EQ(delivered.size(), expected.size());
  EXPECT_TRUE(std::memcmp(delivered.data(), expected.data(), expected.size() * sizeof(double)) == 0);
}

INSTANTIATE_TEST_SUITE_P(, TruncatedOgg, testing::ValuesIn(kCutCases),
                         [](const testing::TestParamInfo<CutCase>& info) { return info.param.name; });

// A whole Ogg file needs no counting: libsndfile knows its length.
TEST_F(DecoderTest, WholeOggFileIsNotReadWhenOpened) {
  std::string path = WriteOgg("whole_vorbis.ogg", SF_FORMAT_VORBIS);
  SndfileRecorder spy;
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  EXPECT_EQ(decoder.LengthFrames(), kFrames);
  EXPECT_EQ(spy.reads, 0);
}

// A pipe's data is read once: the length is unknown (0) and every frame
// still arrives.
TEST_F(DecoderTest, OggFromAPipeHasLengthZeroAndReadsWhole) {
  std::string whole = WriteOgg("piped_whole.ogg", SF_FORMAT_VORBIS);
  ASSERT_FALSE(whole.empty());
  std::vector<double> expected = DirectSamples(whole);
  std::string bytes = Bytes(whole);
  std::string pipePath = fixtures::ScratchPath("pipe.ogg");
  unlink(pipePath.c_str());
  ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);

  pid_t feeder = fork();
  ASSERT_GE(feeder, 0);
  if (feeder == 0) {
    signal(SIGPIPE, SIG_IGN);  // a reader that stops early ends the feed
    int pipe = open(pipePath.c_str(), O_WRONLY);
    size_t done = 0;
    while (pipe >= 0 && done < bytes.size()) {
      ssize_t written = write(pipe, bytes.data() + done, bytes.size() - done);
      if (written <= 0) break;
      done += static_cast<size_t>(written);
    }
    _exit(0);
  }
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(pipePath.c_str());
  bool ready = decoder.IsReady();
  int64_t length = decoder.LengthFrames();
  std::vector<double> delivered = DecoderSamples(decoder);
  decoder.CloseFile(false);
  int status = 0;
  waitpid(feeder, &status, 0);
  unlink(pipePath.c_str());

  ASSERT_TRUE(ready);
  EXPECT_EQ(length, 0);
  ASSERT_EQ(delivered.size(), expected.size());
  EXPECT_TRUE(std::memcmp(delivered.data(), expected.data(), expected.size() * sizeof(double)) == 0);
}

}  // namespace
