// The configuration panel embedded as a host embeds it: a parent window of
// the Win32 subset layer, the panel opened through the sink record, and the
// user's actions played as the messages a user's clicks would send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/host_interface.h"
#include "abi/sink_config.h"

namespace pexo_host {

struct ListEntry {
  std::string text;
  int32_t formatWord;  // the entry's item data
};

class PanelDriver {
 public:
  PanelDriver() = default;
  ~PanelDriver();
  PanelDriver(const PanelDriver&) = delete;
  PanelDriver& operator=(const PanelDriver&) = delete;

  // Opens the panel for the block. False with a reason when the parent
  // window or the panel cannot be made.
  bool Open(const SinkRegistration* sink, const void* block, int size, std::string* error);
  // Opens the panel on a block of the tag alone, as for a writer without
  // settings: it starts from the stored defaults, else the built-in default.
  bool OpenOnDefaults(const SinkRegistration* sink, std::string* error);

  std::vector<ListEntry> Entries(int list) const;
  // Index of the selected entry, or -1.
  int Selection(int list) const;
  // Selects the entry and tells the panel, as a click in the list does.
  void Choose(int list, int index);

  int SliderPosition() const;
  // Moves the slider and tells the panel, as dragging it does.
  void MoveSlider(int position);
  std::string QualityLabel() const;

  // The block the panel answers to ConfigQuery, at the size it reports.
  std::vector<unsigned char> Query() const;

 private:
  HWND parent = nullptr;
  HWND panel = nullptr;
};

}  // namespace pexo_host
