// The quiet host's functions and source.
#include "tests/common/quiet_host.h"

#include <cstdio>

#include "binding/host_api.h"

namespace quiet_host {
namespace {

class Source : public HostSource {
 public:
  Source(ISimpleMediaDecoder* decoder, const char* path) : decoder(decoder) {
    if (path != nullptr) decoder->OpenFile(path);
  }
  ~Source() override { delete decoder; }
  HostSource* Duplicate() override { return nullptr; }
  bool IsAvailable() override { return decoder->IsReady(); }
  ISimpleMediaDecoder* decoder;
};

HostSource* CreateFromSimple(ISimpleMediaDecoder* decoder, const char* path) { return new Source(decoder, path); }
void FormatTime(double seconds, char* buffer, int size) {
  std::snprintf(buffer, static_cast<size_t>(size), "%.3f", seconds);
}
void DiskCounters(int, int) {}
const char* NoPath() { return ""; }
void ShowMessage(const char*) {}
void DiskWriteMode(int*, int*, int*) {}
PeakBuilder* NoPeaks(void*, const char*, int, int) { return nullptr; }

}  // namespace

void InstallIntoHostApi() {
  HostApi = HostFunctions{NoPath, CreateFromSimple, FormatTime, DiskCounters, ShowMessage, NoPath,
                          DiskWriteMode, NoPeaks};
}

ISimpleMediaDecoder* DecoderOf(HostSource* source) { return static_cast<Source*>(source)->decoder; }

}  // namespace quiet_host
