// makeFromTypeTag, makeFromFile and listExtensions, and the record that
// carries them.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "plugin/registration_records.h"
#include "tests/decoder/allocation_counter.h"
#include "tests/decoder/decoder_test.h"

namespace {

using test_host::Recorded;

TEST(SourceRegistrationRecord, HoldsTheThreeFunctionsInOrder) {
  EXPECT_EQ(kSourceRegistration.makeFromTypeTag, &makeFromTypeTag);
  EXPECT_EQ(kSourceRegistration.makeFromFile, &makeFromFile);
  EXPECT_EQ(kSourceRegistration.listExtensions, &listExtensions);
}

struct TagCase {
  const char* label;
  const char* tag;
  int tagLength;
  bool accepted;
};
void PrintTo(const TagCase& c, std::ostream* out) { *out << c.label; }

const TagCase kTagCases[] = {
    {"exact", "KOVRA", 5, true},
    {"length_beyond_the_text", "KOVRA", 100, true},
    {"length_4", "KOVRA", 4, false},
    {"negative_length", "KOVRA", -5, false},
    {"sixth_letter", "KOVRAX", 6, false},
    // The host's length bounds what is read: five bytes are the five letters.
    {"longer_text_given_as_five_bytes", "KOVRAX", 5, true},
    {"small_letters", "kovra", 5, false},
    {"shorter_text", "KOV", 5, false},
    {"empty_text", "", 5, false},
    {"null_tag", nullptr, 5, false},
};

class TypeTags : public DecoderTest, public testing::WithParamInterface<TagCase> {};

TEST_P(TypeTags, MakeADecoderWithoutAFileOnlyForTheTag) {
  const TagCase& c = GetParam();
  allocation_counter::Scope scope;
  std::unique_ptr<HostSource> source(makeFromTypeTag(c.tag, c.tagLength));
  if (c.accepted) {
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Recorded().sourcesCreated, std::vector<std::string>{"(null)"});
    ISimpleMediaDecoder* decoder = test_host::DecoderOf(source.get());
    EXPECT_STREQ(decoder->FileName(), "");
    EXPECT_FALSE(decoder->IsReady());
    EXPECT_STREQ(decoder->TypeTag(), "KOVRA");
  } else {
    EXPECT_EQ(source, nullptr);
    EXPECT_EQ(scope.Allocations(), 0) << "a refused call creates nothing";
    EXPECT_TRUE(Recorded().sourcesCreated.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(, TypeTags, testing::ValuesIn(kTagCases),
                         [](const testing::TestParamInfo<TagCase>& info) { return info.param.label; });

// A five-byte tag that ends where readable memory ends: the sixth byte, its
// would-be terminator, is never read.
TEST_F(DecoderTest, TypeTagIsNotReadPastTheLengthGiven) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* pages = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(mprotect(static_cast<char*>(pages) + page, page, PROT_NONE), 0);
  char* tag = static_cast<char*>(pages) + page - 5;
  std::memcpy(tag, "KOVRA", 5);
  std::unique_ptr<HostSource> source(makeFromTypeTag(tag, 5));
  EXPECT_NE(source, nullptr);
  source.reset();
  munmap(pages, 2 * page);
}

struct FileCase {
  const char* label;
  const char* path;  // "<fixture>" and "<missing>" stand for those paths
  int level;
};
void PrintTo(const FileCase& c, std::ostream* out) { *out << c.label; }

const FileCase kRefusedFiles[] = {
    {"null_path", nullptr, 7},
    {"level_6", "<fixture>", 6},
    {"negative_level", "<fixture>", -1},
    {"four_characters", "a.wa", 7},
    {"empty_name", "", 7},
};

class RefusedFiles : public DecoderTest, public testing::WithParamInterface<FileCase> {};

TEST_P(RefusedFiles, CreateNothing) {
  const FileCase& c = GetParam();
  std::string fixture = fixtures::PathOf("wav_pcm16.wav");
  std::string path = c.path == nullptr ? "" : std::string(c.path) == "<fixture>" ? fixture : c.path;
  allocation_counter::Scope scope;
  EXPECT_EQ(makeFromFile(c.path == nullptr ? nullptr : path.c_str(), c.level), nullptr);
  EXPECT_EQ(scope.Allocations(), 0);
  EXPECT_TRUE(Recorded().sourcesCreated.empty());
}

INSTANTIATE_TEST_SUITE_P(, RefusedFiles, testing::ValuesIn(kRefusedFiles),
                         [](const testing::TestParamInfo<FileCase>& info) { return info.param.label; });

TEST_F(DecoderTest, MakeFromFileOpensTheFile) {
  std::string path = fixtures::PathOf("caf_pcm16.caf");
  std::unique_ptr<HostSource> source(makeFromFile(path.c_str(), 7));
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(Recorded().sourcesCreated, std::vector<std::string>{path});
  ISimpleMediaDecoder* decoder = test_host::DecoderOf(source.get());
  EXPECT_TRUE(decoder->IsReady());
  EXPECT_EQ(decoder->FileName(), path);
  source.reset();
  EXPECT_EQ(Recorded().sourcesAlive, 0);
}

// The name's extension is not looked at, and five characters are enough to
// ask the host; a file that does not open has its source deleted.
TEST_F(DecoderTest, MakeFromFileDeletesTheSourceOfAnUnopenableFile) {
  for (std::string path : {std::string("a.wav"), fixtures::MissingPath()}) {
    SCOPED_TRACE(path);
    test_host::Reset();
    EXPECT_EQ(makeFromFile(path.c_str(), 7), nullptr);
    EXPECT_EQ(Recorded().sourcesCreated, std::vector<std::string>{path});
    EXPECT_EQ(Recorded().sourcesAlive, 0);
  }
}

// A host that makes no source has taken no decoder: the plug-in deletes it.
TEST_F(DecoderTest, RefusedSourceLeavesNoDecoderBehind) {
  test_host::RefuseSources() = true;
  std::string path = fixtures::PathOf("wav_pcm16.wav");
  allocation_counter::Scope scope;
  EXPECT_EQ(makeFromFile(path.c_str(), 7), nullptr);
  EXPECT_EQ(makeFromTypeTag("KOVRA", 5), nullptr);
  EXPECT_EQ(scope.Allocations(), 2);
  EXPECT_EQ(scope.Outstanding(), 0);
}

std::string TextOf(const char* text) { return text != nullptr ? text : "(null)"; }

TEST(ListExtensions, NamesPafAndCafOnly) {
  struct Case {
    int index;
    const char* extension;
    const char* description;
  };
  for (Case c : {Case{0, "PAF", "Paris Audio Files"}, Case{1, "CAF", "Apple Core Audio Files"},
                 Case{2, nullptr, nullptr}, Case{-1, nullptr, nullptr}, Case{INT32_MIN, nullptr, nullptr}}) {
    SCOPED_TRACE(c.index);
    const char* description = "unchanged";
    const char* extension = listExtensions(c.index, &description);
    EXPECT_EQ(TextOf(extension), TextOf(c.extension));
    EXPECT_EQ(TextOf(description), TextOf(c.description));
    EXPECT_EQ(listExtensions(c.index, nullptr), extension);
  }
}

}  // namespace
