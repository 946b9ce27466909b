// The panel options and the checks of their values.
#include "host/panel_options.h"

#include "host/command_line.h"

namespace pexo_host {

void AddPanelOptions(std::vector<option>* options) {
  options->push_back({"format", required_argument, nullptr, kOptionFormat});
  options->push_back({"encoding", required_argument, nullptr, kOptionEncoding});
  options->push_back({"byte-order", required_argument, nullptr, kOptionByteOrder});
  options->push_back({"quality", required_argument, nullptr, kOptionQuality});
}

bool TakePanelOption(int code, const char* value, ConfigRequest* request, std::string* problem) {
  switch (code) {
    case kOptionFormat:
      request->format = value;
      return true;
    case kOptionEncoding:
      request->encoding = value;
      return true;
    case kOptionByteOrder:
      request->byteOrder = value;
      if (request->byteOrder != "default" && request->byteOrder != "little" && request->byteOrder != "big") {
        *problem = "--byte-order takes default, little or big, not '" + request->byteOrder + "'";
      }
      return true;
    case kOptionQuality:
      if (!ParseQuality(value, &request->quality)) {
        *problem = std::string("--quality takes a number from 0.0 to 1.0, not '") + value + "'";
      }
      request->haveQuality = true;
      return true;
    default:
      return false;
  }
}

}  // namespace pexo_host
