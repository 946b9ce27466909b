// pexo-host info: the decoder's properties text, and one-line errors.
#include <gtest/gtest.h>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using InfoTest = HostTest;

TEST_F(InfoTest, PrintsThePropertiesOfEachFile) {
  WriteFile(folder / "stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, Tones(110250, 2, 44100));
  // An hour and more at a very low rate, to see the hours.
  WriteFile(folder / "long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8, Tones(8 * 3725, 1, 8));
  RunResult result = Host({"info", folder / "stereo.wav", folder / "long.wav"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string& out = result.out;
  EXPECT_EQ(out.find("\r"), std::string::npos) << "line ends are the shell's";
  size_t second = out.find(folder / "long.wav");
  ASSERT_NE(second, std::string::npos) << out;
  std::string first = out.substr(0, second);
  EXPECT_NE(first.find(folder / "stereo.wav" + ": libsndfile supported File Properties"), std::string::npos) << out;
  for (const char* line : {"  Length: 0:02.500 (110250 frames)\n", "  Samplerate: 44100\n", "  Channels: 2\n", "  Bits/sample: 16\n",
                           "  Format: WAV (Microsoft)\n", "  Encoding: Signed 16 bit PCM\n", "  libsndfile version: "}) {
    EXPECT_NE(first.find(line), std::string::npos) << line << " in\n" << first;
  }
  EXPECT_NE(out.find("  Length: 1:02:05.000 (29800 frames)\n", second), std::string::npos) << out;
  EXPECT_NE(out.find("  Bits/sample: 8\n", second), std::string::npos) << out;
}

// A time alone rounds short files to nothing; the frame count tells them apart.
TEST_F(InfoTest, LengthLineCarriesTheFrameCount) {
  WriteFile(folder / "one.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, Tones(1, 1, 44100));
  WriteFile(folder / "none.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, {});
  RunResult result = Host({"info", folder / "one.wav", folder / "none.wav"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("  Length: 0:00.000 (1 frame)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  Length: 0:00.000 (0 frames, or unknown)\n"), std::string::npos) << result.out;
}

TEST_F(InfoTest, ShortNamesAreReadToo) {
  // The plug-in takes no name under five characters; the host spells it out.
  WriteFile(folder / "x.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  RunOptions options;
  options.workingDirectory = folder.Path();
  RunResult result = Host({"info", "x.au"}, options);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("x.au: libsndfile supported File Properties"), std::string::npos) << result.out;
}

TEST_F(InfoTest, UnreadableFilesGetOneLineEachAndStatusOne) {
  WriteFile(folder / "good.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(800, 1, 8000));
  PutFile(folder / "notes.txt", "these are not samples\n");
  struct Case {
    std::string path, reason;
  };
  const Case cases[] = {{folder / "missing.wav", "cannot open: No such file or directory"},
                        {folder / "notes.txt", "not an audio file libsndfile can read"},
                        {folder.Path(), "cannot open: it is a folder"}};
  std::vector<std::string> arguments = {"info"};
  for (const Case& item : cases) arguments.push_back(item.path);
  arguments.push_back(folder / "good.wav");
  RunResult result = Host(arguments);
  EXPECT_EQ(result.exitCode, 1);
  for (const Case& item : cases) {
    EXPECT_NE(result.err.find("pexo-host: " + item.path + ": " + item.reason + "\n"), std::string::npos) << result.err;
  }
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 3) << result.err;
  EXPECT_NE(result.out.find("good.wav: libsndfile supported File Properties"), std::string::npos)
      << "the good file is still described";
}

}  // namespace
}  // namespace host_test
