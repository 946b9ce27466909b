// Where the host keeps its ini file.
#pragma once

#include <string>

namespace pexo_host {

// $XDG_CONFIG_HOME/pexo-host/host.ini, else ~/.config/pexo-host/host.ini.
// A relative XDG_CONFIG_HOME is ignored, as the XDG rules ask.
std::string DefaultIniPath();

}  // namespace pexo_host
