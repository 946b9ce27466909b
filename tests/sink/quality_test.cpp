// The block's quality reaches libsndfile: files written at the two ends of
// the range differ as the encoders' settings say they must.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

class Quality : public SinkTest {
 protected:
  // Writes a second of noise over a tone at the quality; returns the file's size.
  off_t WrittenSize(int formatWord, float quality, const std::string& name) {
    std::vector<unsigned char> block = Block(formatWord, quality);
    std::string path = Path(name);
    std::unique_ptr<PCM_sink> sink(makeSink(path.c_str(), block.data(), 32, 2, 44100, false));
    if (sink == nullptr) return -1;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> noise(-0.2, 0.2);
    std::vector<double> samples(2 * 44100);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.4 * std::sin(0.03 * static_cast<double>(i / 2)) + noise(random);
    double* buffers[1] = {samples.data()};
    sink->WriteBlock(buffers, 44100, 2, 0, 0);
    sink.reset();
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_size : -1;
  }
};

TEST_F(Quality, FlacFilesAtTheTwoEndsDiffer) {
  off_t low = WrittenSize(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.0f, "low.flac");
  off_t high = WrittenSize(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0f, "high.flac");
  ASSERT_GT(low, 0);
  ASSERT_GT(high, 0);
  EXPECT_NE(low, high);
}

TEST_F(Quality, VorbisAtTheTopIsLarger) {
  off_t low = WrittenSize(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.0f, "low.ogg");
  off_t high = WrittenSize(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1.0f, "high.ogg");
  ASSERT_GT(low, 0);
  EXPECT_GT(high, low);
}

// The MP3 encoder crashes on a quality that is not a number.
TEST_F(Quality, NotANumberIsSafe) {
  off_t size = WrittenSize(SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, std::nanf(""), "nan.mp3");
  EXPECT_GT(size, 0);
}

}  // namespace
