// What each reader of a configuration block takes from it, by size and tag:
// extensionFor, makeSink and the writer's own test, with their messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sink/sink.h"
#include "tests/sink/sink_fixture.h"

namespace {

const std::string kNoFormat = "Something might have gone wrong... Format not available: 0x00000000 for 2 channels \n";

struct BlockCase {
  int size;
  bool tagged;
  const char* extension;  // null: none
  bool sinkMade;          // by makeSink
  std::string sinkMessage;
  bool writerTakesFormat;  // the writer's own test passes, so its file opens
};

std::ostream& operator<<(std::ostream& out, const BlockCase& c) {
  return out << c.size << (c.tagged ? " bytes, tagged" : " bytes, untagged");
}

class BlockReaders : public SinkTest, public ::testing::WithParamInterface<BlockCase> {
 protected:
  // A block of exactly the given size on the heap, so that a read past it is
  // caught under the sanitizer: the first bytes of a tagged WAV 16-bit block.
  std::unique_ptr<unsigned char[]> SizedBlock() {
    std::vector<unsigned char> full = Block(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5f, GetParam().tagged);
    int size = GetParam().size > 0 ? GetParam().size : 0;
    std::unique_ptr<unsigned char[]> block(new unsigned char[size]);
    std::copy(full.begin(), full.begin() + size, block.get());
    return block;
  }
};

TEST_P(BlockReaders, TakeWhatTheirTestAllows) {
  const BlockCase& c = GetParam();
  std::unique_ptr<unsigned char[]> block = SizedBlock();

  const char* extension = "unset";
  EXPECT_EQ(Printed([&] { extension = extensionFor(block.get(), c.size); }), "");
  if (c.extension == nullptr) {
    EXPECT_EQ(extension, nullptr);
  } else {
    EXPECT_STREQ(extension, c.extension);
  }

  PCM_sink* sink = nullptr;
  EXPECT_EQ(Printed([&] { sink = makeSink(Path("made.wav").c_str(), block.get(), c.size, 2, 44100, false); }),
            c.sinkMessage);
  EXPECT_EQ(sink != nullptr, c.sinkMade);
  delete sink;

  PCM_sink_libsndfile* writer = nullptr;
  std::string printed =
      Printed([&] { writer = new PCM_sink_libsndfile(Path("own.wav").c_str(), block.get(), c.size, 2, 44100, false); });
  EXPECT_EQ(printed, c.writerTakesFormat ? "" : kNoFormat);
  EXPECT_EQ(writer->IsOpen(), c.writerTakesFormat);
  delete writer;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BlockReaders,
    ::testing::Values(
        BlockCase{-1, true, nullptr, false, "", false}, BlockCase{-1, false, nullptr, false, "", false},
        BlockCase{0, true, nullptr, false, "", false}, BlockCase{0, false, nullptr, false, "", false},
        BlockCase{2, true, nullptr, false, "", false}, BlockCase{2, false, nullptr, false, "", false},
        BlockCase{3, true, nullptr, false, "", false}, BlockCase{3, false, nullptr, false, "", false},
        BlockCase{4, true, "var", false, kNoFormat, false}, BlockCase{4, false, nullptr, false, "", false},
        BlockCase{5, true, nullptr, false, kNoFormat, false}, BlockCase{5, false, nullptr, false, "", false},
        BlockCase{7, true, nullptr, false, kNoFormat, false}, BlockCase{7, false, nullptr, false, "", false},
        BlockCase{8, true, "wav", false, kNoFormat, false}, BlockCase{8, false, nullptr, false, "", false},
        BlockCase{31, true, "wav", false, kNoFormat, false}, BlockCase{31, false, nullptr, false, "", false},
        BlockCase{32, true, "wav", true, "", true}, BlockCase{32, false, nullptr, false, "", false},
        BlockCase{40, true, "wav", true, "", true}, BlockCase{40, false, nullptr, false, "", false}));

TEST_F(SinkTest, ExtensionComesFromTheMajorFormatAlone) {
  int count = 0;
  SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  ASSERT_GT(count, 0);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO major{};
    major.format = i;
    ASSERT_EQ(SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major), 0);
    // Subtype and byte-order bits play no part.
    for (int extra : {0, SF_FORMAT_PCM_24 | SF_ENDIAN_BIG, SF_FORMAT_VORBIS | SF_ENDIAN_LITTLE, 0xFFFF}) {
      std::vector<unsigned char> block = Block(major.format | extra, 0.5f);
      const char* extension = nullptr;
      EXPECT_EQ(Printed([&] { extension = extensionFor(block.data(), 8); }), "");
      EXPECT_STREQ(extension, major.extension) << major.name;
    }
  }
}

TEST_F(SinkTest, UnknownMajorFormatGivesTheFallbackExtension) {
  std::vector<unsigned char> block = Block(0x0FF00000 | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, 0.5f);
  const char* extension = nullptr;
  EXPECT_EQ(Printed([&] { extension = extensionFor(block.data(), 32); }),
            "can't get major format info: 0x0ff00000\n");
  EXPECT_STREQ(extension, "var");
}

TEST_F(SinkTest, TypeTagAndLabel) {
  EXPECT_EQ(typeTagAndLabel(nullptr), 0x736E6466u);
  const char* label = nullptr;
  EXPECT_EQ(typeTagAndLabel(&label), 0x736E6466u);
  EXPECT_STREQ(label, "libsndfile (.au .avr .caf .htk .iff .mat .mpc .paf .pcm .pvf .sd2 ...)");
}

}  // namespace
