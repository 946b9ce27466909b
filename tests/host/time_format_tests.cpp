// format_timestr as pexo-host renders it: h:mm:ss.mmm, m:ss.mmm under an
// hour, always within the buffer it is given.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/time_format.h"

namespace {

TEST(FormatTime, RendersMinutesOrHours) {
  struct Case {
    double seconds;
    const char* text;
  };
  const Case cases[] = {{0.0, "0:00.000"},         {2.5, "0:02.500"},          {59.9996, "1:00.000"},
                        {61.0005, "1:01.001"},     {3599.9994, "59:59.999"},   {3600.0, "1:00:00.000"},
                        {3725.25, "1:02:05.250"},  {360000.0, "100:00:00.000"}, {-1.5, "-0:01.500"},
                        {std::nan(""), "-:--.---"}, {std::numeric_limits<double>::infinity(), "-:--.---"}};
  for (const Case& item : cases) {
    char buffer[128];
    FormatTime(item.seconds, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, item.text) << item.seconds;
  }
}

TEST(FormatTime, StaysWithinTheBuffer) {
  char buffer[16];
  for (int size : {0, 1, 5, 8, 9}) {
    std::memset(buffer, '#', sizeof buffer);
    FormatTime(3725.25, buffer, size);
    for (int i = size; i < static_cast<int>(sizeof buffer); ++i) EXPECT_EQ(buffer[i], '#') << size << " at " << i;
    if (size > 0) {
      EXPECT_EQ(buffer[std::min<int>(size - 1, static_cast<int>(std::strlen("1:02:05.250")))], '\0') << size;
      EXPECT_EQ(std::string(buffer), std::string("1:02:05.250").substr(0, static_cast<size_t>(size - 1)));
    }
  }
  FormatTime(1.0, nullptr, 10);  // no buffer: nothing happens
}

}  // namespace
