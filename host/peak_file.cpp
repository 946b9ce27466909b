// Writing the peaks file.
#include "host/peak_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pexo_host {

bool WritePeakFile(const Peaks& peaks, const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    *error = "cannot write peaks to " + path + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(file, "pexo-peaks 1\nsample_rate %d\nchannels %d\nframes_per_peak %d\nframes %lld\npeaks %zu\n",
               peaks.sampleRate, peaks.channels, kFramesPerPeak, peaks.frames, peaks.Count());
  const size_t width = 2 * static_cast<size_t>(peaks.channels);
  for (size_t peak = 0; peak < peaks.Count(); ++peak) {
    for (size_t i = 0; i < width; ++i) {
      std::fprintf(file, i == 0 ? "%.9g" : " %.9g", static_cast<double>(peaks.minMax[peak * width + i]));
    }
    std::fputc('\n', file);
  }
  bool good = std::ferror(file) == 0;
  int savedError = errno;
  if (std::fclose(file) != 0 && good) {
    good = false;
    savedError = errno;
  }
  if (!good) *error = "cannot write peaks to " + path + ": " + std::strerror(savedError);
  return good;
}

}  // namespace pexo_host
