// A file of hundreds of megabytes, with long lines and binary junk, is read
// as a stream: the value at its end is found and nothing is allocated.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <random>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "tests/common/allocation_counter.h"
#include "tests/ini/ini_test_files.h"

namespace {

// One megabyte of what a damaged file may hold: other sections and keys,
// a half-megabyte line, binary junk.
std::string JunkMegabyte() {
  std::string junk = "[Junk]\nkey=1\ndefault=00\n";
  junk += std::string(512 * 1024, 'j') + "\n";
  std::mt19937 random(5);
  while (junk.size() < (1u << 20) - 1) {
    char byte = static_cast<char>(random() & 0xFF);
    junk += byte == '[' ? ' ' : byte;  // no stray headers
  }
  return junk + "\n";
}

TEST_F(IniFiles, HundredsOfMegabytesAreStreamedWithoutAllocating) {
  constexpr int kMegabytes = 256;
  std::string path = folder + "/big.ini";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::signal(SIGPIPE, SIG_IGN);  // the reader closes before the writer is done

  const std::string junk = JunkMegabyte();
  const std::string wanted = "[Sec]\nsize=4\ndefault=010203040A\n";
  std::thread writer([&] {
    int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0) return;
    auto put = [fd](const std::string& text) {
      for (size_t done = 0; done < text.size();) {
        ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
      }
      return true;
    };
    bool going = true;
    for (int i = 0; i < kMegabytes && going; ++i) going = put(junk);
    if (going) going = put(wanted);
    while (going) going = put(junk);  // until the reader stops reading
    close(fd);
  });

  unsigned char data[4] = {};
  BOOL found;
  int64_t allocations;
  {
    test_alloc::AllocationCounter counter;
    found = GetPrivateProfileStructA("Sec", "default", data, sizeof data, path.c_str());
    allocations = counter.Count();
  }
  writer.join();
  EXPECT_TRUE(found);
  EXPECT_EQ(data[0], 1);
  EXPECT_EQ(data[3], 4);
  EXPECT_EQ(allocations, 0);
}

}  // namespace
