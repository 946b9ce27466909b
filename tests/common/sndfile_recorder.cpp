// The recording wrappers of the libsndfile and PeakBuild_Create slots.
#include "tests/common/sndfile_recorder.h"

#include <cstdarg>
#include <cstdio>

#include "tests/common/test_host.h"

namespace {

SndfileRecorder* active = nullptr;
SndfileFunctions real;
PeakBuild_CreateFn realPeakBuildCreate = nullptr;

void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Note(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  test_host::Recorded().events.push_back(text);
}

const char* Handle(SNDFILE* file) { return file != nullptr ? "file" : "null"; }

int FormatCheck(const SF_INFO* info) {
  Note("sf_format_check 0x%08x %d %d", static_cast<unsigned>(info->format), info->channels, info->samplerate);
  return real.sf_format_check(info);
}

int Command(SNDFILE* file, int command, void* data, int size) {
  if (command == SFC_GET_FORMAT_INFO) {
    auto* info = static_cast<SF_FORMAT_INFO*>(data);
    Note("sf_command %s 0x%04x 0x%08x %d", Handle(file), command, static_cast<unsigned>(info->format), size);
    if (active->refuseFormatInfo) return 1;
  } else if (command == SFC_SET_COMPRESSION_LEVEL || command == SFC_SET_VBR_ENCODING_QUALITY) {
    Note("sf_command %s 0x%04x %.4f %d", Handle(file), command, *static_cast<double*>(data), size);
  } else {
    Note("sf_command %s 0x%04x", Handle(file), command);
  }
  if (active->commandAnswer) return active->commandAnswer(file, command, data, size);
  return real.sf_command(file, command, data, size);
}

SNDFILE* Open(const char* path, int mode, SF_INFO* info) {
  Note("sf_open %s 0x%x 0x%08x %d %d", path != nullptr ? path : "(null)", mode, static_cast<unsigned>(info->format), info->channels,
       info->samplerate);
  return real.sf_open(path, mode, info);
}

sf_count_t Seek(SNDFILE* file, sf_count_t frame, int whence) {
  Note("sf_seek %s %lld %d", Handle(file), static_cast<long long>(frame), whence);
  active->seeks.push_back({frame, whence});
  if (active->seekAnswer) return active->seekAnswer(file, frame, whence);
  return real.sf_seek(file, frame, whence);
}

sf_count_t ReadDouble(SNDFILE* file, double* buffer, sf_count_t frames) {
  Note("sf_readf_double %s %lld", Handle(file), static_cast<long long>(frames));
  ++active->reads;
  if (active->readAnswer) return active->readAnswer(file, buffer, frames);
  return real.sf_readf_double(file, buffer, frames);
}

sf_count_t WriteDouble(SNDFILE* file, const double* data, sf_count_t count) {
  Note("sf_write_double %s %lld", Handle(file), static_cast<long long>(count));
  active->writes.push_back({count, test_host::Recorded().peakCalls.size()});
  if (active->fakeWrites) return 0;
  return real.sf_write_double(file, data, count);
}

int Close(SNDFILE* file) {
  Note("sf_close %s", Handle(file));
  return real.sf_close(file);
}

PeakBuilder* PeakBuildCreate(void* reserved, const char* path, int sampleRate, int channels) {
  Note("PeakBuild_Create %s %s %d %d", reserved == nullptr ? "null" : "set", path != nullptr ? path : "(null)",
       sampleRate, channels);
  return realPeakBuildCreate(reserved, path, sampleRate, channels);
}

}  // namespace

SndfileRecorder::SndfileRecorder() : savedSndfile(SndfileApi), savedHost(HostApi) {
  active = this;
  real = SndfileApi;
  realPeakBuildCreate = HostApi.PeakBuild_Create;
  SndfileApi.sf_format_check = &FormatCheck;
  SndfileApi.sf_command = &Command;
  SndfileApi.sf_open = &Open;
  SndfileApi.sf_seek = &Seek;
  SndfileApi.sf_readf_double = &ReadDouble;
  SndfileApi.sf_write_double = &WriteDouble;
  SndfileApi.sf_close = &Close;
  if (realPeakBuildCreate != nullptr) HostApi.PeakBuild_Create = &PeakBuildCreate;
}

SndfileRecorder::~SndfileRecorder() {
  SndfileApi = savedSndfile;
  HostApi = savedHost;
  active = nullptr;
}
