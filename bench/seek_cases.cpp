// Seek-heavy reading: the same series of random positions, each followed by
// a short read, through the plug-in (SeekToFrame, ReadFrames) and directly
// (sf_seek, sf_readf_double), in the read formats and in the seek-only ones.
// The file is opened before and closed after the measured stretch, so only
// seeks and reads are timed.
#include <algorithm>
#include <vector>

#include "bench/bench_context.h"
#include "bench/null_host.h"
#include "bench/sides.h"
#include "bench/stopwatch.h"

namespace bench {

// The seek loops on their own, for instruction counts as with the reads.
__attribute__((noinline)) int64_t PluginSeekLoop(ISimpleMediaDecoder* decoder, const std::vector<int64_t>& positions,
                                                 double* buffer, int readFrames) {
  int64_t total = 0;
  for (int64_t position : positions) {
    decoder->SeekToFrame(position);
    total += decoder->ReadFrames(buffer, readFrames);
  }
  return total;
}

__attribute__((noinline)) int64_t DirectSeekLoop(SNDFILE* file, const std::vector<int64_t>& positions,
                                                 double* buffer, int readFrames) {
  int64_t total = 0;
  for (int64_t position : positions) {
    sf_seek(file, position, SEEK_SET);
    total += sf_readf_double(file, buffer, readFrames);
  }
  return total;
}

namespace {

// Positions spread over the file by a fixed linear congruential sequence,
// each leaving room for a full read.
std::vector<int64_t> SeekPositions(int count, int64_t frames, int readFrames) {
  std::vector<int64_t> positions;
  uint64_t state = 0x9E3779B97F4A7C15u;
  const uint64_t range = static_cast<uint64_t>(std::max<int64_t>(1, frames - readFrames));
  for (int i = 0; i < count; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    positions.push_back(static_cast<int64_t>((state >> 17) % range));
  }
  return positions;
}

double SeekThroughPlugin(const BenchContext& context, const InputFile& input,
                         const std::vector<int64_t>& positions, double* buffer) {
  const int readFrames = context.settings.seekReadFrames;
  HostSource* source = OpenSource(context, input.path);
  Stopwatch stopwatch;
  const int64_t total = PluginSeekLoop(DecoderOf(source), positions, buffer, readFrames);
  const double seconds = stopwatch.Stop();
  delete source;
  if (total != static_cast<int64_t>(positions.size()) * readFrames) {
    Fail("the plug-in's reads after seeks came short in " + input.path);
  }
  return seconds;
}

double SeekDirectly(const BenchContext& context, const InputFile& input, const std::vector<int64_t>& positions,
                    double* buffer) {
  const int readFrames = context.settings.seekReadFrames;
  SNDFILE* file = OpenDirect(input.path);
  Stopwatch stopwatch;
  const int64_t total = DirectSeekLoop(file, positions, buffer, readFrames);
  const double seconds = stopwatch.Stop();
  sf_close(file);
  if (total != static_cast<int64_t>(positions.size()) * readFrames) {
    Fail("libsndfile's reads after seeks came short in " + input.path);
  }
  return seconds;
}

}  // namespace

void RunSeekCases(const BenchContext& context, std::vector<ResultRow>& rows) {
  const int readFrames = context.settings.seekReadFrames;
  auto run = [&](const InputFile& input, int seeks) {
    const std::vector<int64_t> positions = SeekPositions(seeks, input.frames, readFrames);
    std::vector<double> buffer(static_cast<size_t>(readFrames) * kChannels);
    const std::string name = std::string(input.format.label) + ", " + std::to_string(positions.size()) +
                             " seeks + " + std::to_string(readFrames) + " frames";
    SetStretchCase("seek: " + name);
    const PairedTimes times =
        RunAlternating([&] { return SeekThroughPlugin(context, input, positions, buffer.data()); },
                       [&] { return SeekDirectly(context, input, positions, buffer.data()); },
                       context.settings.timed);
    rows.push_back(RatioRow("seek", name, times, context.settings.ratioGoal));
    ReportProgress(rows.back());
  };
  for (const InputFile& input : context.inputs) run(input, context.settings.seeks);
  // Where libsndfile's seek is not exact (Vorbis) or refused (GSM 6.10: the
  // direct side then reads on without seeking) the plug-in does more than
  // the direct calls, and its time is the cost of an exact seek.
  for (const InputFile& input : context.seekInputs) run(input, context.settings.codecSeeks);
}

}  // namespace bench
