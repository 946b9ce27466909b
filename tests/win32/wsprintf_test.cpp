// wsprintfA for the formats in use, and its 1024-byte limit.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

TEST(Wsprintf, FormatsTexts) {
  char buffer[1024];
  EXPECT_EQ(wsprintfA(buffer, ".%s  ( %s )", "ext", "A Name (x)"), 20);
  EXPECT_STREQ(buffer, ".ext  ( A Name (x) )");
  EXPECT_EQ(wsprintfA(buffer, ".%s  ( %s )", "", ""), 7);
  EXPECT_STREQ(buffer, ".  (  )");
}

TEST(Wsprintf, StopsAt1023CharactersAndATerminator) {
  std::string buffer(1100, '#');
  std::string longName(2000, 'n');
  EXPECT_EQ(wsprintfA(&buffer[0], "%s", longName.c_str()), 1023);
  EXPECT_EQ(buffer.find('\0'), 1023u);
  EXPECT_EQ(buffer[1024], '#') << "nothing past the limit";
}

}  // namespace
