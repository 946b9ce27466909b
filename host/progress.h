// A progress bar on standard error, shown only when that is a terminal.
#pragma once

#include <chrono>
#include <string>

namespace pexo_host {

class ProgressBar {
 public:
  // enabled is typically isatty(2); a disabled bar draws nothing.
  explicit ProgressBar(bool enabled) : enabled(enabled) {}
  ~ProgressBar() { Clear(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Draws fraction (0 to 1) with a label; at most ten times a second.
  void Show(double fraction, const std::string& label);
  // Erases the bar so that other output starts on a clean line.
  void Clear();

 private:
  bool enabled;
  bool shown = false;
  std::chrono::steady_clock::time_point last{};
};

}  // namespace pexo_host
