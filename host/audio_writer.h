// Writing frames through the plug-in's writer into an output file, safely:
// under a temporary name, checked block by block, moved into place only
// after the writer was destroyed and the file reached the disk. Non-finite
// samples are replaced first (see ReplaceNonFinite); the writer itself maps
// samples onto integer encodings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "abi/host_interface.h"

namespace pexo_host {

// Where the frames come from.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  virtual int Channels() = 0;
  virtual int SampleRate() = 0;
  virtual int64_t TotalFrames() = 0;  // expected, for progress; may be wrong
  // Up to frameCount frames into buffer; 0 at the end.
  virtual int Read(double* buffer, int frameCount) = 0;
};

// A decoder of the plug-in as a frame source.
class DecoderFrames : public FrameSource {
 public:
  explicit DecoderFrames(ISimpleMediaDecoder* decoder) : decoder(decoder) {}
  int Channels() override { return decoder->ChannelCount(); }
  int SampleRate() override;
  int64_t TotalFrames() override { return decoder->LengthFrames(); }
  int Read(double* buffer, int frameCount) override { return decoder->ReadFrames(buffer, frameCount); }

 private:
  ISimpleMediaDecoder* decoder;
};

struct WriteRequest {
  std::string output;
  std::vector<unsigned char> block;  // the configuration block
  std::string choice;                // "FLAC, Signed 16 bit PCM", for messages
  bool replace = false;
  std::string peaksPath;             // peaks file to write, or ""
  // When set, the finished file is read back through this decoder record
  // and must hold what was written before it is moved into place.
  const SourceRegistration* readBack = nullptr;
  // Called now and then with frames done and frames expected.
  std::function<void(int64_t done, int64_t total)> progress;
};

struct WriteResult {
  std::string description;  // the writer's DescribeOutput
  int64_t frames = 0;       // frames written
};

// Writes everything the source gives. False with a reason; then nothing is
// left behind.
bool WriteAudio(const SinkRegistration* sink, FrameSource& source, const WriteRequest& request,
                WriteResult* result, std::string* error);

}  // namespace pexo_host
