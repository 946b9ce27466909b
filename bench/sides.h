// The two sides of every comparison: opening a file for reading or writing
// through the plug-in, as a host does, and directly with libsndfile, with
// the same settings. Each throws when the file does not open.
#pragma once

#include <sndfile.h>

#include <string>

#include "bench/bench_context.h"

namespace bench {

// Through the plug-in: makeFromFile at attempt level 7, as a host tries a
// file that no other reader claimed; the source owns the decoder.
HostSource* OpenSource(const BenchContext& context, const std::string& path);
// Directly: sf_open for reading.
SNDFILE* OpenDirect(const std::string& path);

// The writer's quality, the same for both sides.
constexpr float kWriteQuality = 0.5f;

// Through the plug-in: makeSink with a SinkConfigBlock, stereo, 44.1 kHz,
// no peaks.
PCM_sink* OpenSink(const BenchContext& context, const std::string& path, int formatWord);
// Directly: sf_open for writing, and the quality set as the writer sets it.
SNDFILE* OpenDirectWriter(const std::string& path, int formatWord);

}  // namespace bench
