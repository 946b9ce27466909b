// PCM_sink_libsndfile: the writer the host gets from makeSink. It opens its
// file with libsndfile when it is made, passes every block untouched to the
// host's PeakBuilder and then to libsndfile (for integer encodings mapped so
// that what the decoder read is stored back exactly), and closes the file
// when the host deletes it.
#pragma once

#include <sndfile.h>

#include <cstdint>

#include "abi/host_interface.h"
#include "sink/integer_samples.h"
#include "support/text_buffer.h"

class PCM_sink_libsndfile : public PCM_sink {
 public:
  // Never fails; IsOpen() tells whether the file could be opened.
  PCM_sink_libsndfile(const char* fileName, const void* block, int blockSize, int channels, int sampleRate,
                      bool buildPeaks);
#if PEXO_MSVC_TABLES
  void* DeletingDestructor(unsigned flags) noexcept override { return DeleteFromSlot0(this, flags); }
  ~PCM_sink_libsndfile();
#else
  ~PCM_sink_libsndfile() override;
#endif
  PCM_sink_libsndfile(const PCM_sink_libsndfile&) = delete;
  PCM_sink_libsndfile& operator=(const PCM_sink_libsndfile&) = delete;

  void DescribeOutput(char* buffer, int capacity) noexcept override;
  const char* GetOutputFileName() noexcept override;
  int GetChannelCount() noexcept override;
  double GetLengthSeconds() noexcept override;
  int64_t GetOutputCount() noexcept override;
  void WriteAuxiliary(int kind, void* data, int size) noexcept override;
  // frameCount x blockChannels interleaved values from buffers[0].
  int64_t WriteBlock(double** buffers, int frameCount, int blockChannels, int hostValue1,
                     int hostValue2) noexcept override;
  int PeakQuery(int request, void* data, int size) noexcept override;
  void PeakRecordQuery(void* record, int index, int flags) noexcept override;

  bool IsOpen() const { return fileHandle != nullptr; }

 private:
  SNDFILE* fileHandle = nullptr;
  int32_t formatWord = 0;
  float quality = 0.0f;
  TextBuffer majorName{128};
  TextBuffer subtypeName{128};
  int32_t channelCount = 0;
  int32_t sampleRate = 0;
  int64_t outputCount = 0;    // sample values libsndfile accepted
  int64_t framesWritten = 0;  // whole frames libsndfile accepted
  TextBuffer fileName{128};
  PeakBuilder* peakBuilder = nullptr;
  int64_t frameLimit = INT64_MAX;  // the most frames the container can describe
  IntegerSamples integerSamples;  // how samples of an integer encoding are handed over
  bool boundedSamples = false;    // u-law, A-law, MPEG layer III: samples kept in [-1, 1]
};
