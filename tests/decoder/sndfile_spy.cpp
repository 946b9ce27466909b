// The recording wrappers of SndfileSpy.
#include "tests/decoder/sndfile_spy.h"

#include "binding/sndfile_api.h"

namespace {

SndfileSpy* active = nullptr;
SndfileFunctions saved;

sf_count_t Seek(SNDFILE* handle, sf_count_t frame, int whence) {
  active->seeks.push_back({frame, whence});
  return saved.sf_seek(handle, frame, whence);
}

sf_count_t Read(SNDFILE* handle, double* buffer, sf_count_t frames) {
  ++active->reads;
  if (active->readAnswer) return active->readAnswer(handle, buffer, frames);
  return saved.sf_readf_double(handle, buffer, frames);
}

int Command(SNDFILE* handle, int command, void* data, int size) {
  if (active->commandAnswer) return active->commandAnswer(handle, command, data, size);
  return saved.sf_command(handle, command, data, size);
}

}  // namespace

SndfileSpy::SndfileSpy() {
  saved = SndfileApi;
  active = this;
  SndfileApi.sf_seek = &Seek;
  SndfileApi.sf_readf_double = &Read;
  SndfileApi.sf_command = &Command;
}

SndfileSpy::~SndfileSpy() {
  SndfileApi = saved;
  active = nullptr;
}
