/* A host written in plain C, as MSVC-compiled hosts reach the plug-in:
 * every interface operation is called through its slot index in the
 * object's table (this in RCX, the Microsoft x64 convention), objects are
 * deleted through slot 0 with flags 1, and the host's own objects (its
 * source and peak builder) are C structures with tables laid out the same
 * way. The decoder's answers are checked against libsndfile called
 * directly; the host's objects are counted, so a leak or a double delete
 * shows; a loop of cycles checks that the process's private memory stays
 * flat.
 *
 * Usage: c_host PLUGIN_DLL    (files go to a new folder in the temporary
 * folder, removed at the end)
 * Ends with "N passed, N failed" and exits 1 when anything failed. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <psapi.h>

/* ---- checks ---- */

static int passed, failed;
#define CHECK(condition, ...)                      \
  do {                                             \
    if (condition) {                               \
      ++passed;                                    \
    } else {                                       \
      ++failed;                                    \
      printf("FAILED %s:%d: ", __FILE__, __LINE__); \
      printf(__VA_ARGS__);                         \
      printf("\n");                                \
    }                                              \
  } while (0)

/* ---- the interface by slot (shared/host-abi tables) ---- */

typedef void* Object;
static void* Slot(Object object, int index) { return (*(void***)object)[index]; }

enum { kDelete = 0 };
enum {
  kMakeCopy = 1, kOpenFile, kCloseFile, kFileName, kTypeTag, kPropertiesText, kIsReady, kChannelCount,
  kSampleBits, kSampleRateHz, kLengthFrames, kCurrentFrame, kSeekToFrame, kReadFrames, kExtensionCall
};
enum {
  kDescribeOutput = 1, kGetStoredValue, kSetStoredValue, kGetOutputFileName, kGetChannelCount,
  kGetLengthSeconds, kGetOutputCount, kWriteAuxiliary, kWriteBlock, kWantsAuxiliary, kSinkPeakQuery,
  kSinkPeakRecordQuery, kGenericRequest
};
enum { kSourceDuplicate = 1, kSourceIsAvailable = 2 };

typedef void* (*DeleteFn)(Object, unsigned);
static void Delete(Object object) { ((DeleteFn)Slot(object, kDelete))(object, 1); }

/* Decoder operations. */
#define CALL0(type, object, slot) ((type(*)(Object))Slot(object, slot))(object)
static Object DecoderMakeCopy(Object d) { return CALL0(Object, d, kMakeCopy); }
static void DecoderOpenFile(Object d, const char* path) { ((void (*)(Object, const char*))Slot(d, kOpenFile))(d, path); }
static void DecoderCloseFile(Object d, int changes) { ((void (*)(Object, _Bool))Slot(d, kCloseFile))(d, changes != 0); }
static const char* DecoderFileName(Object d) { return CALL0(const char*, d, kFileName); }
static const char* DecoderTypeTag(Object d) { return CALL0(const char*, d, kTypeTag); }
static void DecoderPropertiesText(Object d, char* text, int textSize, char* title, int titleSize) {
  ((void (*)(Object, char*, int, char*, int))Slot(d, kPropertiesText))(d, text, textSize, title, titleSize);
}
static _Bool DecoderIsReady(Object d) { return CALL0(_Bool, d, kIsReady); }
static int DecoderChannelCount(Object d) { return CALL0(int, d, kChannelCount); }
static int DecoderSampleBits(Object d) { return CALL0(int, d, kSampleBits); }
static double DecoderSampleRateHz(Object d) { return CALL0(double, d, kSampleRateHz); }
static int64_t DecoderLengthFrames(Object d) { return CALL0(int64_t, d, kLengthFrames); }
static int64_t DecoderCurrentFrame(Object d) { return CALL0(int64_t, d, kCurrentFrame); }
static void DecoderSeekToFrame(Object d, int64_t frame) { ((void (*)(Object, int64_t))Slot(d, kSeekToFrame))(d, frame); }
static int DecoderReadFrames(Object d, double* buffer, int count) {
  return ((int (*)(Object, double*, int))Slot(d, kReadFrames))(d, buffer, count);
}
static int DecoderExtensionCall(Object d, int call, void* a, void* b, void* c) {
  return ((int (*)(Object, int, void*, void*, void*))Slot(d, kExtensionCall))(d, call, a, b, c);
}

