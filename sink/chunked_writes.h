// The writer's one way of handing libsndfile samples that must first be
// changed: a stack chunk at a time, so that nothing is allocated and the
// host's block is never written.
#pragma once

#include <sndfile.h>

#include "binding/sndfile_api.h"

// Writes count samples of channels-sample frames as sf_write_double does and
// returns what it returns, each chunk of whole frames (at most Chunk
// samples) passed through convert(from, to, length) first. libsndfile
// refuses what is not a whole number of frames before any encoder sees it,
// so such a block, or a frame wider than a chunk, goes as it is.
template <int Chunk, typename Convert>
sf_count_t WriteConverted(SNDFILE* file, const double* samples, sf_count_t count, int channels,
                          Convert convert) {
  if (count <= 0 || channels <= 0 || channels > Chunk || count % channels != 0)
    return SndfileApi.sf_write_double(file, samples, count);
  const sf_count_t chunk = Chunk / channels * channels;
  double converted[Chunk];
  sf_count_t written = 0;
  for (sf_count_t start = 0; start < count; start += chunk) {
    const sf_count_t length = count - start < chunk ? count - start : chunk;
    convert(samples + start, converted, length);
    const sf_count_t done = SndfileApi.sf_write_double(file, converted, length);
    written += done;
    if (done != length) break;
  }
  return written;
}
