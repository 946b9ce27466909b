// ReadSinkDefaults: the stored default block, from the host's ini file.
#include "sink/sink_defaults.h"

#include "binding/host_api.h"
#include "platform/profile_names.h"
#include "support/heap_buffer.h"

namespace {
constexpr int kLargestStoredBlock = 1 << 20;
}  // namespace

int ReadSinkDefaults(const void** block, const char* section) {
  // Made on first use; its storage is given back at process exit.
  static HeapBuffer stored(4096);

  if (HostApi.get_ini_file == nullptr) return 0;
  const char* path = HostApi.get_ini_file();
  int size = static_cast<int>(ReadProfileInt(section, kSinkDefaultsSizeKey, 0, path));
  // A real block is a few dozen bytes; a larger size is damage, and must
  // not make the host's process reserve up to 2 GiB.
  if (size < 1 || size > kLargestStoredBlock) return 0;
  stored.Resize(size, true);
  if (stored.GetSize() != size) return 0;
  if (!ReadProfileStruct(section, kSinkDefaultsBlockKey, stored.Get(), static_cast<UINT>(size), path)) return 0;
  if (block != nullptr) *block = stored.Get();
  return size;
}
