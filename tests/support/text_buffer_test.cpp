// Tests of TextBuffer: what Set stores, when it keeps the storage, texts taken
// from its own storage, and an exhausted heap.
#include "support/text_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/fake_heap.h"

namespace {

using TextBufferTest = fake_heap::Fixture;

TEST_F(TextBufferTest, StoresTheTextCutToMaxLength) {
  struct SetCase {
    const char* previous;  // set first when not null
    const char* text;
    int maxLength;
    const char* expected;
  };
  const std::vector<SetCase> cases = {
      {nullptr, nullptr, 0, ""},
      {nullptr, "", 0, ""},
      {"abc", nullptr, 0, ""},
      {"abc", "", 0, ""},
      {nullptr, "abc", 0, "abc"},
      {nullptr, "abc", -1, "abc"},
      {nullptr, "abcdef", 3, "abc"},
      {nullptr, "abc", 10, "abc"},
      {"ab", "abcdefgh", 0, "abcdefgh"},
      {"abcdefgh", "xy", 0, "xy"},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(std::string("Set(") + (c.text ? c.text : "null") + ", " + std::to_string(c.maxLength) +
                 ") over " + (c.previous ? c.previous : "nothing"));
    TextBuffer buffer(128);
    if (c.previous != nullptr) buffer.Set(c.previous, 0);

    buffer.Set(c.text, c.maxLength);

    EXPECT_STREQ(buffer.Get(), c.expected);
    EXPECT_EQ(buffer.GetSize(), static_cast<int>(std::strlen(c.expected)) + 1);
  }
}

TEST_F(TextBufferTest, ReadsAsTheSharedEmptyTextWithoutOne) {
  TextBuffer neverSet(128);
  const char* empty = neverSet.Get();
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  EXPECT_EQ(neverSet.GetSize(), 0);

  TextBuffer emptied(128);
  emptied.Set("abc", 0);
  emptied.Resize(0, false);
  EXPECT_EQ(emptied.Get(), empty);
}

TEST_F(TextBufferTest, ReadsNoFurtherThanMaxLength) {
  const char unterminated[3] = {'a', 'b', 'c'};
  TextBuffer buffer(128);
  buffer.Set(unterminated, 3);
  EXPECT_STREQ(buffer.Get(), "abc");
  EXPECT_EQ(buffer.GetSize(), 4);
}

TEST_F(TextBufferTest, KeepsTheStorageForAShorterText) {
  TextBuffer buffer(128);
  buffer.Set("abcdefgh", 0);
  const char* before = buffer.Get();
  const int allocated = buffer.GetAllocatedSize();
  fake_heap::calls = fake_heap::Calls();

  buffer.Set("xy", 0);

  EXPECT_EQ(buffer.Get(), before);
  EXPECT_EQ(buffer.GetAllocatedSize(), allocated);
  EXPECT_EQ(buffer.GetSize(), 3);
  EXPECT_EQ(fake_heap::calls.reallocs + fake_heap::calls.allocates + fake_heap::calls.frees, 0);
}

TEST_F(TextBufferTest, TakesAPartOfItsOwnText) {
  TextBuffer buffer(128);
  buffer.Set("abcdef", 0);
  const char* before = buffer.Get();

  buffer.Set(buffer.Get() + 2, 0);
  EXPECT_STREQ(buffer.Get(), "cdef");
  EXPECT_EQ(buffer.GetSize(), 5);

  buffer.Set(buffer.Get() + 1, 2);
  EXPECT_STREQ(buffer.Get(), "de");
  EXPECT_EQ(buffer.GetSize(), 3);
  EXPECT_EQ(buffer.Get(), before);
}

// A text inside the storage outgrows it only when it is cut from a used
// region without a terminator; storing it moves the storage, and the text
// must be read from the new place.
TEST_F(TextBufferTest, FollowsItsOwnTextWhenTheStorageMoves) {
  for (const bool reallocRefused : {false, true}) {
    SCOPED_TRACE(reallocRefused ? "fresh block" : "reallocated block");
    TextBuffer buffer(128);
    buffer.Resize(10, false);
    const int allocated = buffer.GetAllocatedSize();
    char* storage = buffer.Resize(allocated, false);
    std::memset(storage, 'x', static_cast<size_t>(allocated));
    fake_heap::switches.failRealloc = reallocRefused;

    buffer.Set(buffer.Get(), allocated);

    fake_heap::Reset();
    EXPECT_NE(buffer.Get(), storage);
    EXPECT_EQ(buffer.Get(), std::string(static_cast<size_t>(allocated), 'x'));
    EXPECT_EQ(buffer.GetSize(), allocated + 1);
  }
}

TEST_F(TextBufferTest, KeepsTheOldTextWhenTheHeapIsExhausted) {
  const std::string longText(200, 'y');
  struct FailureCase {
    const char* previous;  // set first when not null
    const char* text;
    const char* expected;
    int used;
  };
  const std::vector<FailureCase> cases = {
      {"abc", longText.c_str(), "abc", 4},
      {nullptr, "abc", "", 0},
      {nullptr, nullptr, "", 0},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(std::string(c.text ? c.text : "null") + " over " + (c.previous ? c.previous : "nothing"));
    TextBuffer buffer(128);
    if (c.previous != nullptr) buffer.Set(c.previous, 0);
    fake_heap::switches.failRealloc = true;
    fake_heap::switches.failAllocate = true;

    buffer.Set(c.text, 0);

    fake_heap::Reset();
    EXPECT_STREQ(buffer.Get(), c.expected);
    EXPECT_EQ(buffer.GetSize(), c.used);
  }
}

}  // namespace
