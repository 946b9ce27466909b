// A recording host for tests: the eight host functions, a HostSource that
// owns a decoder as a host's does, and a PeakBuilder that records its calls.
// White-box tests install it straight into HostApi; black-box tests hand
// HostInfo() to the entry of the plug-in they loaded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "abi/host_interface.h"

namespace test_host {

struct DiskCounterCall {
  int amountRead;
  int amountWritten;
};

struct PeakCall {
  std::string operation;  // "AddBlock", "PeakQuery", "PeakRecordQuery", "destroyed"
  double** buffers = nullptr;
  int count1 = 0, count2 = 0, value3 = 0, value4 = 0;
};

// Everything the host saw, in order. Reset() clears it.
struct Record {
  std::vector<std::string> namesAsked;  // getApiFunction
  std::vector<std::pair<std::string, void*>> registrations;
  std::vector<std::string> consoleMessages;
  std::vector<DiskCounterCall> diskCounters;
  std::vector<std::string> sourcesCreated;  // path given, "(null)" for none
  int sourcesAlive = 0;
  int peakBuildersCreated = 0;
  int peakBuildersAlive = 0;
  std::vector<PeakCall> peakCalls;
  std::vector<std::string> events;  // cross-object order: "peak destroyed", ...
};
Record& Recorded();
void Reset();

// Which host functions getApiFunction answers; all eight by default.
void SetMissingFunctions(std::vector<std::string> names);
std::string& IniPath();  // what get_ini_file returns
// Called when the recording PeakBuilder is destroyed (for order checks).
std::function<void()>& OnPeakBuilderDestroyed();
// When set, PeakBuild_Create returns null.
bool& RefusePeakBuilder();
// When set, PCM_Source_CreateFromSimple returns null (and keeps nothing).
bool& RefuseSources();

// The host side of the entry.
PluginHostInfo HostInfo(int version = kHostInterfaceVersion);
void* GetApiFunction(const char* name);
// The host function of that name, without recording the question.
void* FunctionNamed(const char* name);

// Sets every HostApi slot to the recording functions (white-box tests).
void InstallIntoHostApi();

// The decoder inside a source created by PCM_Source_CreateFromSimple.
ISimpleMediaDecoder* DecoderOf(HostSource* source);

// format_timestr as the test host renders it: "%.3f s".
void FormatTime(double seconds, char* buffer, int size);

}  // namespace test_host
