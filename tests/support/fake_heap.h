// A heap for tests in place of the C library's: it counts calls, records the
// sizes asked for, can refuse reallocation and fresh allocation, and makes
// every successful reallocation move the block.
#pragma once

#include <cstddef>

namespace fake_heap {

struct Calls {
  int reallocs = 0;
  int allocates = 0;
  int frees = 0;
  size_t lastReallocSize = 0;
  size_t lastAllocateSize = 0;
};

struct Switches {
  bool failRealloc = false;
  bool failAllocate = false;
  size_t limit = 256u << 20;  // larger requests are refused, as by an exhausted heap
};

extern Calls calls;
extern Switches switches;

// Clears the counters and the switches; live blocks are kept.
void Reset();
// Blocks handed out and not yet freed.
int LiveBlocks();
// Frees of blocks this heap did not hand out (or already took back).
int StrayFrees();

}  // namespace fake_heap

#include <gtest/gtest.h>

namespace fake_heap {

// Starts every test on a willing heap and checks at its end that every block
// handed out was given back exactly once.
class Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    liveAtStart = LiveBlocks();
  }
  void TearDown() override {
    EXPECT_EQ(LiveBlocks(), liveAtStart) << "storage leaked";
    EXPECT_EQ(StrayFrees(), 0) << "storage freed that the heap did not hand out";
  }

 private:
  int liveAtStart = 0;
};

}  // namespace fake_heap