/* Writer operations. */
static void DescribeOutput(Object s, char* buffer, int capacity) {
  ((void (*)(Object, char*, int))Slot(s, kDescribeOutput))(s, buffer, capacity);
}
static double GetStoredValue(Object s) { return CALL0(double, s, kGetStoredValue); }
static void SetStoredValue(Object s, double v) { ((void (*)(Object, double))Slot(s, kSetStoredValue))(s, v); }
static const char* GetOutputFileName(Object s) { return CALL0(const char*, s, kGetOutputFileName); }
static int GetChannelCount(Object s) { return CALL0(int, s, kGetChannelCount); }
static double GetLengthSeconds(Object s) { return CALL0(double, s, kGetLengthSeconds); }
static int64_t GetOutputCount(Object s) { return CALL0(int64_t, s, kGetOutputCount); }
static void WriteAuxiliary(Object s, int kind, void* data, int size) {
  ((void (*)(Object, int, void*, int))Slot(s, kWriteAuxiliary))(s, kind, data, size);
}
static int64_t WriteBlock(Object s, double** buffers, int frames, int channels, int v3, int v4) {
  return ((int64_t(*)(Object, double**, int, int, int, int))Slot(s, kWriteBlock))(s, buffers, frames, channels, v3, v4);
}
static _Bool WantsAuxiliary(Object s) { return CALL0(_Bool, s, kWantsAuxiliary); }
static int SinkPeakQuery(Object s, int request, void* data, int size) {
  return ((int (*)(Object, int, void*, int))Slot(s, kSinkPeakQuery))(s, request, data, size);
}
static void SinkPeakRecordQuery(Object s, void* record, int index, int flags) {
  ((void (*)(Object, void*, int, int))Slot(s, kSinkPeakRecordQuery))(s, record, index, flags);
}
static int GenericRequest(Object s, int request, void* a, void* b) {
  return ((int (*)(Object, int, void*, void*))Slot(s, kGenericRequest))(s, request, a, b);
}

/* ---- records ---- */

typedef struct {
  int hostVersion;
  void* reserved;
  int (*registerItem)(const char* key, void* record);
  void* (*getApiFunction)(const char* name);
} PluginHostInfo;

typedef struct {
  Object (*makeFromTypeTag)(const char* tag, int tagLength);
  Object (*makeFromFile)(const char* path, int level);
  const char* (*listExtensions)(int index, const char** description);
} SourceRegistration;

typedef struct {
  unsigned (*typeTagAndLabel)(const char** label);
  const char* (*extensionFor)(const void* block, int size);
  HWND (*openConfigPanel)(const void* block, int size, HWND parent);
  Object (*makeSink)(const char* path, const void* block, int size, int channels, int rate, _Bool peaks);
} SinkRegistration;

static const SourceRegistration* sourceRecord;
static const SinkRegistration* sinkRecord;

static int RegisterItem(const char* key, void* record) {
  if (strcmp(key, "pcmsrc") == 0) sourceRecord = record;
  if (strcmp(key, "pcmsink") == 0) sinkRecord = record;
  return 1;
}

/* ---- the host's objects: a source and a peak builder, with tables ---- */

static int liveSources, liveBuilders, builderBlocks, builderQueries, badFlags;

typedef struct {
  const void* const* table;
  Object decoder;
} Source;

static void* SourceDelete(Source* self, unsigned flags) {
  if (flags != 1) ++badFlags;
  Delete(self->decoder);
  free(self);
  --liveSources;
  return NULL; /* MSVC's returns the address; callers never use it */
}
static Source* SourceDuplicate(Source* self) { (void)self; return NULL; }
static _Bool SourceIsAvailable(Source* self) { return DecoderIsReady(self->decoder); }
static const void* const kSourceTable[] = {(void*)SourceDelete, (void*)SourceDuplicate, (void*)SourceIsAvailable};

