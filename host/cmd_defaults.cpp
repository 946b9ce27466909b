// pexo-host defaults: set or show the writer's stored defaults in the host's
// ini file, which the panel (and so convert) starts from.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "host/cleanup.h"
#include "host/commands.h"
#include "host/config_choice.h"
#include "host/host_functions.h"
#include "host/panel_driver.h"
#include "host/panel_options.h"
#include "host/stored_defaults.h"

namespace pexo_host {
namespace {

const char kDefaultsUsage[] =
    "Usage: pexo-host defaults [--format EXT] [--encoding NAME] [--byte-order ORDER]\n"
    "                          [--quality Q] [--plugin FILE] [--ini FILE]\n"
    "       pexo-host defaults --show [--plugin FILE] [--ini FILE]\n"
    "\n"
    "Stores the writer's default settings in the host's ini file (section\n"
    "\"libsndfile sink defaults\"); the configuration panel, and so 'convert',\n"
    "starts from them. The options change the settings the panel shows now\n"
    "(stored or built-in), as in 'convert'. The rest of the ini file is kept.\n"
    "--show prints what is stored and what the panel makes of it.\n"
    "\n"
    "The quality means, per encoding:\n"
    "  FLAC    compression, backwards: 1.0 is the fastest and largest file, 0.0\n"
    "          the smallest (libsndfile sets the compression level to 1 - quality)\n"
    "  Vorbis  sound quality, 1.0 the best and largest\n"
    "  Opus    bit rate, 1.0 the highest\n"
    "  MP3     sound quality, 1.0 the best (libsndfile refuses 0.0)\n"
    "  others  not used\n";

enum DefaultsOption { kShow = 1 };

// What the panel shows, one setting a line.
void PrintPanel(const PanelDriver& panel) {
  std::string choice = DescribeChoice(panel);
  size_t comma = choice.rfind(", ");
  std::printf("  format:     %s\n", choice.substr(0, comma).c_str());
  std::printf("  encoding:   %s\n", comma == std::string::npos ? "" : choice.substr(comma + 2).c_str());
  std::vector<ListEntry> orders = panel.Entries(kByteOrderListId);
  int order = panel.Selection(kByteOrderListId);
  std::printf("  byte order: %s\n",
              order >= 0 && static_cast<size_t>(order) < orders.size() ? ByteOrderKey(orders[static_cast<size_t>(order)].formatWord)
                                                                       : "(none)");
  std::printf("  quality:    %s\n", panel.QualityLabel().c_str());
  std::vector<unsigned char> block = panel.Query();
  if (block.size() >= static_cast<size_t>(kSinkConfigBlockSize)) {
    std::printf("  (quality:   %s)\n", QualityMeaning(BlockFormatWord(block.data())));
  }
}

int Show(const LoadedPlugin& plugin) {
  StoredDefaults stored = ReadStoredDefaults(IniPath());
  std::printf("ini file: %s\n", IniPath().c_str());
  if (stored.size == 0) {
    std::printf("no stored defaults\n");
  } else if (!stored.valid) {
    std::printf("default_size=%d, but \"default\" does not read back at that size (missing, wrong digits or checksum)\n",
                stored.size);
  } else if (!HasSinkTag(stored.block.data(), stored.size, kSinkConfigBlockSize)) {
    std::printf("default_size=%d, but the stored block is not a complete writer block\n", stored.size);
  } else {
    SinkConfigBlock block;
    std::memcpy(&block, stored.block.data(), sizeof block);
    std::printf("default_size=%d, format word 0x%08x, quality %.2f\n", stored.size,
                static_cast<unsigned>(block.formatWord), static_cast<double>(block.quality));
  }
  std::string error;
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, &error)) {
    PrintError(error);
    return 1;
  }
  std::fflush(stdout);
  std::printf("the panel starts with:\n");
  PrintPanel(panel);
  return 0;
}

}  // namespace

int RunDefaults(int argc, char** argv, HostOptions options) {
  CommandSyntax syntax{"defaults", kDefaultsUsage, "", {{"show", no_argument, nullptr, kShow}}};
  AddPanelOptions(&syntax.longOptions);
  ConfigRequest request;
  bool show = false, change = false;
  int read = ReadOptions(argc, argv, syntax, &options, [&](int code, const char* value, std::string* problem) {
    if (code == kShow) {
      show = true;
      return true;
    }
    bool taken = TakePanelOption(code, value, &request, problem);
    change = change || taken;
    return taken;
  });
  if (read != kReadOn) return read;
  if (optind < argc) return UsageError("defaults", std::string("unexpected argument '") + argv[optind] + "'");
  if (show && change) return UsageError("defaults", "--show takes no other settings");
  if (!show && !change) return UsageError("defaults", "nothing to set; give a setting, or --show");

  LoadedPlugin plugin;
  if (!StartHost(options, kNeedSink, &plugin)) return 1;
  if (show) return Show(plugin);
  InstallCleanupHandlers();  // no half-written ini file on a signal

  std::string error;
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, &error)) {
    PrintError(error);
    return 1;
  }
  if (!ApplyRequest(panel, request, &error)) return UsageError("defaults", error);
  std::vector<unsigned char> block;
  if (!QueryBlock(panel, &block, &error) || !WriteStoredDefaults(IniPath(), block, &error)) {
    PrintError(error);
    return 1;
  }
  std::fflush(stdout);
  std::printf("stored in %s:\n", IniPath().c_str());
  PrintPanel(panel);
  return 0;
}

}  // namespace pexo_host
