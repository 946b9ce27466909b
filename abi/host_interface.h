// The plug-in boundary, as host and plug-in both compile it: the records
// exchanged at start-up, the host functions fetched by name, and the
// abstract classes with their virtual operations in the host's table
// order. Hosts and the plug-in must agree on this file to the byte: nothing
// here is reordered, and parameter names are free but order and types are
// not.
//
// Conventions for every call below:
// - Texts are 8-bit, NUL-terminated. On Windows they are UTF-8, file names
//   and the ini path included: the plug-in converts them to UTF-16 and opens
//   files and reads the ini through the wide-character calls, so a name in
//   any script works (a name that is not valid UTF-8 is passed to the 8-bit
//   calls as it is). A text returned by the plug-in is a
//   constant, a constant of libsndfile's, or owned by the object that
//   returned it; the caller never frees it. A text written into a caller's
//   buffer never goes past the size the caller gave.
// - Sizes and counts are signed 32-bit and compared as signed; frame
//   positions and lengths are signed 64-bit; samples are 64-bit floats,
//   full scale at +-1.0.
// - Objects handed to the host (a HostSource with its decoder, a writer, the
//   panel's window) belong to the host, which destroys them: decoders and
//   writers through their virtual destructors, which free them inside the
//   plug-in. The host's objects the plug-in receives (a PeakBuilder) belong
//   to the plug-in object that asked for them until it destroys them.
//
// Virtual tables. On Windows hosts are built with MSVC, whose table gives
// a virtual destructor one slot: slot 0, a deleting destructor
// void* (unsigned flags) that destroys the object, frees it when flags & 1
// and returns it; `delete p` calls it with flags 1. g++ for MinGW would lay
// a virtual destructor out as two slots and move every later operation, so
// there (PEXO_MSVC_TABLES) each class declares slot 0 as DeletingDestructor
// and has a protected, non-virtual destructor; every concrete class
// implements slot 0, and objects are destroyed with DestroyThroughTable.
// Elsewhere slot 0 is the ordinary virtual destructor. The later slots keep
// the declaration order; no operation is overloaded, no class inherits
// from two, and none is returned by value.
//
// Threads. The plug-in starts no threads and takes no locks of its own.
// - The entry runs alone: no other call into the plug-in may overlap it.
// - One decoder or one writer is used by one thread at a time; separate
//   decoders and writers may be used on separate threads at once, one
//   libsndfile handle each.
// - libsndfile keeps its last open error in process-wide state, so when
//   two opens fail at the same moment either may report the other's cause;
//   results (null, not ready) are always each call's own. A decoder's seek
//   back in a codec libsndfile cannot seek in (GSM 6.10, G.72x, DWVW, ...)
//   opens its file again: an open in this sense too.
// - The panel and its queries run on the thread that created it (the
//   platform's rule for windows). Panels read the stored defaults into one
//   buffer shared by all panels: open panels from one thread only.
// - The registration functions keep no state and may be called from any
//   thread.
#pragma once

#include <cstdint>
#include <new>

#include "platform/win32_types.h"

#if defined(_WIN32) && !defined(_MSC_VER)
#define PEXO_MSVC_TABLES 1
#else
#define PEXO_MSVC_TABLES 0
#endif

// What `delete object` is for an interface of this file: on MSVC's layout
// the deleting destructor in slot 0 with flags 1 (destroy, then free).
template <typename Interface>
void DestroyThroughTable(Interface* object) {
#if PEXO_MSVC_TABLES
  if (object != nullptr) object->DeletingDestructor(1);
#else
  delete object;
#endif
}

// Slot 0 of a concrete class on MSVC's layout: destroys object, frees it
// when flags & 1 (it was made with plain or nothrow new), returns it.
template <typename Concrete>
void* DeleteFromSlot0(Concrete* object, unsigned flags) noexcept {
  object->~Concrete();
  if ((flags & 1u) != 0) ::operator delete(object);
  return object;
}

