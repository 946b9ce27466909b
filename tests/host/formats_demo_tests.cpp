// pexo-host formats lists what the panel offers; pexo-host demo writes and
// reads back its test signal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using FormatsTest = HostTest;
using DemoTest = HostTest;

TEST_F(FormatsTest, ListsEveryMajorFormatOfLibsndfile) {
  RunResult result = Host({"formats"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("FORMAT", 0), 0u) << line;
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
    EXPECT_NE(result.out.find(std::string("  ") + info.name + "  "), std::string::npos) << info.name;
  }
  // A row of each kind, as the panel fills its lists.
  EXPECT_NE(result.out.find("Signed 24 bit PCM"), std::string::npos);
  EXPECT_NE(result.out.find("default little big"), std::string::npos);
  EXPECT_NE(result.out.find("Vorbis"), std::string::npos);
}

TEST_F(DemoTest, WritesAndReadsBackEachFormat) {
  ASSERT_EQ(mkdir((folder / "demo").c_str(), 0755), 0);
  RunResult result = Host({"demo", "-d", folder / "demo"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  struct Row {
    std::string file, format, encoding;
    double largestError;
  };
  const Row rows[] = {{"demo-wav24.wav", "WAV", "Signed 24 bit PCM", 1e-6},
                      {"demo-flac16.flac", "FLAC", "Signed 16 bit PCM", 1e-4},
                      {"demo-vorbis.oga", "OGG", "Vorbis", 0.2},
                      {"demo-opus.oga", "OGG", "Opus", 0.2},
                      {"demo-caf-float.caf", "CAF", "32 bit float", 1e-7}};
  for (const Row& row : rows) {
    size_t at = result.out.find(row.file);
    ASSERT_NE(at, std::string::npos) << row.file << " in\n" << result.out;
    std::string line = result.out.substr(result.out.rfind('\n', at) + 1);
    line = line.substr(0, line.find('\n'));
    EXPECT_EQ(line.rfind(row.format, 0), 0u) << line;
    EXPECT_NE(line.find(row.encoding), std::string::npos) << line;
    EXPECT_NE(line.find("0:02.000"), std::string::npos) << line;
    std::istringstream error(line.substr(line.rfind("0:02.000") + 8));
    double largest = -1;
    error >> largest;
    EXPECT_GE(largest, 0.0) << line;
    EXPECT_LT(largest, row.largestError) << line;
    Audio written;
    ASSERT_TRUE(ReadFile(folder / ("demo/" + row.file), &written)) << row.file;
    EXPECT_EQ(written.Frames(), 96000) << row.file;
  }
  // Again into the same folder: the files are there and kept, unless forced.
  RunResult again = Host({"demo", "-d", folder / "demo"});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("exists"), std::string::npos) << again.err;
  EXPECT_NE(again.out.find("5 of the 5 files were in " + (folder / "demo") + " already and were kept"),
            std::string::npos)
      << "the empty table is explained: " << again.out;
  EXPECT_NE(again.out.find("-f replaces them"), std::string::npos) << again.out;
  EXPECT_EQ(Host({"demo", "-d", folder / "demo", "-f"}).exitCode, 0);
}

}  // namespace
}  // namespace host_test