static Object CreateFromSimple(Object decoder, const char* path) {
  Source* source = malloc(sizeof *source);
  if (source == NULL) return NULL;
  source->table = kSourceTable;
  source->decoder = decoder;
  ++liveSources;
  if (path != NULL) DecoderOpenFile(decoder, path);
  return source;
}

typedef struct {
  const void* const* table;
} Builder;

static void* BuilderDelete(Builder* self, unsigned flags) {
  if (flags != 1) ++badFlags;
  free(self);
  --liveBuilders;
  return NULL;
}
static void BuilderAddBlock(Builder* self, double** buffers, int frames, int channels, int v3, int v4) {
  (void)self, (void)buffers, (void)frames, (void)channels;
  if (v3 == 11 && v4 == 22) ++builderBlocks;
}
static void BuilderReserved(Builder* self) { (void)self; }
static int BuilderPeakQuery(Builder* self, int request, void* data, int size) {
  (void)self, (void)data, (void)size;
  ++builderQueries;
  return request + 1000;
}
static void BuilderPeakRecordQuery(Builder* self, void* record, int index, int flags) {
  (void)self, (void)index, (void)flags;
  int32_t count = 77;
  memcpy((char*)record + 32, &count, 4);
  ++builderQueries;
}
static const void* const kBuilderTable[] = {(void*)BuilderDelete, (void*)BuilderAddBlock, (void*)BuilderReserved,
                                            (void*)BuilderPeakQuery, (void*)BuilderPeakRecordQuery};

static Object PeakBuildCreate(void* reserved, const char* path, int rate, int channels) {
  (void)reserved, (void)path, (void)rate, (void)channels;
  Builder* builder = malloc(sizeof *builder);
  if (builder == NULL) return NULL;
  builder->table = kBuilderTable;
  ++liveBuilders;
  return builder;
}

/* ---- the other host functions ---- */

static char iniPath[1024];
static const char* GetExePath(void) { return "."; }
static void FormatTime(double seconds, char* buffer, int size) { snprintf(buffer, (size_t)size, "%.3f", seconds); }
static int64_t bitsRead;
static void UpdateDiskCounters(int read, int written) { bitsRead += read + written; }
static void ShowConsoleMsg(const char* text) { printf("host console: %s\n", text); }
static const char* GetIniFile(void) { return iniPath; }
static void DiskWriteMode(int* a, int* b, int* c) { *a = 0, *b = 0, *c = 0; }

static void* GetApiFunction(const char* name) {
  static const struct { const char* name; void* function; } table[] = {
      {"GetExePath", (void*)GetExePath}, {"PCM_Source_CreateFromSimple", (void*)CreateFromSimple},
      {"format_timestr", (void*)FormatTime}, {"update_disk_counters", (void*)UpdateDiskCounters},
      {"ShowConsoleMsg", (void*)ShowConsoleMsg}, {"get_ini_file", (void*)GetIniFile},
      {"GetPreferredDiskWriteMode", (void*)DiskWriteMode}, {"PeakBuild_Create", (void*)PeakBuildCreate},
  };
  for (size_t i = 0; i < sizeof table / sizeof table[0]; ++i)
    if (strcmp(table[i].name, name) == 0) return table[i].function;
  return NULL;
}

/* ---- libsndfile called directly, for the expected samples ---- */

typedef struct {
  int64_t frames;
  int samplerate, channels, format, sections, seekable;
} SfInfo;
static void* (*sf_wchar_open)(const wchar_t*, int, SfInfo*);
static int64_t (*sf_seek)(void*, int64_t, int);
static int64_t (*sf_readf_double)(void*, double*, int64_t);
static int (*sf_close)(void*);

static void* OpenDirectly(const char* utf8Name, SfInfo* info) {
  wchar_t wide[1024];
  if (MultiByteToWideChar(CP_UTF8, 0, utf8Name, -1, wide, 1024) <= 0) return NULL;
  memset(info, 0, sizeof *info);
  return sf_wchar_open(wide, 0x10 /* SFM_READ */, info);
}

/* ---- the cases ---- */