// Slot 0 of every interface below, and its destructor.
#if PEXO_MSVC_TABLES
#define PEXO_INTERFACE_SLOT0(Interface)                \
 public:                                               \
  virtual void* DeletingDestructor(unsigned flags) = 0; \
                                                       \
 protected:                                            \
  ~Interface() {}                                      \
                                                       \
 public:
#else
#define PEXO_INTERFACE_SLOT0(Interface) \
 public:                                \
  virtual ~Interface() {}
#endif

// The host interface version, in PluginHostInfo::hostVersion. Only this
// exact version is accepted; older and newer hosts alike are refused.
constexpr int kHostInterfaceVersion = 0x20E;

// The message a host sends to the configuration panel to collect its
// choice. wParam: null, or an int* that receives the block size (32).
// lParam: null, or a buffer of at least 32 bytes that receives the tag, the
// format word and the quality in its first 12 bytes (SinkConfigBlock); its
// other bytes are left as they were. Answers 0.
constexpr UINT kConfigQuery = WM_USER + 1024;

// Given by the host to SarnicPluginEntry, read during the call only.
struct PluginHostInfo {
  int hostVersion;  // kHostInterfaceVersion
  void* reserved;   // never read
  // Registers a record under a key ("pcmsrc", "pcmsink"). The record is
  // constant data of the plug-in that keeps its address while the library
  // is loaded; the host keeps the pointer. The result is not examined.
  int (*registerItem)(const char* key, void* record);
  // The host function of that name (see the signatures below), or null.
  void* (*getApiFunction)(const char* name);
};

// A host's playable source. The host makes one around each decoder with
// PCM_Source_CreateFromSimple; the source owns the decoder.
class HostSource {
  // Slot 0: destroys the source and the decoder it owns.
  PEXO_INTERFACE_SLOT0(HostSource)
  // A copy of the source, owned by the caller. Not called by the plug-in.
  virtual HostSource* Duplicate() = 0;
  // True when the source can be played: its decoder's IsReady.
  virtual bool IsAvailable() = 0;
};

// A host's peak builder for a file being written, made by PeakBuild_Create
// and owned by the writer that asked for it, which destroys it after the
// file is closed. Called on the writer's thread.
class PeakBuilder {
  PEXO_INTERFACE_SLOT0(PeakBuilder)
  // One block, with the five arguments of the writer's WriteBlock exactly
  // as the host passed them (see PCM_sink::WriteBlock), before the block
  // reaches the file. The block is the host's; read it, do not keep it.
  virtual void AddBlock(double** buffers, int frameCount, int channelCount, int hostValue1,
                        int hostValue2) = 0;
  virtual void Reserved() = 0;  // not called by the plug-in
  // The host's own peak queries, passed on unchanged from the writer's
  // operations of the same names; their meaning is the host's.
  virtual int PeakQuery(int request, void* data, int size) = 0;
  virtual void PeakRecordQuery(void* record, int index, int flags) = 0;
};

