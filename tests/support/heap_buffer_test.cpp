// Tests of HeapBuffer: the growth and shrinking policy, an exhausted heap, and
// requests beyond the range of its sizes.
#include "support/heap_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "tests/support/fake_heap.h"

namespace {

struct Call {
  int size;
  bool mayShrink;
};

// What a call does to the storage. The test heap moves every block it
// reallocates, so a reallocation always shows as a new address.
enum class Storage { kNew, kKept, kReallocated, kFreed };

struct ResizeCase {
  int granularity;
  std::vector<Call> setup;  // calls that bring a new buffer to the starting state
  int startAllocated, startUsed;
  Call call;
  int allocated, used;
  Storage storage;
};

std::string Describe(int granularity, int allocated, int used, Call call) {
  return "granularity " + std::to_string(granularity) + ", " + std::to_string(allocated) + " / " +
         std::to_string(used) + ", Resize(" + std::to_string(call.size) + ", " +
         (call.mayShrink ? "true" : "false") + ")";
}

// Fills bytes with a pattern that tells positions apart.
void Fill(char* bytes, int count) {
  for (int i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i % 23);
}

bool Holds(const char* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    if (bytes[i] != static_cast<char>('a' + i % 23)) return false;
  }
  return true;
}

class HeapBufferTest : public fake_heap::Fixture {
 protected:
  static void Check(const ResizeCase& c) {
    SCOPED_TRACE(Describe(c.granularity, c.startAllocated, c.startUsed, c.call));
    HeapBuffer buffer(c.granularity);
    for (const Call& step : c.setup) buffer.Resize(step.size, step.mayShrink);
    ASSERT_EQ(buffer.GetAllocatedSize(), c.startAllocated);
    ASSERT_EQ(buffer.GetSize(), c.startUsed);
    char* before = buffer.Get();
    Fill(before, c.startUsed);
    fake_heap::calls = fake_heap::Calls();

    char* result = buffer.Resize(c.call.size, c.call.mayShrink);

    EXPECT_EQ(buffer.GetAllocatedSize(), c.allocated);
    EXPECT_EQ(buffer.GetSize(), c.used);
    EXPECT_EQ(result, buffer.Get());
    EXPECT_EQ(result != nullptr, c.used != 0);
    const fake_heap::Calls& calls = fake_heap::calls;
    const int kept = std::min(c.startUsed, c.used);
    switch (c.storage) {
      case Storage::kNew:
        EXPECT_EQ(before, nullptr);
        EXPECT_EQ(calls.reallocs, 1);
        EXPECT_EQ(calls.lastReallocSize, static_cast<size_t>(c.allocated));
        EXPECT_EQ(calls.allocates + calls.frees, 0);
        break;
      case Storage::kKept: {
        EXPECT_EQ(calls.reallocs + calls.allocates + calls.frees, 0);
        // Makes the storage visible again when the call left the size at 0.
        char* storage = buffer.Resize(std::max(c.used, 1), false);
        EXPECT_EQ(storage, before);
        EXPECT_TRUE(Holds(storage, std::min(c.startUsed, std::max(c.used, 1))));
        break;
      }
      case Storage::kReallocated:
        EXPECT_NE(result, before);
        EXPECT_EQ(calls.reallocs, 1);
        EXPECT_EQ(calls.lastReallocSize, static_cast<size_t>(c.allocated));
        EXPECT_EQ(calls.allocates, 0);
        EXPECT_TRUE(Holds(result, kept));
        break;
      case Storage::kFreed:
        EXPECT_EQ(calls.frees, 1);
        EXPECT_EQ(calls.reallocs + calls.allocates, 0);
        break;
    }
  }
};

