// What the host does to samples before it hands them to the writer: a NaN
// becomes 0 and an infinity full scale, since some of libsndfile's encoders
// (lossy and float ones) misbehave on them or store them as they are. The
// scale and range of integer encodings are the writer's business.
#pragma once

#include <cstddef>

namespace pexo_host {

// Replaces every non-finite value in place.
void ReplaceNonFinite(double* samples, size_t count);

}  // namespace pexo_host
