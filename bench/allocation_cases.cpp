// Heap allocations per call on the audio path: ReadFrames, SeekToFrame with
// ReadFrames, and WriteBlock through the plug-in, and their libsndfile
// counterparts for reference. Opening and closing are not counted, only
// the calls in between. Each figure is the largest over the block sizes.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/bench_context.h"
#include "bench/null_host.h"
#include "bench/sides.h"

namespace bench {
namespace {

struct PerCall {
  double plugin = 0;
  double direct = 0;
};

double Ratio(int64_t allocations, int64_t calls) {
  return calls == 0 ? 0.0 : static_cast<double>(allocations) / static_cast<double>(calls);
}

PerCall WholeReads(const BenchContext& context, const InputFile& input) {
  PerCall worst;
  for (int block : context.settings.blockSizes) {
    std::vector<double> buffer(static_cast<size_t>(block) * kChannels);

    HostSource* source = OpenSource(context, input.path);
    ISimpleMediaDecoder* decoder = DecoderOf(source);
    int64_t calls = 0;
    StartCountingAllocations();
    for (int got = 1; got > 0; ++calls) got = decoder->ReadFrames(buffer.data(), block);
    worst.plugin = std::max(worst.plugin, Ratio(StopCountingAllocations(), calls));
    delete source;

    SNDFILE* file = OpenDirect(input.path);
    calls = 0;
    StartCountingAllocations();
    for (sf_count_t got = 1; got > 0; ++calls) got = sf_readf_double(file, buffer.data(), block);
    worst.direct = std::max(worst.direct, Ratio(StopCountingAllocations(), calls));
    sf_close(file);
  }
  return worst;
}

PerCall SeeksAndReads(const BenchContext& context, const InputFile& input) {
  const int readFrames = context.settings.seekReadFrames;
  const int64_t step = std::max<int64_t>(1, (input.frames - readFrames) / context.settings.seeks);
  std::vector<double> buffer(static_cast<size_t>(readFrames) * kChannels);
  PerCall result;

  HostSource* source = OpenSource(context, input.path);
  ISimpleMediaDecoder* decoder = DecoderOf(source);
  StartCountingAllocations();
  // Backwards through the file, so that every seek moves.
  for (int i = context.settings.seeks - 1; i >= 0; --i) {
    decoder->SeekToFrame(i * step);
    decoder->ReadFrames(buffer.data(), readFrames);
  }
  result.plugin = Ratio(StopCountingAllocations(), context.settings.seeks);
  delete source;

  SNDFILE* file = OpenDirect(input.path);
  StartCountingAllocations();
  for (int i = context.settings.seeks - 1; i >= 0; --i) {
    sf_seek(file, i * step, SEEK_SET);
    sf_readf_double(file, buffer.data(), readFrames);
  }
  result.direct = Ratio(StopCountingAllocations(), context.settings.seeks);
  sf_close(file);
  return result;
}

PerCall Writes(const BenchContext& context, const AudioFormat& format) {
  const int64_t frames = context.settings.writeFrames;
  const std::string path = context.scratchPath + "/allocations." + format.extension;
  std::vector<double> samples(static_cast<size_t>(context.settings.blockSizes.back()) * kChannels);
  FillSignal(samples.data(), 0, context.settings.blockSizes.back());
  PerCall worst;
  for (int block : context.settings.blockSizes) {
    PCM_sink* sink = OpenSink(context, path, format.formatWord);
    double* buffers[1] = {samples.data()};
    int64_t calls = 0;
    StartCountingAllocations();
    for (int64_t done = 0; done < frames; done += block, ++calls) {
      sink->WriteBlock(buffers, static_cast<int>(std::min<int64_t>(block, frames - done)), kChannels, 0, 0);
    }
    worst.plugin = std::max(worst.plugin, Ratio(StopCountingAllocations(), calls));
    delete sink;

    SNDFILE* file = OpenDirectWriter(path, format.formatWord);
    calls = 0;
    StartCountingAllocations();
    for (int64_t done = 0; done < frames; done += block, ++calls) {
      sf_write_double(file, samples.data(), std::min<int64_t>(block, frames - done) * kChannels);
    }
    worst.direct = std::max(worst.direct, Ratio(StopCountingAllocations(), calls));
    sf_close(file);
  }
  std::remove(path.c_str());
  return worst;
}

ResultRow CountRow(const std::string& name, const PerCall& counts) {
  ResultRow row;
  row.group = "allocations";
  row.name = name;
  row.kind = RowKind::Count;
  row.plugin = counts.plugin;
  row.direct = counts.direct;
  row.goal = 0;
  return row;
}

}  // namespace

void RunAllocationCases(const BenchContext& context, std::vector<ResultRow>& rows) {
  for (const InputFile& input : context.inputs) {
    rows.push_back(CountRow(std::string("per ReadFrames, ") + input.format.label, WholeReads(context, input)));
    ReportProgress(rows.back());
  }
  for (const InputFile& input : context.inputs) {
    rows.push_back(
        CountRow(std::string("per SeekToFrame + ReadFrames, ") + input.format.label, SeeksAndReads(context, input)));
    ReportProgress(rows.back());
  }
  for (const AudioFormat& format : WriteFormats()) {
    rows.push_back(CountRow(std::string("per WriteBlock, ") + format.label, Writes(context, format)));
    ReportProgress(rows.back());
  }
}

}  // namespace bench