enum { kFrames = 3000, kChannels = 2, kRate = 44100 };
static const int kWav24 = 0x010000 | 0x0003;  /* SF_FORMAT_WAV | SF_FORMAT_PCM_24 */
static const int kFlac16 = 0x170000 | 0x0002; /* SF_FORMAT_FLAC | SF_FORMAT_PCM_16 */
static unsigned sinkTag;

static void MakeBlock(unsigned char block[32], int formatWord, float quality) {
  memset(block, 0, 32);
  memcpy(block, &sinkTag, 4);
  memcpy(block + 4, &formatWord, 4);
  memcpy(block + 8, &quality, 4);
}

static double Sample(int frame, int channel) {
  return 0.5 * sin(0.01 * (frame + 1) * (channel + 1)) + 0.25 * cos(0.003 * frame);
}

/* Writes the test signal through every writer slot; the writer is deleted
 * through slot 0. Returns the number of checks that failed. */
static int WriteThroughSink(const char* path, int formatWord) {
  int before = failed;
  unsigned char block[32];
  MakeBlock(block, formatWord, 0.5f);
  Object sink = sinkRecord->makeSink(path, block, 32, kChannels, kRate, 1);
  CHECK(sink != NULL, "makeSink(%s)", path);
  if (sink == NULL) return failed - before;
  CHECK(liveBuilders == 1, "one peak builder made, %d live", liveBuilders);
  char text[256];
  DescribeOutput(sink, text, sizeof text);
  CHECK(strstr(text, "Sr: 44100 Hz, Ch: 2ch") != NULL, "DescribeOutput: %s", text);
  SetStoredValue(sink, 12.5);
  CHECK(GetStoredValue(sink) == 12.5, "stored value kept");
  CHECK(strcmp(GetOutputFileName(sink), path) == 0, "GetOutputFileName: %s", GetOutputFileName(sink));
  CHECK(GetChannelCount(sink) == kChannels, "GetChannelCount %d", GetChannelCount(sink));
  WriteAuxiliary(sink, 1, text, 4);
  CHECK(!WantsAuxiliary(sink), "WantsAuxiliary false");
  CHECK(GenericRequest(sink, 5, NULL, NULL) == 0, "GenericRequest answers 0");
  static double samples[kFrames * kChannels];
  for (int f = 0; f < kFrames; ++f)
    for (int c = 0; c < kChannels; ++c) samples[f * kChannels + c] = Sample(f, c);
  int blocks = 0;
  for (int start = 0; start < kFrames; start += 1000, ++blocks) {
    double* buffers[2] = {samples + start * kChannels, NULL};
    int64_t written = WriteBlock(sink, buffers, 1000, kChannels, 11, 22);
    CHECK(written == 1000 * kChannels, "WriteBlock wrote %lld", (long long)written);
  }
  CHECK(builderBlocks == blocks, "peak builder saw %d of %d blocks", builderBlocks, blocks);
  CHECK(GetOutputCount(sink) == kFrames * kChannels, "GetOutputCount %lld", (long long)GetOutputCount(sink));
  CHECK(fabs(GetLengthSeconds(sink) - (double)kFrames / kRate) < 1e-9, "GetLengthSeconds %f", GetLengthSeconds(sink));
  CHECK(SinkPeakQuery(sink, 3, NULL, 0) == 1003, "PeakQuery passed to the builder");
  unsigned char record[40] = {0};
  SinkPeakRecordQuery(sink, record, 0, 0);
  int32_t count;
  memcpy(&count, record + 32, 4);
  CHECK(count == 77, "PeakRecordQuery passed to the builder (%d)", count);
  Delete(sink);
  CHECK(liveBuilders == 0, "the writer deleted its peak builder through slot 0 (%d live)", liveBuilders);
  builderBlocks = 0;
  return failed - before;
}

