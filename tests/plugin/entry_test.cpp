// The plug-in's entry seen from a host: the built library is loaded by path
// and started with a recording host, as a host starts it.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/plugin_library.h"
#include "tests/common/test_host.h"

#if !defined(_WIN32)
extern char** environ;
#endif

namespace {

const std::vector<std::string> kHostFunctions = {
    "GetExePath",     "PCM_Source_CreateFromSimple", "format_timestr",
    "update_disk_counters", "ShowConsoleMsg", "get_ini_file",
    "GetPreferredDiskWriteMode", "PeakBuild_Create"};

const char kImportFailure[] = "Errors importing Sarnic API functions, aborting loading Dovrekin Pexo";

SarnicPluginEntryFn Entry() {
  static void* plugin = test_host::LoadPlugin(PEXO_PLUGIN_PATH);
  return test_host::PluginEntry(plugin);
}

int Start(PluginHostInfo* info) {
  test_host::Reset();
  return Entry()(reinterpret_cast<HINSTANCE>(1), info);
}

TEST(EntryFromHost, RegistersBothRecordsAfterImportingAllEightFunctions) {
  ASSERT_NE(Entry(), nullptr) << test_host::LoadError();
  PluginHostInfo info = test_host::HostInfo();
  EXPECT_EQ(Start(&info), 1);
  const auto& seen = test_host::Recorded();
  EXPECT_EQ(seen.namesAsked, kHostFunctions);
  ASSERT_EQ(seen.registrations.size(), 2u);
  EXPECT_EQ(seen.registrations[0].first, "pcmsrc");
  EXPECT_EQ(seen.registrations[1].first, "pcmsink");
  EXPECT_NE(seen.registrations[0].second, nullptr);
  EXPECT_NE(seen.registrations[1].second, nullptr);
  EXPECT_TRUE(seen.consoleMessages.empty());

  // A second start imports and registers again, into the same records.
  void* source = seen.registrations[0].second;
  EXPECT_EQ(Start(&info), 1);
  EXPECT_EQ(test_host::Recorded().namesAsked, kHostFunctions);
  ASSERT_EQ(test_host::Recorded().registrations.size(), 2u);
  EXPECT_EQ(test_host::Recorded().registrations[0].second, source);
}

TEST(EntryFromHost, RefusesARecordItCannotUseWithoutAskingForAnything) {
  ASSERT_NE(Entry(), nullptr);
  for (int version : {0x20D, 0x20F, 0, -1}) {
    PluginHostInfo info = test_host::HostInfo(version);
    EXPECT_EQ(Start(&info), 0) << version;
    EXPECT_TRUE(test_host::Recorded().namesAsked.empty()) << version;
  }
  EXPECT_EQ(Start(nullptr), 0);
  PluginHostInfo noLookup = test_host::HostInfo();
  noLookup.getApiFunction = nullptr;
  EXPECT_EQ(Start(&noLookup), 0);
  EXPECT_TRUE(test_host::Recorded().registrations.empty());
}

struct MissingCase {
  std::vector<std::string> missing;
  bool messageShown;
};

TEST(EntryFromHost, AsksForEveryNameAndShowsTheMessageOnceWhenAnyIsMissing) {
  ASSERT_NE(Entry(), nullptr);
  const MissingCase cases[] = {
      {{"GetExePath"}, true},
      {{"GetPreferredDiskWriteMode"}, true},  // never called, still required
      {{"PeakBuild_Create"}, true},
      {{"GetExePath", "format_timestr", "get_ini_file"}, true},
      {{"ShowConsoleMsg"}, false},
      {{"ShowConsoleMsg", "update_disk_counters"}, false},  // no call through null
      {kHostFunctions, false},
  };
  for (const auto& testCase : cases) {
    std::string label = testCase.missing.front() + " and " +
                        std::to_string(testCase.missing.size() - 1) + " more";
    test_host::Reset();
    test_host::SetMissingFunctions(testCase.missing);
    PluginHostInfo info = test_host::HostInfo();
    EXPECT_EQ(Entry()(reinterpret_cast<HINSTANCE>(1), &info), 0) << label;
    const auto& seen = test_host::Recorded();
    EXPECT_EQ(seen.namesAsked, kHostFunctions) << label;
    EXPECT_TRUE(seen.registrations.empty()) << label;
    EXPECT_EQ(seen.consoleMessages,
              testCase.messageShown ? std::vector<std::string>{kImportFailure}
                                    : std::vector<std::string>{})
        << label;
  }
}

#if defined(_WIN32)
// Runs the probe host that lies in the given folder, in a child process:
// Windows looks for libsndfile-1.dll in the program's folder first.
std::string Probe(const std::string& folder) {
  std::string command = "\"\"" + folder + "\\pexo_entry_probe.exe\" \"" PEXO_PLUGIN_PATH "\"\"";
  FILE* child = _popen(command.c_str(), "r");
  if (child == nullptr) return "spawn failed";
  std::string output;
  char chunk[512];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, child)) > 0) output.append(chunk, got);
  for (size_t at; (at = output.find("\r\n")) != std::string::npos;) output.erase(at, 1);
  if (_pclose(child) != 0) output += "probe failed\n";
  return output;
}
#else
// Runs the probe host in a child process whose library search starts in
// the given folder, and returns what it printed.
std::string Probe(const std::string& libraryPath) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "pipe failed";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<std::string> environment = {"LD_LIBRARY_PATH=" + libraryPath};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::string(*variable).rfind("LD_LIBRARY_PATH=", 0) != 0) environment.push_back(*variable);
  }
  std::vector<char*> envp;
  for (auto& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  char probe[] = PEXO_PROBE_PATH;
  char plugin[] = PEXO_PLUGIN_PATH;
  char* argv[] = {probe, plugin, nullptr};
  pid_t child;
  int spawned = posix_spawn(&child, probe, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  char chunk[512];
  ssize_t got;
  while ((got = read(pipeEnds[0], chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<size_t>(got));
  close(pipeEnds[0]);
  if (spawned != 0) return "spawn failed";
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) output += "probe failed\n";
  return output;
}
#endif

TEST(EntryFromHost, LoadsButRegistersNothingWithoutAUsableLibsndfile) {
  const char kRefusedTwice[] = "result 0\nasked 8\nresult 0\nasked 8\n";
  // A libsndfile that lacks sf_write_float, which no caller uses.
  EXPECT_EQ(Probe(PEXO_STUB_INCOMPLETE_DIR), kRefusedTwice);
  // A libsndfile that cannot be loaded at all: tried again, silently.
  EXPECT_EQ(Probe(PEXO_STUB_UNLOADABLE_DIR), kRefusedTwice);
  // The real library, for contrast.
  EXPECT_EQ(Probe(PEXO_REAL_SNDFILE_DIR),
            "result 1\nasked 8\nregistered pcmsrc\nregistered pcmsink\n"
            "result 1\nasked 8\nregistered pcmsrc\nregistered pcmsink\n");
}

// Only a Linux build folder can name a libsndfile prefix.
#if defined(PEXO_SNDFILE_PREFIX)
// The libsndfile a started plug-in has mapped: the path of the first
// mapping named libsndfile.so.1 in /proc/self/maps, or empty.
std::string MappedSndfile() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    size_t slash = line.find('/');
    if (slash != std::string::npos && line.find("/libsndfile.so.1") != std::string::npos) return line.substr(slash);
  }
  return "";
}

// A build folder configured with PEXO_SNDFILE_PREFIX must really run on that
// libsndfile (the sanitizers see nothing of another); others on the
// system's, found by name.
TEST(EntryFromHost, LoadsTheLibsndfileTheBuildFolderNames) {
  ASSERT_NE(Entry(), nullptr);
  PluginHostInfo info = test_host::HostInfo();
  ASSERT_EQ(Start(&info), 1);
  const std::string mapped = MappedSndfile();
  const std::string prefix = PEXO_SNDFILE_PREFIX;
  if (prefix.empty()) {
    EXPECT_NE(mapped, "");
  } else {
    EXPECT_EQ(mapped.rfind(prefix + "/lib/", 0), 0u) << mapped;
  }
}
#endif

}  // namespace
