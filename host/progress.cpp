// ProgressBar: one line, redrawn in place with a carriage return.
#include "host/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace pexo_host {

void ProgressBar::Show(double fraction, const std::string& label) {
  if (!enabled) return;
  auto now = std::chrono::steady_clock::now();
  if (shown && now - last < std::chrono::milliseconds(100)) return;
  last = now;
  if (!(fraction >= 0.0)) fraction = 0.0;
  if (fraction > 1.0) fraction = 1.0;
  int columns = 80;
  winsize size;
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) columns = size.ws_col;
  std::string text = " " + label;
  int width = columns - 8 - static_cast<int>(text.size());
  if (width > 50) width = 50;
  if (width < 10) {
    width = 10;
    text.clear();
  }
  int filled = static_cast<int>(std::floor(fraction * width));
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(width - filled), '-');
  std::fflush(stdout);
  std::fprintf(stderr, "\r[%s] %3d%%%s\033[K", bar.c_str(), static_cast<int>(fraction * 100.0), text.c_str());
  std::fflush(stderr);
  shown = true;
}

void ProgressBar::Clear() {
  if (!enabled || !shown) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown = false;
}

}  // namespace pexo_host