/* Reads the file through every decoder slot and compares with libsndfile. */
static void ReadThroughDecoder(const char* path, int bits) {
  Source* source = sourceRecord->makeFromFile(path, 7);
  CHECK(source != NULL, "makeFromFile(%s)", path);
  if (source == NULL) return;
  Object decoder = source->decoder;
  CHECK(((_Bool(*)(Object))((void**)source->table)[kSourceIsAvailable])(source), "source available");
  CHECK(DecoderIsReady(decoder), "IsReady");
  CHECK(strcmp(DecoderTypeTag(decoder), "KOVRA") == 0, "TypeTag %s", DecoderTypeTag(decoder));
  CHECK(strcmp(DecoderFileName(decoder), path) == 0, "FileName %s", DecoderFileName(decoder));
  CHECK(DecoderChannelCount(decoder) == kChannels, "ChannelCount %d", DecoderChannelCount(decoder));
  CHECK(DecoderSampleBits(decoder) == bits, "SampleBits %d", DecoderSampleBits(decoder));
  CHECK(DecoderSampleRateHz(decoder) == kRate, "SampleRateHz %f", DecoderSampleRateHz(decoder));
  CHECK(DecoderLengthFrames(decoder) == kFrames, "LengthFrames %lld", (long long)DecoderLengthFrames(decoder));
  char text[512], title[64];
  DecoderPropertiesText(decoder, text, sizeof text, title, sizeof title);
  CHECK(strstr(text, "Samplerate: 44100\r\n") != NULL, "PropertiesText: %s", text);
  CHECK(DecoderExtensionCall(decoder, 1, NULL, NULL, NULL) == 0, "ExtensionCall answers 0");

  SfInfo info;
  void* direct = OpenDirectly(path, &info);
  CHECK(direct != NULL && info.frames == kFrames, "libsndfile opens %s directly", path);
  if (direct != NULL) {
    static double mine[kFrames * kChannels], theirs[kFrames * kChannels];
    const int64_t starts[] = {0, 1234, 17, 2999};
    for (size_t i = 0; i < sizeof starts / sizeof starts[0]; ++i) {
      DecoderSeekToFrame(decoder, starts[i]);
      CHECK(DecoderCurrentFrame(decoder) == starts[i], "CurrentFrame after a seek to %lld", (long long)starts[i]);
      int got = DecoderReadFrames(decoder, mine, 700);
      sf_seek(direct, starts[i], 0);
      int64_t expected = sf_readf_double(direct, theirs, 700);
      CHECK(got == expected, "ReadFrames from %lld: %d, libsndfile %lld", (long long)starts[i], got, (long long)expected);
      CHECK(memcmp(mine, theirs, sizeof(double) * (size_t)got * kChannels) == 0, "samples from %lld as libsndfile's",
            (long long)starts[i]);
      CHECK(DecoderCurrentFrame(decoder) == starts[i] + got, "CurrentFrame after the read");
    }
    sf_close(direct);
  }
  Object copy = DecoderMakeCopy(decoder);
  CHECK(copy != NULL && strcmp(DecoderFileName(copy), path) == 0 && !DecoderIsReady(copy), "MakeCopy: same name, not open");
  if (copy != NULL) {
    DecoderOpenFile(copy, NULL);
    CHECK(DecoderIsReady(copy), "the copy opens its stored name");
    Delete(copy);
  }
  DecoderCloseFile(decoder, 0);
  double frame[kChannels];
  CHECK(!DecoderIsReady(decoder) && DecoderReadFrames(decoder, frame, 1) == 0, "closed: nothing read");
  ((DeleteFn)((void**)source->table)[kDelete])(source, 1);
}

