// Random sequences of seeks, reads, closes and reopens, each step compared
// with a libsndfile handle driven directly and with a model of the counted
// position. Seeded: a failing sequence is named by its seed. The model
// reaches a frame inside the file by reading on from frame 0, so what it
// delivers after a seek is what a linear read delivers.
#include <cstring>
#include <random>
#include <vector>

#include "tests/common/sndfile_recorder.h"
#include "tests/decoder/decoder_test.h"

namespace {

constexpr unsigned kSequences = 360;
constexpr int kStepsPerSequence = 30;

// What the decoder is expected to count, and the handle it should match.
struct Model {
  explicit Model(const std::string& path) : path(path) { Open(); }
  ~Model() { Close(); }
  void Open() {
    Close();
    info = SF_INFO{};
    handle = sf_open(path.c_str(), SFM_READ, &info);
    position = 0;
  }
  void Close() {
    if (handle != nullptr) sf_close(handle);
    handle = nullptr;
  }
  // A frame outside the file goes to libsndfile, which refuses it.
  void Seek(int64_t frame) {
    if (frame < 0 || frame > info.frames) {
      sf_seek(handle, frame, SEEK_SET);
      return;
    }
    sf_seek(handle, 0, SEEK_SET);
    std::vector<double> discarded(static_cast<size_t>(frame) * info.channels + 1);
    if (frame > 0) sf_readf_double(handle, discarded.data(), frame);
  }

  std::string path;
  SNDFILE* handle = nullptr;
  SF_INFO info{};
  int64_t position = 0;
};

class DecoderModel : public DecoderTest, public testing::WithParamInterface<unsigned> {};

TEST_P(DecoderModel, FollowsLibsndfileAndTheCountedPosition) {
  const unsigned seed = GetParam();
  std::mt19937 random(seed);
  const fixtures::AudioFile& file = fixtures::All()[seed % fixtures::All().size()];
  std::string path = fixtures::PathOf(file);
  SCOPED_TRACE(std::string(file.name) + ", seed " + std::to_string(seed));

  Model model(path);
  ASSERT_NE(model.handle, nullptr);
  const int64_t length = model.info.frames;
  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  SndfileRecorder spy;
  // Where libsndfile's own seek is exact, the decoder makes exactly that one
  // call; in Ogg Vorbis it seeks earlier, or not at all, and reads on.
  const bool seeksAsAsked = (file.format & SF_FORMAT_SUBMASK) != SF_FORMAT_VORBIS;
  auto pick = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };

  for (int step = 0; step < kStepsPerSequence; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const bool open = model.handle != nullptr;
    const int64_t action = pick(0, 99);
    if (action < 45) {
      int frames = static_cast<int>(pick(0, 4) == 0 ? pick(0, 3) : pick(1, length / 2));
      size_t samples = static_cast<size_t>(frames) * file.channels;
      std::vector<double> got(samples + 1, -7.0), want(samples + 1, -7.0);
      size_t countersBefore = DiskCounters().size();
      int read = decoder.ReadFrames(got.data(), frames);
      if (open) {
        int expected = static_cast<int>(sf_readf_double(model.handle, want.data(), frames));
        ASSERT_EQ(read, expected) << "read " << frames;
        ASSERT_TRUE(std::memcmp(got.data(), want.data(), got.size() * sizeof(double)) == 0);
        ASSERT_EQ(DiskCounters().size(), countersBefore + 1);
        EXPECT_EQ(DiskCounters().back().amountRead, file.nominalBits * file.channels * read);
        model.position += read;
      } else {
        ASSERT_EQ(read, 0);
        ASSERT_EQ(DiskCounters().size(), countersBefore);
        EXPECT_EQ(got[0], -7.0);
      }
    } else if (action < 85) {
      int64_t frame;
      switch (pick(0, 4)) {
        case 0: frame = model.position; break;
        case 1: frame = length + pick(0, 2000); break;  // at or past the end
        case 2: frame = -pick(1, 100); break;
        default: frame = pick(0, length - 1); break;
      }
      size_t seeksBefore = spy.seeks.size();
      decoder.SeekToFrame(frame);
      bool seeks = open && frame != model.position;
      if (seeksAsAsked || !seeks || frame < 0 || frame > length) {
        ASSERT_EQ(spy.seeks.size(), seeksBefore + (seeks ? 1 : 0)) << "seek to " << frame;
        if (seeks) {
          EXPECT_EQ(spy.seeks.back().frame, frame);
        }
      } else {
        for (size_t i = seeksBefore; i < spy.seeks.size(); ++i) {
          EXPECT_LE(spy.seeks[i].frame, frame);
        }
      }
      if (seeks) model.Seek(frame);
      if (open) model.position = frame;
    } else if (action < 95) {
      decoder.OpenFile(pick(0, 1) == 0 ? nullptr : path.c_str());
      model.Open();
    } else {
      decoder.CloseFile(false);
      model.Close();
    }
    ASSERT_EQ(decoder.CurrentFrame(), model.position);
    ASSERT_EQ(decoder.IsReady(), model.handle != nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DecoderModel, testing::Range(1u, kSequences + 1));

}  // namespace
