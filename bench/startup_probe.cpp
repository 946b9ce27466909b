// A fresh process that times one start: "CLOCK plugin PATH" loads the
// plug-in and runs its entry with the measuring host (which loads and binds
// libsndfile); "CLOCK direct" loads libsndfile and looks up the same ten
// entry points a host calling libsndfile itself would need. CLOCK is "cpu"
// (the process's processor time) or "wall". Prints the seconds taken and
// exits 0, or exits 1 when the start failed. Links neither libsndfile nor
// the Win32 layer, so their loading is part of what it measures.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "bench/clocks.h"
#include "bench/null_host.h"

namespace {

bool StartPlugin(const char* path) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  void* symbol = dlsym(library, "SarnicPluginEntry");
  if (symbol == nullptr) return false;
  SarnicPluginEntryFn entry;
  std::memcpy(&entry, &symbol, sizeof entry);
  PluginHostInfo info = bench::NullHostInfo();
  return entry(reinterpret_cast<HINSTANCE>(library), &info) == 1;
}

bool StartDirect() {
  void* library = dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  const char* const names[] = {"sf_command",      "sf_open",           "sf_close",        "sf_read_double",
                               "sf_seek",         "sf_readf_double",   "sf_version_string", "sf_format_check",
                               "sf_write_float",  "sf_write_double"};
  bool found = true;
  for (const char* name : names) found = dlsym(library, name) != nullptr && found;
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const bool clockGiven = argc >= 2 && (std::strcmp(argv[1], "cpu") == 0 || std::strcmp(argv[1], "wall") == 0);
  const bool plugin = clockGiven && argc == 4 && std::strcmp(argv[2], "plugin") == 0;
  const bool direct = clockGiven && argc == 3 && std::strcmp(argv[2], "direct") == 0;
  if (!plugin && !direct) {
    std::fprintf(stderr, "usage: %s cpu|wall plugin PATH | cpu|wall direct\n", argv[0]);
    return 2;
  }
  const bench::ClockKind clock =
      std::strcmp(argv[1], "cpu") == 0 ? bench::ClockKind::ProcessorTime : bench::ClockKind::WallTime;
  const double start = bench::ClockSeconds(clock, CLOCK_PROCESS_CPUTIME_ID);
  const bool started = plugin ? StartPlugin(argv[3]) : StartDirect();
  const double seconds = bench::ClockSeconds(clock, CLOCK_PROCESS_CPUTIME_ID) - start;
  if (!started) return 1;
  std::printf("%.9f\n", seconds);
  return 0;
}
