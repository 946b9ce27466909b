// Sparse files through libsndfile's virtual I/O.
#include "tests/sink/sparse_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <map>

namespace {

struct SparseFile {
  int descriptor = -1;
  sf_count_t position = 0;
  sf_count_t length = 0;
};

SndfileFunctions real;
std::map<SNDFILE*, SparseFile*> open;

SparseFile* As(void* user) { return static_cast<SparseFile*>(user); }

sf_count_t Length(void* user) { return As(user)->length; }

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
  SparseFile* file = As(user);
  if (whence == SEEK_SET) file->position = offset;
  if (whence == SEEK_CUR) file->position += offset;
  if (whence == SEEK_END) file->position = file->length + offset;
  return file->position;
}

sf_count_t Read(void* data, sf_count_t count, void* user) {
  SparseFile* file = As(user);
  ssize_t got = pread(file->descriptor, data, static_cast<size_t>(count), file->position);
  if (got < 0) got = 0;
  file->position += got;
  return got;
}

sf_count_t Write(const void* data, sf_count_t count, void* user) {
  SparseFile* file = As(user);
  const char* bytes = static_cast<const char*>(data);
  // All zeros when the first is and each byte equals the next.
  bool zeros = count <= 0 || (bytes[0] == 0 && std::memcmp(bytes, bytes + 1, static_cast<size_t>(count - 1)) == 0);
  // A hole reads as zeros; bytes written earlier at this place are not.
  if (!zeros || file->position < file->length) {
    if (pwrite(file->descriptor, data, static_cast<size_t>(count), file->position) != count) return 0;
  }
  file->position += count;
  if (file->position > file->length) file->length = file->position;
  return count;
}

sf_count_t Tell(void* user) { return As(user)->position; }

SF_VIRTUAL_IO kIo = {Length, Seek, Read, Write, Tell};

SNDFILE* Open(const char* path, int mode, SF_INFO* info) {
  if (mode != SFM_WRITE) return real.sf_open(path, mode, info);
  auto* file = new SparseFile;
  file->descriptor = ::open(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
  SNDFILE* handle = file->descriptor >= 0 ? sf_open_virtual(&kIo, mode, info, file) : nullptr;
  if (handle == nullptr) {
    if (file->descriptor >= 0) close(file->descriptor);
    delete file;
    return nullptr;
  }
  open[handle] = file;
  return handle;
}

int Close(SNDFILE* handle) {
  int result = real.sf_close(handle);
  auto found = open.find(handle);
  if (found != open.end()) {
    SparseFile* file = found->second;
    if (ftruncate(file->descriptor, file->length) != 0) result = 1;
    close(file->descriptor);
    delete file;
    open.erase(found);
  }
  return result;
}

}  // namespace

SparseOutput::SparseOutput() : saved(SndfileApi) {
  real = SndfileApi;
  SndfileApi.sf_open = &Open;
  SndfileApi.sf_close = &Close;
}

SparseOutput::~SparseOutput() { SndfileApi = saved; }
