// What the host does to samples before it hands them to the writer.
//
// Every target: a NaN becomes 0 and an infinity full scale, since some of
// libsndfile's encoders misbehave on them.
//
// Plain integer PCM targets: libsndfile reads an n-bit sample s as
// s / 2^(n-1) but writes a value x as lrint(x * (2^(n-1) - 1)), so a file
// read and written again through it would lose a little in every sample,
// and values at or past full scale would wrap around. The host clips to the
// range the encoding holds and scales by 2^(n-1) / (2^(n-1) - 1), so that
// integer samples come back exactly as they were read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pexo_host {

class SampleConditioner {
 public:
  // For the format word of the writer's configuration block.
  explicit SampleConditioner(int32_t formatWord);
  void Apply(double* samples, size_t count) const;
  // The value Apply's output stands for (for peaks of what was written).
  double Undo(double value) const { return value / scale; }

 private:
  bool integer = false;
  double scale = 1.0;  // 2^(n-1) / (2^(n-1) - 1)
  double lowest = -1.0;
  double highest = 1.0;  // (2^(n-1) - 1) / 2^(n-1) for integers
};

}  // namespace pexo_host
