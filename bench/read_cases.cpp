// Reading a whole file in host-sized blocks: through the plug-in (open by
// makeFromFile, ReadFrames until the end, delete the source) against
// libsndfile directly (sf_open, sf_readf_double, sf_close). Before timing,
// both sides are read once and compared sample for sample.
#include <cstring>
#include <vector>

#include "bench/bench_context.h"
#include "bench/null_host.h"
#include "bench/sides.h"
#include "bench/stopwatch.h"

namespace bench {

// The read loops on their own, so that an instruction count (callgrind's
// inclusive cost of each) compares exactly the two sides' per-block work.
__attribute__((noinline)) int64_t PluginReadLoop(ISimpleMediaDecoder* decoder, double* buffer, int block) {
  int64_t total = 0;
  for (int got; (got = decoder->ReadFrames(buffer, block)) > 0;) total += got;
  return total;
}

__attribute__((noinline)) int64_t DirectReadLoop(SNDFILE* file, double* buffer, int block) {
  int64_t total = 0;
  for (sf_count_t got; (got = sf_readf_double(file, buffer, block)) > 0;) total += got;
  return total;
}

namespace {

double ReadThroughPlugin(const BenchContext& context, const InputFile& input, int block, double* buffer) {
  Stopwatch stopwatch;
  HostSource* source = OpenSource(context, input.path);
  const int64_t total = PluginReadLoop(DecoderOf(source), buffer, block);
  delete source;
  const double seconds = stopwatch.Stop();
  if (total != input.frames) Fail("the plug-in read a wrong number of frames from " + input.path);
  return seconds;
}

double ReadDirectly(const InputFile& input, int block, double* buffer) {
  Stopwatch stopwatch;
  SNDFILE* file = OpenDirect(input.path);
  const int64_t total = DirectReadLoop(file, buffer, block);
  sf_close(file);
  const double seconds = stopwatch.Stop();
  if (total != input.frames) Fail("libsndfile read a wrong number of frames from " + input.path);
  return seconds;
}

// Both sides must deliver the same samples, or the timing compares
// different work.
void CompareSides(const BenchContext& context, const InputFile& input, int block) {
  const size_t samples = static_cast<size_t>(block) * kChannels;
  std::vector<double> ours(samples), theirs(samples);
  HostSource* source = OpenSource(context, input.path);
  ISimpleMediaDecoder* decoder = DecoderOf(source);
  SNDFILE* file = OpenDirect(input.path);
  if (decoder->ChannelCount() != kChannels || decoder->LengthFrames() != input.frames) {
    Fail("the plug-in describes " + input.path + " wrongly");
  }
  for (;;) {
    const int got = decoder->ReadFrames(ours.data(), block);
    const sf_count_t expected = sf_readf_double(file, theirs.data(), block);
    if (got != expected) Fail("the plug-in and libsndfile read different lengths from " + input.path);
    if (got <= 0) break;
    if (std::memcmp(ours.data(), theirs.data(), static_cast<size_t>(got) * kChannels * sizeof(double)) != 0) {
      Fail("the plug-in and libsndfile read different samples from " + input.path);
    }
  }
  sf_close(file);
  delete source;
}

}  // namespace

void RunReadCases(const BenchContext& context, std::vector<ResultRow>& rows) {
  for (const InputFile& input : context.inputs) {
    CompareSides(context, input, 4096);
    for (int block : context.settings.blockSizes) {
      // One buffer for both sides, so that neither gets the better placement.
      std::vector<double> buffer(static_cast<size_t>(block) * kChannels);
      const std::string name = std::string(input.format.label) + ", " + std::to_string(block) + " frames";
      SetStretchCase("read: " + name);
      const PairedTimes times =
          RunAlternating([&] { return ReadThroughPlugin(context, input, block, buffer.data()); },
                         [&] { return ReadDirectly(input, block, buffer.data()); }, context.settings.timed);
      rows.push_back(RatioRow("read", name, times, context.settings.ratioGoal));
      ReportProgress(rows.back());
    }
  }
}

}  // namespace bench
