// Writing a whole file in host-sized blocks: through the plug-in (makeSink,
// WriteBlock per block, delete the writer) against libsndfile directly
// (sf_open, sf_write_double per block, sf_close), with the same format and
// quality. Afterwards the two files must be byte for byte the same. The
// plug-in maps each sample onto the encoding's integers itself; the direct
// side is handed those integers, formed once before any timing, with
// libsndfile's normalisation off, so the difference is the mapping's cost.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/bench_context.h"
#include "bench/sides.h"
#include "bench/stopwatch.h"

namespace bench {
namespace {

// The samples fed to both sides: ten seconds of the test signal, used over
// and over. Its length is a multiple of every block size, so no block wraps.
constexpr int64_t kSourceFrames = 16384 * 27;

std::vector<double>& SourceSamples() {
  static std::vector<double> samples = [] {
    std::vector<double> filled(static_cast<size_t>(kSourceFrames * kChannels));
    FillSignal(filled.data(), 0, kSourceFrames);
    return filled;
  }();
  return samples;
}

double* BlockAt(int64_t frame) {
  return SourceSamples().data() + (frame % kSourceFrames) * kChannels;
}

// The integers a 16-bit encoding stores for the source: x * 2^15 rounded to
// nearest, limited to the 16-bit range, as whole numbers in doubles.
std::vector<double>& StoredSamples() {
  static std::vector<double> samples = [] {
    std::vector<double> stored(SourceSamples());
    for (double& value : stored) value = std::min(32767.0, std::max(-32768.0, std::nearbyint(value * 32768.0)));
    return stored;
  }();
  return samples;
}

double* StoredBlockAt(int64_t frame) {
  return StoredSamples().data() + (frame % kSourceFrames) * kChannels;
}

// The bits of the formats written here: both are 16-bit.
bool SixteenBit(int formatWord) { return (formatWord & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16; }

double WriteThroughPlugin(const BenchContext& context, const std::string& path, int formatWord, int block) {
  const int64_t frames = context.settings.writeFrames;
  Stopwatch stopwatch;
  PCM_sink* sink = OpenSink(context, path, formatWord);
  for (int64_t done = 0; done < frames; done += block) {
    const int count = static_cast<int>(std::min<int64_t>(block, frames - done));
    double* buffers[1] = {BlockAt(done)};
    sink->WriteBlock(buffers, count, kChannels, 0, 0);
  }
  delete sink;
  return stopwatch.Stop();
}

double WriteDirectly(const BenchContext& context, const std::string& path, int formatWord, int block) {
  const int64_t frames = context.settings.writeFrames;
  Stopwatch stopwatch;
  SNDFILE* file = OpenDirectWriter(path, formatWord);
  sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  for (int64_t done = 0; done < frames; done += block) {
    const int64_t count = std::min<int64_t>(block, frames - done);
    sf_write_double(file, StoredBlockAt(done), count * kChannels);
  }
  sf_close(file);
  return stopwatch.Stop();
}

std::vector<char> Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

void RunWriteCases(const BenchContext& context, std::vector<ResultRow>& rows) {
  StoredSamples();
  for (const AudioFormat& format : WriteFormats()) {
    if (!SixteenBit(format.formatWord)) Fail(std::string("no stored integers for ") + format.label);
    const std::string ours = context.scratchPath + "/written-by-plugin." + format.extension;
    const std::string theirs = context.scratchPath + "/written-directly." + format.extension;
    for (int block : context.settings.blockSizes) {
      const std::string name = std::string(format.label) + ", " + std::to_string(block) + " frames";
      SetStretchCase("write: " + name);
      const PairedTimes times =
          RunAlternating([&] { return WriteThroughPlugin(context, ours, format.formatWord, block); },
                         [&] { return WriteDirectly(context, theirs, format.formatWord, block); },
                         context.settings.timed);
      const std::vector<char> written = Contents(ours);
      if (written.empty() || written != Contents(theirs)) {
        Fail(std::string("the plug-in and libsndfile wrote different ") + format.label + " files");
      }
      rows.push_back(RatioRow("write", name, times, context.settings.ratioGoal));
      ReportProgress(rows.back());
    }
    std::remove(ours.c_str());
    std::remove(theirs.c_str());
  }
}

}  // namespace bench
