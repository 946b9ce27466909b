// Heap allocations per call on the audio path: ReadFrames, SeekToFrame with
// ReadFrames, and WriteBlock through the plug-in, against the same calls
// made on libsndfile directly. Opening and closing are not counted, only
// the calls in between, over every block size. libsndfile and the codec
// libraries beneath it may allocate on their own (libFLAC sets up buffers
// lazily and on seeks); what the plug-in answers for is what it adds.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/bench_context.h"
#include "bench/null_host.h"
#include "bench/sides.h"

namespace bench {
namespace {

struct Counts {
  int64_t plugin = 0;  // allocations during the plug-in's calls
  int64_t direct = 0;  // allocations during the direct calls
  int64_t calls = 0;   // calls on each side
};

Counts WholeReads(const BenchContext& context, const InputFile& input) {
  Counts counts;
  for (int block : context.settings.blockSizes) {
    std::vector<double> buffer(static_cast<size_t>(block) * kChannels);

    HostSource* source = OpenSource(context, input.path);
    ISimpleMediaDecoder* decoder = DecoderOf(source);
    int64_t calls = 0;
    StartCountingAllocations();
    for (int got = 1; got > 0; ++calls) got = decoder->ReadFrames(buffer.data(), block);
    counts.plugin += StopCountingAllocations();
    delete source;

    SNDFILE* file = OpenDirect(input.path);
    StartCountingAllocations();
    for (sf_count_t got = 1; got > 0;) got = sf_readf_double(file, buffer.data(), block);
    counts.direct += StopCountingAllocations();
    sf_close(file);
    counts.calls += calls;
  }
  return counts;
}

Counts SeeksAndReads(const BenchContext& context, const InputFile& input) {
  const int readFrames = context.settings.seekReadFrames;
  const int seeks = context.settings.seeks;
  const int64_t step = std::max<int64_t>(1, (input.frames - readFrames) / seeks);
  std::vector<double> buffer(static_cast<size_t>(readFrames) * kChannels);
  Counts counts;

  HostSource* source = OpenSource(context, input.path);
  ISimpleMediaDecoder* decoder = DecoderOf(source);
  StartCountingAllocations();
  // Backwards through the file, so that every seek moves.
  for (int i = seeks - 1; i >= 0; --i) {
    decoder->SeekToFrame(i * step);
    decoder->ReadFrames(buffer.data(), readFrames);
  }
  counts.plugin = StopCountingAllocations();
  delete source;

  SNDFILE* file = OpenDirect(input.path);
  StartCountingAllocations();
  for (int i = seeks - 1; i >= 0; --i) {
    sf_seek(file, i * step, SEEK_SET);
    sf_readf_double(file, buffer.data(), readFrames);
  }
  counts.direct = StopCountingAllocations();
  sf_close(file);
  counts.calls = seeks;
  return counts;
}

Counts Writes(const BenchContext& context, const AudioFormat& format) {
  const int64_t frames = context.settings.writeFrames;
  const std::string path = context.scratchPath + "/allocations." + format.extension;
  const int largest = context.settings.blockSizes.back();
  std::vector<double> samples(static_cast<size_t>(largest) * kChannels);
  FillSignal(samples.data(), 0, largest);
  Counts counts;
  for (int block : context.settings.blockSizes) {
    PCM_sink* sink = OpenSink(context, path, format.formatWord);
    double* buffers[1] = {samples.data()};
    StartCountingAllocations();
    for (int64_t done = 0; done < frames; done += block, ++counts.calls) {
      sink->WriteBlock(buffers, static_cast<int>(std::min<int64_t>(block, frames - done)), kChannels, 0, 0);
    }
    counts.plugin += StopCountingAllocations();
    delete sink;

    SNDFILE* file = OpenDirectWriter(path, format.formatWord);
    StartCountingAllocations();
    for (int64_t done = 0; done < frames; done += block) {
      sf_write_double(file, samples.data(), std::min<int64_t>(block, frames - done) * kChannels);
    }
    counts.direct += StopCountingAllocations();
    sf_close(file);
  }
  std::remove(path.c_str());
  return counts;
}

ResultRow CountRow(const std::string& name, const Counts& counts) {
  ResultRow row;
  row.group = "allocations";
  row.name = name;
  row.kind = RowKind::Count;
  const double calls = static_cast<double>(std::max<int64_t>(1, counts.calls));
  row.plugin = static_cast<double>(counts.plugin) / calls;
  row.direct = static_cast<double>(counts.direct) / calls;
  row.goal = 0;  // allocations per call added by the plug-in
  return row;
}

// Opening allocates on both sides (the decoder or writer, libsndfile's
// handle): if the counter saw none there, its zeros would mean nothing.
void CheckTheCounterCounts(const BenchContext& context, bool reading, bool writing) {
  const std::string probe = context.scratchPath + "/allocations-probe.wav";
  StartCountingAllocations();
  if (reading) delete OpenSource(context, context.inputs.front().path);
  if (writing) delete OpenSink(context, probe, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  const int64_t pluginOpen = StopCountingAllocations();
  StartCountingAllocations();
  sf_close(OpenDirectWriter(probe, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const int64_t directOpen = StopCountingAllocations();
  std::remove(probe.c_str());
  if (pluginOpen == 0 || directOpen == 0) Fail("the interposed allocator counts nothing");
}

}  // namespace

void RunAllocationCases(const BenchContext& context, std::vector<ResultRow>& rows) {
  const bool reading = context.plugin.sources->makeFromFile != nullptr && !context.inputs.empty();
  const bool writing = context.plugin.sinks->makeSink != nullptr;
  CheckTheCounterCounts(context, reading, writing);
  if (reading) {
    for (const InputFile& input : context.inputs) {
      rows.push_back(CountRow(std::string("per ReadFrames, ") + input.format.label, WholeReads(context, input)));
      ReportProgress(rows.back());
    }
    for (const InputFile& input : context.inputs) {
      rows.push_back(CountRow(std::string("per SeekToFrame + ReadFrames, ") + input.format.label,
                              SeeksAndReads(context, input)));
      ReportProgress(rows.back());
    }
  }
  if (writing) {
    for (const AudioFormat& format : WriteFormats()) {
      rows.push_back(CountRow(std::string("per WriteBlock, ") + format.label, Writes(context, format)));
      ReportProgress(rows.back());
    }
  }
}

}  // namespace bench
