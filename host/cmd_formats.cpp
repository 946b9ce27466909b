// pexo-host formats: every format, encoding and byte order the panel
// offers with the loaded libsndfile, read out of the panel's own lists.
#include <cstdio>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "host/commands.h"
#include "host/config_choice.h"
#include "host/panel_driver.h"

namespace pexo_host {
namespace {

const char kFormatsUsage[] =
    "Usage: pexo-host formats [--plugin FILE] [--ini FILE]\n"
    "\n"
    "Lists what the plug-in's configuration panel offers with this libsndfile:\n"
    "each format (its --format key and name), its encodings (for --encoding)\n"
    "and the byte orders of each (for --byte-order). The panel checks them for\n"
    "one channel; the writer checks again with the real channel count. What\n"
    "libsndfile lists but cannot write (MPEG Layers I and II, MP3 in WAV, SD2\n"
    "with its separate resource fork) is marked \"(cannot be written)\".\n";

struct Row {
  std::string key, name, encoding, orders;
};

}  // namespace

int RunFormats(int argc, char** argv, HostOptions options) {
  const CommandSyntax syntax{"formats", kFormatsUsage, "", {}};
  int read = ReadOptions(argc, argv, syntax, &options);
  if (read != kReadOn) return read;
  if (optind < argc) return UsageError("formats", std::string("unexpected argument '") + argv[optind] + "'");
  LoadedPlugin plugin;
  if (!StartHost(options, kNeedSink, &plugin)) return 1;
  std::string error;
  PanelDriver panel;
  if (!panel.OpenOnDefaults(plugin.sink, &error)) {
    PrintError(error);
    return 1;
  }
  // Everything is gathered first, so that the plug-in's own messages come
  // before the table and not inside it.
  std::vector<Row> rows;
  std::vector<FormatEntry> formats = FormatEntries(panel);
  for (size_t f = 0; f < formats.size(); ++f) {
    panel.Choose(kFormatListId, static_cast<int>(f));
    std::vector<ListEntry> encodings = panel.Entries(kEncodingListId);
    if (encodings.empty()) rows.push_back({formats[f].key, formats[f].name, "(none)", ""});
    for (size_t e = 0; e < encodings.size(); ++e) {
      panel.Choose(kEncodingListId, static_cast<int>(e));
      std::string orders;
      for (const ListEntry& order : panel.Entries(kByteOrderListId)) {
        orders += (orders.empty() ? "" : " ") + std::string(ByteOrderKey(order.formatWord));
      }
      // Listed by libsndfile but not writable: marked, so that no one picks it.
      std::string encoding = encodings[e].text + (CannotWrite(encodings[e].formatWord) ? " (cannot be written)" : "");
      rows.push_back({e == 0 ? formats[f].key : "", e == 0 ? formats[f].name : "", encoding,
                      orders.empty() ? "(none)" : orders});
    }
  }
  Row heading{"FORMAT", "NAME", "ENCODING", "BYTE ORDERS"};
  size_t widths[3] = {heading.key.size(), heading.name.size(), heading.encoding.size()};
  for (const Row& row : rows) {
    if (row.key.size() > widths[0]) widths[0] = row.key.size();
    if (row.name.size() > widths[1]) widths[1] = row.name.size();
    if (row.encoding.size() > widths[2]) widths[2] = row.encoding.size();
  }
  std::fflush(stdout);
  rows.insert(rows.begin(), heading);
  for (const Row& row : rows) {
    std::printf("%-*s  %-*s  %-*s  %s\n", static_cast<int>(widths[0]), row.key.c_str(), static_cast<int>(widths[1]),
                row.name.c_str(), static_cast<int>(widths[2]), row.encoding.c_str(), row.orders.c_str());
  }
  return 0;
}

}  // namespace pexo_host
