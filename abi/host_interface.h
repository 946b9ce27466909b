// The host's side of the plug-in boundary: the records exchanged at start-up,
// the host functions fetched by name, and the host's abstract classes with
// their virtual operations in the host's table order. Hosts and the plug-in
// must agree on this file to the byte, so nothing here is reordered.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

// Host interface version accepted by the entry.
constexpr int kHostInterfaceVersion = 0x20E;

// Message the host sends to the configuration panel to collect its block.
constexpr UINT kConfigQuery = WM_USER + 1024;

struct PluginHostInfo {
  int hostVersion;
  void* reserved;  // never read
  int (*registerItem)(const char* key, void* record);
  void* (*getApiFunction)(const char* name);
};

class HostSource {
 public:
  virtual ~HostSource() {}
  virtual HostSource* Duplicate() = 0;  // not called by the plug-in
  virtual bool IsAvailable() = 0;
};

class PeakBuilder {
 public:
  virtual ~PeakBuilder() {}
  virtual void AddBlock(double** buffers, int count1, int count2, int value3, int value4) = 0;
  virtual void Reserved() = 0;  // not called by the plug-in
  virtual int PeakQuery(int request, void* data, int size) = 0;
  virtual void PeakRecordQuery(void* record, int index, int flags) = 0;
};

class ISimpleMediaDecoder {
 public:
  virtual ~ISimpleMediaDecoder() {}
  virtual ISimpleMediaDecoder* MakeCopy() = 0;
  virtual void OpenFile(const char* path) = 0;
  virtual void CloseFile(bool fileChanges) = 0;
  virtual const char* FileName() = 0;
  virtual const char* TypeTag() = 0;
  virtual void PropertiesText(char* text, int textSize, char* title, int titleSize) = 0;
  virtual bool IsReady() = 0;
  virtual int ChannelCount() = 0;
  virtual int SampleBits() = 0;
  virtual double SampleRateHz() = 0;
  virtual int64_t LengthFrames() = 0;
  virtual int64_t CurrentFrame() = 0;
  virtual void SeekToFrame(int64_t frame) = 0;
  virtual int ReadFrames(double* buffer, int frameCount) = 0;
  virtual int ExtensionCall(int /*call*/, void* /*parm1*/, void* /*parm2*/, void* /*parm3*/) { return 0; }
};

// count1 is the frame count and count2 the channel count of a block; the
// whole block is interleaved in buffers[0].
class PCM_sink {
 public:
  virtual ~PCM_sink() {}
  virtual void DescribeOutput(char* buffer, int capacity) = 0;
  virtual double GetStoredValue() { return storedValue; }
  virtual void SetStoredValue(double value) { storedValue = value; }
  virtual const char* GetOutputFileName() = 0;
  virtual int GetChannelCount() = 0;
  virtual double GetLengthSeconds() = 0;
  virtual int64_t GetOutputCount() = 0;
  virtual void WriteAuxiliary(int kind, void* data, int size) = 0;
  virtual int64_t WriteBlock(double** buffers, int count1, int count2, int value3, int value4) = 0;
  virtual bool WantsAuxiliary() { return false; }
  virtual int PeakQuery(int /*request*/, void* /*data*/, int /*size*/) { return 0; }
  virtual void PeakRecordQuery(void* /*record*/, int /*index*/, int /*flags*/) {}
  virtual int GenericRequest(int /*request*/, void* /*data1*/, void* /*data2*/) { return 0; }

 protected:
  double storedValue = 0.0;
};

// Byte offset of the 32-bit peak count inside the host's peak record.
constexpr int kPeakRecordCountOffset = 32;

struct SourceRegistration {
  HostSource* (*makeFromTypeTag)(const char* tag, int tagLength);
  HostSource* (*makeFromFile)(const char* path, int level);
  const char* (*listExtensions)(int index, const char** description);
};

struct SinkRegistration {
  unsigned int (*typeTagAndLabel)(const char** label);
  const char* (*extensionFor)(const void* block, int size);
  HWND (*openConfigPanel)(const void* block, int size, HWND parent);
  PCM_sink* (*makeSink)(const char* path, const void* block, int size, int channels,
                        int sampleRate, bool buildPeaks);
};

// Signatures of the host functions, by the names the host exports them under.
using GetExePathFn = const char* (*)();
using PCM_Source_CreateFromSimpleFn = HostSource* (*)(ISimpleMediaDecoder* decoder, const char* path);
using format_timestrFn = void (*)(double seconds, char* buffer, int bufferSize);
using update_disk_countersFn = void (*)(int amountRead, int amountWritten);
using ShowConsoleMsgFn = void (*)(const char* text);
using get_ini_fileFn = const char* (*)();
using GetPreferredDiskWriteModeFn = void (*)(int* mode, int* bufferCount, int* bufferSize);
using PeakBuild_CreateFn = PeakBuilder* (*)(void* reserved, const char* path, int sampleRate, int channels);

// The entry point every plug-in exports.
extern "C" int SarnicPluginEntry(HINSTANCE instance, PluginHostInfo* hostInfo);
using SarnicPluginEntryFn = int (*)(HINSTANCE instance, PluginHostInfo* hostInfo);
