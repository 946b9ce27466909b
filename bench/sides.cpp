// Opening files for the plug-in side and the direct side.
#include "bench/sides.h"

#include "abi/sink_config.h"
#include "bench/null_host.h"

namespace bench {

HostSource* OpenSource(const BenchContext& context, const std::string& path) {
  HostSource* source = context.plugin.sources->makeFromFile(path.c_str(), 7);
  if (source == nullptr) Fail("the plug-in could not open " + path);
  return source;
}

SNDFILE* OpenDirect(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) Fail("libsndfile could not open " + path + ": " + sf_strerror(nullptr));
  return file;
}

PCM_sink* OpenSink(const BenchContext& context, const std::string& path, int formatWord) {
  SinkConfigBlock block{};
  block.typeTag = kSinkTypeTag;
  block.formatWord = formatWord;
  block.quality = kWriteQuality;
  PCM_sink* sink = context.plugin.sinks->makeSink(path.c_str(), &block, kSinkConfigBlockSize, kChannels,
                                                   kSampleRate, false);
  if (sink == nullptr) Fail("the plug-in could not create " + path);
  return sink;
}

SNDFILE* OpenDirectWriter(const std::string& path, int formatWord) {
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = kChannels;
  info.format = formatWord;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) Fail("libsndfile could not create " + path + ": " + sf_strerror(nullptr));
  double quality = kWriteQuality;
  sf_command(file, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
  sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
  return file;
}

}  // namespace bench
