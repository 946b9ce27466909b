// pexo-host defaults: the stored defaults in the host's ini file, in the
// struct form the panel reads, and their effect on the panel and convert.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "tests/common/stored_defaults.h"
#include "tests/host/audio_files.h"

namespace host_test {
namespace {

using DefaultsTest = HostTest;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The struct form of a 32-byte block.
std::string StructForm(int32_t formatWord, float quality) {
  return test_ini::StructForm(test_ini::ConfigBlock(formatWord, quality));
}

TEST_F(DefaultsTest, StoresTheStructFormAndKeepsTheRestOfTheFile) {
  const std::string ini = folder / "host.ini";
  const std::string before =
      "; my settings\r\n[other]\r\nkey=value\r\n\r\n[libsndfile sink defaults]\r\ndefault_size=12\r\nkeep=me\r\n"
      "\r\n[last]\r\nx=1";
  PutFile(ini, before);
  RunResult result = Host({"defaults", "--ini", ini, "--format", "flac", "--encoding", "Signed 24 bit PCM",
                           "--quality", "0.8"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string expected =
      "; my settings\r\n[other]\r\nkey=value\r\n\r\n[libsndfile sink defaults]\r\ndefault_size=32\r\nkeep=me\r\n"
      "default=" + StructForm(SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.8f) + "\r\n\r\n[last]\r\nx=1";
  EXPECT_EQ(FileBytes(ini), expected);

  RunResult shown = Host({"defaults", "--show", "--ini", ini});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  for (const char* line : {"default_size=32, format word 0x00170003, quality 0.80\n",
                           "  format:     FLAC (Free Lossless Audio Codec)\n", "  encoding:   Signed 24 bit PCM\n",
                           "  byte order: default\n", "  quality:    0.80\n"}) {
    EXPECT_TRUE(Contains(shown.out, line)) << line << " in\n" << shown.out;
  }
}

// The ini is rewritten through a temporary beside it; a stop signal during
// the rewrite must not leave that temporary behind, nor a half-written ini.
TEST_F(DefaultsTest, AStopDuringTheIniRewriteLeavesNoTemporary) {
  const std::string ini = folder / "host.ini";
  std::string before = "[other]\n";
  for (int i = 0; i < 1500000; ++i) before += "key" + std::to_string(i) + "=a value long enough to take a while\n";
  PutFile(ini, before);
  Running running = StartHost({"defaults", "--ini", ini, "--format", "flac"});
  bool sent = false;
  for (int wait = 0; wait < 20000 && !sent; ++wait) {
    for (const std::string& name : FolderNames(folder.Path())) {
      if (name.rfind("host.ini.", 0) == 0 && !sent) {
        kill(running.pid, SIGTERM);
        sent = true;
      }
    }
    if (!sent) usleep(500);
  }
  RunResult result = Finish(running);
  ASSERT_TRUE(sent) << "the rewrite was never seen: " << result.err;
  EXPECT_EQ(FolderNames(folder.Path()), std::vector<std::string>{"host.ini"});
  const std::string after = FileBytes(ini);
  EXPECT_TRUE(after == before || after.find("default_size=32") != std::string::npos) << "a half-written ini";
}

TEST_F(DefaultsTest, ConvertStartsFromTheStoredDefaults) {
  WriteFile(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050, Tones(2205, 1, 22050));
  ASSERT_EQ(mkdir((folder / "out").c_str(), 0755), 0);
  // Nothing stored: the built-in default, AIFF 16-bit.
  RunResult shown = Host({"defaults", "--show"});
  EXPECT_TRUE(Contains(shown.out, "no stored defaults")) << shown.out;
  EXPECT_TRUE(Contains(shown.out, "  format:     AIFF (Apple/SGI)\n  encoding:   Signed 16 bit PCM\n")) << shown.out;
  EXPECT_TRUE(Contains(shown.out, "  quality:    0.50\n")) << shown.out;
  // With nothing stored, -d keeps the input's container.
  RunResult plain = Host({"convert", folder / "in.wav", "-d", folder / "out"});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  Audio written;
  ASSERT_TRUE(ReadFile(folder / "out/in.wav", &written));
  EXPECT_EQ(written.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);

  // Stored in the ini file under XDG_CONFIG_HOME, picked up without options.
  RunResult stored = Host({"defaults", "--format", "caf", "--encoding", "32 bit float"});
  ASSERT_EQ(stored.exitCode, 0) << stored.err;
  EXPECT_TRUE(Exists(IniPath())) << IniPath();
  RunResult converted = Host({"convert", folder / "in.wav", "-d", folder / "out"});
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  ASSERT_TRUE(ReadFile(folder / "out/in.caf", &written));
  EXPECT_EQ(written.format, SF_FORMAT_CAF | SF_FORMAT_PCM_16) << "the stored format, the input's 16-bit samples";

  // Without XDG_CONFIG_HOME the file is under ~/.config.
  RunOptions home;
  home.environment = {"XDG_CONFIG_HOME=", "HOME=" + (folder / "home")};
  RunResult homeStored = Host({"defaults", "--format", "w64"}, home);
  ASSERT_EQ(homeStored.exitCode, 0) << homeStored.err;
  EXPECT_TRUE(Exists(folder / "home/.config/pexo-host/host.ini"));
}

TEST_F(DefaultsTest, CorruptStoredDefaultsFallBackToTheBuiltInDefault) {
  const std::string ini = folder / "host.ini";
  std::string value = StructForm(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.25f);
  value.back() = value.back() == '0' ? '1' : '0';  // a wrong checksum
  PutFile(ini, test_ini::DefaultsSection("32", value));
  RunResult shown = Host({"defaults", "--show", "--ini", ini});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_TRUE(Contains(shown.out, "does not read back")) << shown.out;
  EXPECT_TRUE(Contains(shown.out, "  format:     AIFF (Apple/SGI)\n")) << shown.out;
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

// libsndfile turns the quality into a compression level of 1 - quality, so
// what the number means differs per encoding; both outputs say it.
TEST_F(DefaultsTest, SaysWhatTheQualityMeansForTheEncoding) {
  struct Case {
    std::vector<std::string> choice;
    std::string meaning;
  };
  const Case cases[] = {
      {{"--format", "flac"}, "FLAC compression, backwards: 1.0 is the fastest and largest file, 0.0 the smallest"},
      {{"--format", "ogg", "--encoding", "Vorbis"}, "Vorbis sound quality: 1.0 is the best"},
      {{"--format", "ogg", "--encoding", "Opus"}, "Opus bit rate: 1.0 is the highest"},
      {{"--format", "wav", "--encoding", "Signed 16 bit PCM"}, "not used by this encoding"},
  };
  for (const Case& item : cases) {
    std::vector<std::string> arguments = {"defaults"};
    arguments.insert(arguments.end(), item.choice.begin(), item.choice.end());
    RunResult stored = Host(arguments);
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_NE(stored.out.find("  (quality:   " + item.meaning), std::string::npos) << stored.out;
    RunResult shown = Host({"defaults", "--show"});
    EXPECT_NE(shown.out.find("  (quality:   " + item.meaning), std::string::npos) << shown.out;
  }
  for (const char* command : {"convert", "defaults"}) {
    RunResult help = Host({command, "--help"});
    EXPECT_NE(help.out.find("backwards"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("1.0 is the fastest"), std::string::npos) << help.out;
  }
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

// The ini file reached through a link is rewritten where the link points:
// the link stays a link, and the file keeps its owner and mode.
TEST_F(DefaultsTest, ALinkedIniIsWrittenThroughAndKeepsOwnerAndMode) {
  const std::string real = folder / "real.ini", link = folder / "link.ini";
  PutFile(real, "[other]\nkey=value\n");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(real.c_str(), 1234, 5678), 0);
  }
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  RunResult result = Host({"defaults", "--ini", link, "--format", "flac"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  struct stat status;
  ASSERT_EQ(lstat(link.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link stays a link";
  EXPECT_TRUE(Contains(FileBytes(real), "[libsndfile sink defaults]")) << FileBytes(real);
  EXPECT_TRUE(Contains(FileBytes(real), "key=value"));
  ASSERT_EQ(stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
  }
  EXPECT_EQ(FolderNames(folder.Path()), (std::vector<std::string>{"link.ini", "real.ini"})) << "no temporary left";
}

}  // namespace
}  // namespace host_test
