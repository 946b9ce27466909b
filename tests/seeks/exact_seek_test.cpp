// Every seek inside a file delivers what a linear read delivers: for files
// from libsndfile and from the encoder programs, hundreds of seeks (a
// quarter of them into the last 5 % of the file, some short hops either
// way, some refused ones outside the file between them), each followed by a
// read compared with the same frames of one read from start to end.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "binding/sndfile_api.h"
#include "decoder/decoder.h"
#include "tests/common/test_host.h"
#include "tests/seeks/encoded_files.h"

namespace {

constexpr int kSeeks = 240;
constexpr int kLongestRead = 2048;
// Lossy decoders may round differently after a seek (Opus: float rounding
// in its pre-roll); no more than this.
constexpr double kLossyTolerance = 1e-4;

class SeekTest : public testing::Test {
 protected:
  void SetUp() override {
    test_host::Reset();
    test_host::InstallIntoHostApi();
    ASSERT_EQ(LoadSndfile(), 0);
  }
};

// Every frame the decoder delivers from frame 0 on, read in one pass.
std::vector<double> LinearRead(PEXO_SimpleMediaDecoder& decoder) {
  const int channels = decoder.ChannelCount();
  std::vector<double> all, chunk(static_cast<size_t>(4096) * channels);
  decoder.SeekToFrame(0);
  for (int read; (read = decoder.ReadFrames(chunk.data(), 4096)) > 0;) {
    all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(read) * channels);
  }
  return all;
}

// Runs the seeks on an open decoder whose linear read is given; "" when
// every read matched, else how many did not and the first that did not.
std::string CheckSeeks(PEXO_SimpleMediaDecoder& decoder, const std::vector<double>& linear, double tolerance,
                       unsigned seed) {
  const int channels = decoder.ChannelCount();
  const int64_t frames = static_cast<int64_t>(linear.size()) / channels;
  std::mt19937 random(seed);
  auto pick = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };
  std::vector<double> got(static_cast<size_t>(kLongestRead) * channels);
  int wrong = 0;
  std::string first;
  auto compare = [&](int64_t at, int asked, int read, const char* what) {
    const int64_t expected = std::min<int64_t>(asked, std::max<int64_t>(0, frames - at));
    double error = 0;
    for (int64_t i = 0; i < std::min<int64_t>(read, expected) * channels; ++i) {
      error = std::max(error, std::fabs(got[static_cast<size_t>(i)] - linear[static_cast<size_t>(at * channels + i)]));
    }
    if (read == expected && error <= tolerance) return;
    if (wrong++ == 0) {
      first = std::string(what) + " frame " + std::to_string(at) + " of " + std::to_string(frames) + ": read " +
              std::to_string(read) + " of " + std::to_string(expected) + ", largest error " + std::to_string(error);
    }
  };

  int64_t position = 0;
  for (int seek = 0; seek < kSeeks; ++seek) {
    int64_t target;
    switch (seek % 12) {
      case 0: case 1: case 2: target = pick(frames - frames / 20, frames - 1); break;
      case 3: target = std::min(frames, position + pick(1, 3000)); break;
      case 4: target = std::max<int64_t>(0, position - pick(1, 3000)); break;
      case 5: target = pick(0, 1) == 0 ? frames : pick(0, 2000); break;
      case 6:
        // Refused by libsndfile; what follows must not be thrown off by it.
        decoder.SeekToFrame(pick(0, 1) == 0 ? -pick(1, 100) : decoder.LengthFrames() + pick(1, 5000));
        target = pick(0, frames - 1);
        break;
      default: target = pick(0, frames - 1); break;
    }
    decoder.SeekToFrame(target);
    if (decoder.CurrentFrame() != target) return "the position is not the frame sought: " + std::to_string(target);
    const int asked = static_cast<int>(pick(1, kLongestRead));
    int read = decoder.ReadFrames(got.data(), asked);
    compare(target, asked, read, "seek to");
    position = target + read;
    if (seek % 5 == 0) {  // and on without a seek
      read = decoder.ReadFrames(got.data(), asked);
      compare(position, asked, read, "read on at");
      position += read;
    }
  }
  if (wrong == 0) return "";
  return std::to_string(wrong) + " reads of " + std::to_string(kSeeks) + " seeks wrong; the first: " + first;
}