static SIZE_T PrivateBytes(void) {
  PROCESS_MEMORY_COUNTERS_EX counters;
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&counters, sizeof counters)) return 0;
  return counters.PrivateUsage;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s PLUGIN_DLL\n", argv[0]);
    return 2;
  }
  char folder[MAX_PATH], temp[MAX_PATH];
  if (GetTempPathA(sizeof temp, temp) == 0) return 1;
  snprintf(folder, sizeof folder, "%spexo-c-host-%lu", temp, GetCurrentProcessId());
  if (!CreateDirectoryA(folder, NULL)) return 1;
  char wav[1024], flac[1024];
  snprintf(wav, sizeof wav, "%s\\c-host.wav", folder);
  snprintf(flac, sizeof flac, "%s\\c-host.flac", folder);
  HMODULE plugin = LoadLibraryA(argv[1]);
  CHECK(plugin != NULL, "LoadLibraryA(%s): error %lu", argv[1], GetLastError());
  HMODULE sndfile = LoadLibraryA("libsndfile-1.dll");
  CHECK(sndfile != NULL, "libsndfile-1.dll loads");
  if (plugin == NULL || sndfile == NULL) goto done;
  sf_wchar_open = (void*)GetProcAddress(sndfile, "sf_wchar_open");
  sf_seek = (void*)GetProcAddress(sndfile, "sf_seek");
  sf_readf_double = (void*)GetProcAddress(sndfile, "sf_readf_double");
  sf_close = (void*)GetProcAddress(sndfile, "sf_close");
  int (*entry)(HINSTANCE, PluginHostInfo*) = (void*)GetProcAddress(plugin, "SarnicPluginEntry");
  CHECK(entry != NULL, "SarnicPluginEntry exported");
  if (entry == NULL || sf_wchar_open == NULL) goto done;
  snprintf(iniPath, sizeof iniPath, "%s\\host.ini", folder);
  PluginHostInfo info = {0x20E, NULL, RegisterItem, GetApiFunction};
  CHECK(entry(plugin, &info) == 1, "the entry registers");
  CHECK(sourceRecord != NULL && sinkRecord != NULL, "both records registered");
  if (sourceRecord == NULL || sinkRecord == NULL) goto done;
  sinkTag = sinkRecord->typeTagAndLabel(NULL);

  /* A source without a file, opened through slot 2. */
  Source* empty = sourceRecord->makeFromTypeTag("KOVRA", 5);
  CHECK(empty != NULL && !DecoderIsReady(empty->decoder), "makeFromTypeTag: a decoder without a file");

  if (WriteThroughSink(wav, kWav24) == 0) ReadThroughDecoder(wav, 24);
  if (WriteThroughSink(flac, kFlac16) == 0) ReadThroughDecoder(flac, 16);
  if (empty != NULL) {
    DecoderOpenFile(empty->decoder, wav);
    CHECK(DecoderIsReady(empty->decoder) && DecoderLengthFrames(empty->decoder) == kFrames, "OpenFile through slot 2");
    ((DeleteFn)((void**)empty->table)[kDelete])(empty, 1);
  }
  CHECK(liveSources == 0 && liveBuilders == 0 && badFlags == 0, "host objects: %d sources, %d builders live, %d deletes without flags 1",
        liveSources, liveBuilders, badFlags);

  /* Cycles: private memory must not grow with them. */
  int before = failed;
  SIZE_T start = 0;
  for (int cycle = 0; cycle < 300 && failed == before; ++cycle) {
    if (cycle == 50) start = PrivateBytes();
    Source* source = sourceRecord->makeFromFile(wav, 7);
    CHECK(source != NULL, "cycle %d: makeFromFile", cycle);
    if (source == NULL) break;
    double frames[64 * kChannels];
    DecoderReadFrames(source->decoder, frames, 64);
    ((DeleteFn)((void**)source->table)[kDelete])(source, 1);
    unsigned char block[32];
    MakeBlock(block, kWav24, 0.5f);
    Object sink = sinkRecord->makeSink(flac, block, 32, kChannels, kRate, 1);
    CHECK(sink != NULL, "cycle %d: makeSink", cycle);
    if (sink == NULL) break;
    double* buffers[2] = {frames, NULL};
    WriteBlock(sink, buffers, 64, kChannels, 0, 0);
    Delete(sink);
  }
  SIZE_T end = PrivateBytes();
  CHECK(end <= start + 512 * 1024, "private bytes over 250 cycles: %lu before, %lu after", (unsigned long)start,
        (unsigned long)end);
  CHECK(liveSources == 0 && liveBuilders == 0 && badFlags == 0, "after the cycles: %d sources, %d builders live",
        liveSources, liveBuilders);

done:
  DeleteFileA(wav);
  DeleteFileA(flac);
  DeleteFileA(iniPath);
  RemoveDirectoryA(folder);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}
