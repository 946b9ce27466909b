// A scripted stand-in for the platform's library loader, so the binding can
// be driven through absent, incomplete and complete libraries in one process.
#pragma once

#include <string>
#include <vector>

namespace fake_loader {

struct Script {
  bool libraryPresent = false;
  std::vector<std::string> missingNames;
};
Script& Current();

struct Log {
  std::vector<std::string> opened;  // file names asked for
  std::vector<std::string> lookedUp;
};
Log& Recorded();

}  // namespace fake_loader
