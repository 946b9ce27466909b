// The default ini path, from the XDG configuration folder.
#include "host/ini_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pexo_host {

std::string DefaultIniPath() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') return std::string(configHome) + "/pexo-host/host.ini";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  std::string base = home != nullptr && home[0] != '\0' ? home : ".";
  return base + "/.config/pexo-host/host.ini";
}

}  // namespace pexo_host