// The plug-in's file reader (PEXO_SimpleMediaDecoder), as the host drives
// it. Every operation may be called in any state: without an open file the
// decoder answers zeros and does nothing on reads and seeks.
class ISimpleMediaDecoder {
  // Slot 0: closes the file and frees the decoder inside the plug-in.
  PEXO_INTERFACE_SLOT0(ISimpleMediaDecoder)
  // A new, unopened decoder with its own copy of this one's file name;
  // owned by the caller.
  virtual ISimpleMediaDecoder* MakeCopy() = 0;
  // Closes the open file, takes path as the new name (null: reopen the
  // stored name) and opens it for reading. The decoder copies path. The
  // outcome shows in IsReady.
  virtual void OpenFile(const char* path) = 0;
  // Closes the file. fileChanges: true when a different file follows;
  // ignored. Name, per-file values and position stay.
  virtual void CloseFile(bool fileChanges) = 0;
  // The stored name, "" when none; owned by the decoder, valid until the
  // next OpenFile with a name or the decoder's end.
  virtual const char* FileName() = 0;
  // The decoder's type tag, the constant "KOVRA".
  virtual const char* TypeTag() = 0;
  // Writes the file's description (seven lines, each ending in CR LF) into
  // text and a title into title, each bounded by its size in bytes: at
  // most that many, zero bytes after a shorter text, no terminator after a
  // text that fills the buffer. A size of 0 or less leaves a buffer alone.
  virtual void PropertiesText(char* text, int textSize, char* title, int titleSize) = 0;
  // True when a file is open with channels, a sample width and a rate.
  virtual bool IsReady() = 0;
  // The last opened file's values; 0 after a failed open.
  virtual int ChannelCount() = 0;
  virtual int SampleBits() = 0;        // nominal bits per sample
  virtual double SampleRateHz() = 0;
  virtual int64_t LengthFrames() = 0;
  // The frame the next read starts at, as the decoder counts it.
  virtual int64_t CurrentFrame() = 0;
  // Makes frame the current frame (a library seek when it differs).
  virtual void SeekToFrame(int64_t frame) = 0;
  // Reads up to frameCount frames into buffer, which has room for
  // frameCount x ChannelCount() samples, interleaved; returns the frames
  // read (0 at the end or without a file) and advances the current frame.
  virtual int ReadFrames(double* buffer, int frameCount) = 0;
  // Reserved for later calls: answers 0 and reads none of its arguments.
  virtual int ExtensionCall(int /*call*/, void* /*parm1*/, void* /*parm2*/, void* /*parm3*/) { return 0; }
};

// The plug-in's file writer (PCM_sink_libsndfile), as the host drives it:
// made by makeSink with its file open, fed with WriteBlock, and finished by
// deleting it, which closes the file.
class PCM_sink {
  // Slot 0: closes the file (completing it), then destroys the PeakBuilder.
  PEXO_INTERFACE_SLOT0(PCM_sink)
  // One line describing the output ("WAV (Microsoft), Signed 16 bit PCM,
  // Sr: 44100 Hz, Ch: 2ch") into buffer, at most capacity bytes.
  virtual void DescribeOutput(char* buffer, int capacity) = 0;
  // A value the host keeps with the writer; the writer never reads it.
  virtual double GetStoredValue() { return storedValue; }
  virtual void SetStoredValue(double value) { storedValue = value; }
  // The output's name as makeSink got it; owned by the writer.
  virtual const char* GetOutputFileName() = 0;
  virtual int GetChannelCount() = 0;
  // Seconds written so far: whole frames libsndfile took / the rate.
  virtual double GetLengthSeconds() = 0;
  // Sample values libsndfile took so far.
  virtual int64_t GetOutputCount() = 0;
  // Data that is not audio (markers, tags); the writer ignores it.
  virtual void WriteAuxiliary(int kind, void* data, int size) = 0;
  // Writes one block: frameCount frames of channelCount samples each, all
  // interleaved in buffers[0] (other pointers of the array are not read).
  // hostValue1 and hostValue2 are the host's own; the writer does not read
  // them and hands all five arguments to the PeakBuilder unchanged. The
  // block is the host's and is never written to. Returns the sample values
  // written; fewer than frameCount x channelCount is a write failure.
  virtual int64_t WriteBlock(double** buffers, int frameCount, int channelCount, int hostValue1,
                             int hostValue2) = 0;
  virtual bool WantsAuxiliary() { return false; }
  // The host's peak queries, passed on to the PeakBuilder; without one,
  // PeakQuery answers 0 and PeakRecordQuery sets the record's 32-bit peak
  // count (at kPeakRecordCountOffset) to 0.
  virtual int PeakQuery(int /*request*/, void* /*data*/, int /*size*/) { return 0; }
  virtual void PeakRecordQuery(void* /*record*/, int /*index*/, int /*flags*/) {}
  // Requests of later hosts; answers 0.
  virtual int GenericRequest(int /*request*/, void* /*data1*/, void* /*data2*/) { return 0; }