class ExactSeek : public SeekTest, public testing::WithParamInterface<encoded::EncodedFile> {};

TEST_P(ExactSeek, EverySeekDeliversWhatALinearReadDelivers) {
  const encoded::EncodedFile& file = GetParam();
  if (!encoded::ToolAvailable(file)) GTEST_SKIP() << file.tool << " is not installed";
  std::string failure;
  const std::string path = encoded::PathOf(file, &failure);
  ASSERT_FALSE(path.empty()) << failure;

  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  const std::vector<double> linear = LinearRead(decoder);
  // Encoders add or trim up to a few thousand frames at the ends.
  ASSERT_GT(static_cast<int64_t>(linear.size()) / decoder.ChannelCount(),
            static_cast<int64_t>(file.sampleRate) * (encoded::kSeconds - 1));
  EXPECT_EQ(CheckSeeks(decoder, linear, file.lossy ? kLossyTolerance : 0.0, 7), "");
}

INSTANTIATE_TEST_SUITE_P(, ExactSeek, testing::ValuesIn(encoded::All()),
                         [](const testing::TestParamInfo<encoded::EncodedFile>& info) {
                           std::string name = info.param.name;
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

const encoded::EncodedFile& Row(const std::string& name) {
  for (const encoded::EncodedFile& file : encoded::All()) {
    if (name == file.name) return file;
  }
  throw std::invalid_argument("no row " + name);
}

// A copy of a row's file, cut to a fraction of its bytes.
std::string CutCopy(const encoded::EncodedFile& file, double fraction, std::string* failure) {
  const std::string path = encoded::PathOf(file, failure);
  if (path.empty()) return "";
  const std::string cut = path + ".cut" + std::to_string(static_cast<int>(fraction * 100)) +
                          std::filesystem::path(path).extension().string();
  std::filesystem::copy_file(path, cut, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(cut, static_cast<uintmax_t>(std::filesystem::file_size(path) * fraction));
  return cut;
}

// A Vorbis file cut inside a page (libsndfile does not know its length, the
// decoder counts it) and one cut just short of its final page's end (its
// tail holds no intact final page): seeks still land on the linear read.
TEST_F(SeekTest, CutVorbisFilesSeekExactly) {
  for (double fraction : {0.6, 0.995}) {
    SCOPED_TRACE(fraction);
    std::string failure;
    const std::string path = CutCopy(Row("lsf_vorbis.oga"), fraction, &failure);
    ASSERT_FALSE(path.empty()) << failure;
    PEXO_SimpleMediaDecoder decoder;
    decoder.OpenFile(path.c_str());
    ASSERT_TRUE(decoder.IsReady());
    const std::vector<double> linear = LinearRead(decoder);
    ASSERT_FALSE(linear.empty());
    EXPECT_EQ(CheckSeeks(decoder, linear, kLossyTolerance, 11), "");
  }
}

// A codec libsndfile cannot seek in starts again by opening the file anew;
// when the file has gone, the seek is refused as libsndfile refuses one:
// the position is the frame asked for, and the handle reads on.
TEST_F(SeekTest, SeekBackIntoARemovedFileReadsOn) {
  std::string failure;
  const std::string path = CutCopy(Row("lsf_gsm.wav"), 1.0, &failure);
  ASSERT_FALSE(path.empty()) << failure;
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  const std::vector<double> linear = LinearRead(decoder);
  decoder.SeekToFrame(1000);
  std::vector<double> buffer(100);
  ASSERT_EQ(decoder.ReadFrames(buffer.data(), 100), 100);
  ASSERT_EQ(unlink(path.c_str()), 0);
  decoder.SeekToFrame(200);
  EXPECT_EQ(decoder.CurrentFrame(), 200);
  ASSERT_EQ(decoder.ReadFrames(buffer.data(), 100), 100);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), linear.begin() + 1100)) << "the handle reads on from 1100";
  EXPECT_TRUE(decoder.IsReady());
}

}  // namespace
