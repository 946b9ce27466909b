// The options that choose the writer's settings on its panel, shared by
// convert and defaults: --format, --encoding, --byte-order and --quality,
// their getopt entries and the checks of their values.
#pragma once

#include <getopt.h>

#include <string>
#include <vector>

#include "host/config_choice.h"

namespace pexo_host {

// getopt_long codes, above the common options' and clear of any letter.
enum PanelOptionCode { kOptionFormat = 1100, kOptionEncoding, kOptionByteOrder, kOptionQuality };

// Appends the four options to a command's long options.
void AddPanelOptions(std::vector<option>* options);

// Takes a panel option's value into request; false for any other code. A
// value that cannot be right sets problem to the usage message.
bool TakePanelOption(int code, const char* value, ConfigRequest* request, std::string* problem);

}  // namespace pexo_host