TEST_F(HeapBufferTest, SizesTheStorageByGranularity) {
  using S = Storage;
  const std::vector<ResizeCase> cases = {
      {128, {}, 0, 0, {1, false}, 129, 1, S::kNew},
      {128, {{1, false}}, 129, 1, {20, false}, 129, 20, S::kKept},
      {128, {{1, false}, {20, false}}, 129, 20, {130, false}, 258, 130, S::kReallocated},
      {128, {{130, false}}, 258, 130, {300, false}, 450, 300, S::kReallocated},
      {128, {{300, false}}, 450, 300, {600, false}, 900, 600, S::kReallocated},
      {128, {{600, false}}, 900, 600, {100, false}, 900, 100, S::kKept},
      {128, {{600, false}}, 900, 600, {500, true}, 900, 500, S::kKept},
      {128, {{600, false}}, 900, 600, {300, true}, 450, 300, S::kReallocated},
      {128, {{600, false}}, 900, 600, {100, true}, 228, 100, S::kReallocated},
      {128, {{400, false}, {500, false}}, 600, 500, {100, true}, 600, 100, S::kKept},
      {128, {{400, false}, {500, false}}, 600, 500, {50, true}, 178, 50, S::kReallocated},
      {128, {{100, false}}, 228, 100, {0, true}, 0, 0, S::kFreed},
      {4096, {}, 0, 0, {32, true}, 4000, 32, S::kNew},
      {4096, {{32, true}}, 4000, 32, {4000, true}, 4000, 4000, S::kKept},
      {4096, {{32, true}, {4000, true}}, 4000, 4000, {4001, true}, 8096, 4001, S::kReallocated},
      {4096, {{4001, true}}, 8096, 4001, {10000, true}, 12192, 10000, S::kReallocated},
      {4096, {{10000, true}}, 12192, 10000, {32, true}, 12192, 32, S::kKept},
      {4096, {}, 0, 0, {20000000, true}, 24190880, 20000000, S::kNew},
  };
  for (const ResizeCase& c : cases) Check(c);
}

TEST_F(HeapBufferTest, TreatsNegativeZeroAndUnchangedSizes) {
  using S = Storage;
  const std::vector<ResizeCase> cases = {
      // A negative size is size 0.
      {128, {{600, false}}, 900, 600, {-5, false}, 900, 0, S::kKept},
      {128, {{100, false}}, 228, 100, {-1, true}, 0, 0, S::kFreed},
      // Resize(0, false) keeps the storage.
      {128, {{600, false}}, 900, 600, {0, false}, 900, 0, S::kKept},
      // The current used size changes nothing, far below the shrinking bound too.
      {128, {{600, false}}, 900, 600, {600, true}, 900, 600, S::kKept},
      {128, {{600, false}, {100, false}}, 900, 100, {100, true}, 900, 100, S::kKept},
      // A buffer of at most four granules gives its storage back only at 0.
      {4096, {{32, true}}, 4000, 32, {1, true}, 4000, 1, S::kKept},
      {4096, {{32, true}}, 4000, 32, {0, true}, 0, 0, S::kFreed},
  };
  for (const ResizeCase& c : cases) Check(c);
}

struct FailureCase {
  int granularity;
  std::vector<Call> setup;
  Call call;
  bool allocateWorks;  // reallocation is always refused
  int allocated, used;
};

