// Usage errors exit with 2 and say what is wrong; --help works everywhere.
#include <gtest/gtest.h>

#include "tests/host/audio_files.h"

namespace host_test {
namespace {

struct UsageCase {
  std::vector<std::string> arguments;
  std::string message;  // part of standard error
};

// The case's command line, for test names.
void PrintTo(const UsageCase& item, std::ostream* out) {
  *out << "pexo-host";
  for (const std::string& word : item.arguments) *out << " " << word;
}

class UsageErrors : public HostTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithReason) {
  std::vector<std::string> arguments = GetParam().arguments;
  // An input that exists, so that only the usage is wrong.
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, Tones(100, 1, 8000));
  for (std::string& word : arguments) {
    if (word == "IN") word = folder / "in.wav";
    if (word == "DIR") word = folder.Path();
  }
  RunResult result = Host(arguments);
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_EQ(FolderNames(folder.Path()), std::vector<std::string>{"in.wav"}) << "nothing may be written";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageErrors,
    ::testing::Values(UsageCase{{}, "no command"}, UsageCase{{"transmogrify"}, "unknown command"},
                      UsageCase{{"--bogus", "info"}, "unknown option"},
                      UsageCase{{"info"}, "no file"}, UsageCase{{"info", "--frobnicate", "IN"}, "unknown option"},
                      UsageCase{{"convert", "IN"}, "either -o OUT or -d DIR"},
                      UsageCase{{"convert", "IN", "-o", "x.wav", "-d", "DIR"}, "either -o OUT or -d DIR"},
                      UsageCase{{"convert", "-d", "DIR"}, "no input"},
                      UsageCase{{"convert", "IN", "IN", "-o", "x.wav"}, "-o takes one input"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "-j", "0"}, "-j takes a count"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "-j", "two"}, "-j takes a count"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--quality", "1.5"}, "--quality takes"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--quality", "0.5x"}, "--quality takes"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--byte-order", "middle"}, "--byte-order takes"},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--format", "xyz"}, "the formats are: "},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--format", "flac", "--encoding", "Vorbis"},
                                "the encodings are: "},
                      UsageCase{{"convert", "IN", "-d", "DIR", "--format", "flac", "--byte-order", "big"},
                                "the byte orders are: default"},
                      UsageCase{{"convert", "IN", "IN", "-d", "DIR", "--peaks", "p.txt"}, "--peaks takes one input"},
                      UsageCase{{"convert", "IN", "-d"}, "needs a value"},
                      UsageCase{{"convert", "IN", "-o", "-"}, "-o - (standard output) is not offered"},
                      UsageCase{{"formats", "extra"}, "unexpected argument"},
                      UsageCase{{"defaults"}, "nothing to set"},
                      UsageCase{{"defaults", "--show", "--quality", "0.5"}, "--show takes no other"},
                      UsageCase{{"defaults", "--format", "nope"}, "the formats are: "},
                      UsageCase{{"demo", "extra"}, "unexpected argument"}));

TEST_F(HostTest, EveryCommandHasHelp) {
  for (const char* command : {"info", "convert", "formats", "defaults", "demo"}) {
    RunResult result = Host({command, "--help"});
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_EQ(result.out.rfind(std::string("Usage: pexo-host ") + command, 0), 0u) << result.out;
  }
  RunResult top = Host({"--help"});
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_NE(top.out.find("Commands:"), std::string::npos);
}

TEST_F(HostTest, MissingPluginIsAClearError) {
  RunResult result = Host({"--plugin", folder / "none.so", "info", "x.wav"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("cannot load plug-in"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace host_test