 protected:
  double storedValue = 0.0;
};

// Byte offset of the 32-bit peak count inside the host's peak record,
// which is at least 36 bytes long.
constexpr int kPeakRecordCountOffset = 32;

// Registered under "pcmsrc": how the host gets decoders.
struct SourceRegistration {
  // A source around a new decoder without a file, when tag is exactly
  // "KOVRA" (tagLength: the bytes the host vouches for, at least 5); else
  // null. The source is the host's.
  HostSource* (*makeFromTypeTag)(const char* tag, int tagLength);
  // A source around a decoder opened on path, for attempt levels above 6
  // (level: the host's count of its attempts to open the file), or null
  // when refused or when the file cannot be read. The source is the host's.
  HostSource* (*makeFromFile)(const char* path, int level);
  // The extension (constant, no dot, capitals) at index, or null past the
  // end; its description through description unless that is null.
  const char* (*listExtensions)(int index, const char** description);
};

// Registered under "pcmsink": how the host gets writers.
struct SinkRegistration {
  // The writer's type tag, kSinkTypeTag; its label (a constant) through
  // label unless that is null.
  unsigned int (*typeTagAndLabel)(const char** label);
  // The extension (constant, no dot) of the files a configuration block of
  // size bytes makes, or null for a block that is not the writer's.
  const char* (*extensionFor)(const void* block, int size);
  // A hidden configuration panel for the block, a child of parent, or
  // null. The window is the host's (DestroyWindow); the block is read only
  // during the call.
  HWND (*openConfigPanel)(const void* block, int size, HWND parent);
  // A writer for a new file at path with the block's settings, channels
  // and sampleRate (Hz), and a PeakBuilder when buildPeaks; null when the
  // block is not the writer's or the file cannot be written. The writer is
  // the host's; the block is read only during the call.
  PCM_sink* (*makeSink)(const char* path, const void* block, int size, int channels, int sampleRate,
                        bool buildPeaks);
};

// Signatures of the host functions, by the names the host exports them
// under. The plug-in calls them on whatever thread calls the plug-in.
// Required, never called.
using GetExePathFn = const char* (*)();
// Wraps decoder (now owned by the source) into a source of the host; opens
// it with decoder->OpenFile(path) when path is not null. Null on failure,
// and then the decoder is still the caller's.
using PCM_Source_CreateFromSimpleFn = HostSource* (*)(ISimpleMediaDecoder* decoder, const char* path);
// Writes seconds as the host shows times, NUL-terminated, into buffer of
// bufferSize bytes.
using format_timestrFn = void (*)(double seconds, char* buffer, int bufferSize);
// Adds to the host's disk counters. amountRead: what a decoder read, in
// bits (bits per sample x channels x frames); amountWritten: always 0.
using update_disk_countersFn = void (*)(int amountRead, int amountWritten);
// Shows a message to the user.
using ShowConsoleMsgFn = void (*)(const char* text);
// The path of the host's ini file, owned by the host.
using get_ini_fileFn = const char* (*)();
// Required, never called.
using GetPreferredDiskWriteModeFn = void (*)(int* mode, int* bufferCount, int* bufferSize);
// A peak builder for the file at path (reserved: always null), owned by
// the caller from then on; or null.
using PeakBuild_CreateFn = PeakBuilder* (*)(void* reserved, const char* path, int sampleRate, int channels);

// The entry point every plug-in exports. instance: the plug-in's own module
// handle (the panel's dialog template is among its resources). Returns 1
// when both records were registered, 0 otherwise.
extern "C" int SarnicPluginEntry(HINSTANCE instance, PluginHostInfo* hostInfo);
using SarnicPluginEntryFn = int (*)(HINSTANCE instance, PluginHostInfo* hostInfo);