TEST_F(HeapBufferTest, FallsBackToAFreshBlockOrStaysUnchanged) {
  const std::vector<FailureCase> cases = {
      // A fresh block takes min(used size, new size) bytes of the old one.
      {128, {}, {1, false}, true, 129, 1},
      {128, {{10, false}}, {200, false}, true, 328, 200},
      {128, {{600, false}}, {300, true}, true, 450, 300},
      {4096, {{32, true}}, {4001, true}, true, 8096, 4001},
      // With no fresh block either, nothing changes.
      {128, {}, {1, false}, false, 0, 0},
      {128, {{10, false}}, {200, false}, false, 138, 10},
      {128, {{600, false}}, {300, true}, false, 900, 600},
      {4096, {{32, true}}, {4001, true}, false, 4000, 32},
  };
  for (const FailureCase& c : cases) {
    HeapBuffer buffer(c.granularity);
    for (const Call& step : c.setup) buffer.Resize(step.size, step.mayShrink);
    const int startAllocated = buffer.GetAllocatedSize();
    const int startUsed = buffer.GetSize();
    SCOPED_TRACE(Describe(c.granularity, startAllocated, startUsed, c.call) +
                 (c.allocateWorks ? ", realloc refused" : ", realloc and malloc refused"));
    char* before = buffer.Get();
    Fill(before, startUsed);
    fake_heap::calls = fake_heap::Calls();
    fake_heap::switches.failRealloc = true;
    fake_heap::switches.failAllocate = !c.allocateWorks;

    char* result = buffer.Resize(c.call.size, c.call.mayShrink);

    const fake_heap::Calls calls = fake_heap::calls;
    fake_heap::Reset();
    EXPECT_EQ(buffer.GetAllocatedSize(), c.allocated);
    EXPECT_EQ(buffer.GetSize(), c.used);
    EXPECT_EQ(result, buffer.Get());
    if (c.allocateWorks) {
      EXPECT_NE(result, nullptr);
      EXPECT_NE(result, before);
      EXPECT_EQ(calls.allocates, 1);
      EXPECT_EQ(calls.lastAllocateSize, static_cast<size_t>(c.allocated));
      EXPECT_EQ(calls.frees, before != nullptr ? 1 : 0);
      EXPECT_TRUE(Holds(result, std::min(startUsed, c.used)));
    } else {
      EXPECT_EQ(result, before);
      EXPECT_EQ(calls.frees, 0);
      EXPECT_TRUE(Holds(result, startUsed));
    }
  }
}

TEST_F(HeapBufferTest, FailsRequestsBeyondItsRangeWithoutWrapping) {
  struct HugeCase {
    int granularity;
    int size;
    size_t askedFor;  // 0: the heap must not be asked at all
  };
  const std::vector<HugeCase> cases = {
      {128, INT_MAX, 0},
      {128, INT_MAX - 100, 0},
      {128, 0x7FFFF000, 0},
      {128, 1431655766, 0},  // the smallest size whose allocation exceeds INT_MAX
      {128, 1431655765, static_cast<size_t>(INT_MAX)},
      {4096, INT_MAX, 0},
      {4096, INT_MAX - 100, 0},
      {4096, 0x7FFFF000, 0},
      {4096, 2143289248, 0},  // the smallest size whose page rounding exceeds INT_MAX
      {4096, 2143289247, 2147479456},
  };
  for (const HugeCase& c : cases) {
    for (const int startUsed : {0, 10}) {
      HeapBuffer buffer(c.granularity);
      buffer.Resize(startUsed, false);
      const int startAllocated = buffer.GetAllocatedSize();
      SCOPED_TRACE(Describe(c.granularity, startAllocated, startUsed, {c.size, false}));
      char* before = buffer.Get();
      Fill(before, startUsed);
      fake_heap::calls = fake_heap::Calls();  // the heap refuses blocks of this size

      char* result = buffer.Resize(c.size, false);

      EXPECT_EQ(result, before);
      EXPECT_EQ(buffer.GetAllocatedSize(), startAllocated);
      EXPECT_EQ(buffer.GetSize(), startUsed);
      EXPECT_TRUE(Holds(result, startUsed));
      const fake_heap::Calls& calls = fake_heap::calls;
      if (c.askedFor == 0) {
        EXPECT_EQ(calls.reallocs + calls.allocates + calls.frees, 0);
      } else {
        EXPECT_EQ(calls.reallocs, 1);
        EXPECT_EQ(calls.lastReallocSize, c.askedFor);
        EXPECT_EQ(calls.allocates, 1);
        EXPECT_EQ(calls.lastAllocateSize, c.askedFor);
        EXPECT_EQ(calls.frees, 0);
      }
    }
  }
}

}  // namespace
