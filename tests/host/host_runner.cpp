// RunHost and friends: fork and exec with the outputs in files.
#include "tests/host/host_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace host_test {
namespace {

std::string ReadAndRemove(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  unlink(path.c_str());
  return text.str();
}

std::string CaptureName(const char* stream) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/pexo-host-test-" +
                        stream + "-XXXXXX";
  int file = mkstemp(&pattern[0]);
  if (file >= 0) close(file);
  return pattern;
}

Running Start(const std::string& program, const std::vector<std::string>& arguments, const RunOptions& options,
              bool searchPath) {
  Running running;
  running.outPath = CaptureName("out");
  running.errPath = CaptureName("err");
  std::vector<std::string> words;
  words.push_back(program);
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  environment.insert(environment.end(), options.environment.begin(), options.environment.end());
  // Later entries win: drop earlier ones of the same name.
  std::vector<std::string> unique;
  for (size_t i = 0; i < environment.size(); ++i) {
    std::string name = environment[i].substr(0, environment[i].find('='));
    bool later = false;
    for (size_t j = i + 1; j < environment.size() && !later; ++j) {
      later = environment[j].compare(0, name.size() + 1, name + "=") == 0;
    }
    if (!later) unique.push_back(environment[i]);
  }
  // Everything the child needs is made before the fork.
  std::vector<char*> argv, envp;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  for (std::string& entry : unique) envp.push_back(&entry[0]);
  envp.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(running.outPath.c_str(), O_WRONLY | O_TRUNC);
    int err = open(running.errPath.c_str(), O_WRONLY | O_TRUNC);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(126);
    // A new process group, so that a signal sent to the test is not its.
    setpgid(0, 0);
    if (options.fileSizeLimit >= 0) {
      rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails as on a full disk
    }
    if (searchPath) {
      environ = envp.data();
      execvp(argv[0], argv.data());
    } else {
      execve(argv[0], argv.data(), envp.data());
    }
    _exit(127);
  }
  running.pid = pid;
  return running;
}

}  // namespace

RunResult Finish(const Running& running) {
  RunResult result;
  int status = 0;
  while (waitpid(running.pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = ReadAndRemove(running.outPath);
  result.err = ReadAndRemove(running.errPath);
  return result;
}

Running StartHost(const std::vector<std::string>& arguments, const RunOptions& options) {
  return Start(PEXO_HOST_BINARY, arguments, options, false);
}

RunResult RunHost(const std::vector<std::string>& arguments, const RunOptions& options) {
  return Finish(StartHost(arguments, options));
}

RunResult RunProgram(const std::vector<std::string>& arguments) {
  std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  return Finish(Start(arguments[0], rest, {}, true));
}

bool HaveProgram(const std::string& name) {
  return RunProgram({"sh", "-c", "command -v " + name}).exitCode == 0;
}

}  // namespace host_test
