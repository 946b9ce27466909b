// The commands of pexo-host. Each takes its own arguments (argv[0] is the
// command's name) and the options given before the command, and returns
// the exit status.
#pragma once

#include "host/command_line.h"

namespace pexo_host {

int RunInfo(int argc, char** argv, HostOptions options);
int RunConvert(int argc, char** argv, HostOptions options);
int RunFormats(int argc, char** argv, HostOptions options);
int RunDefaults(int argc, char** argv, HostOptions options);
int RunDemo(int argc, char** argv, HostOptions options);

}  // namespace pexo_host
