// Resource lookup in ELF notes. glibc's dlopen handles are the objects'
// link maps; a handle is accepted only when it is one of the maps on the
// loader's list (compared, never dereferenced first), and that object's
// program headers are then found by its load address and dynamic section.
#include "platform/win32/module_resources.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "platform/win32_resources.h"

namespace win32_layer {
namespace {

const link_map* MainProgramMap() {
  static const link_map* const map = [] {
    void* self = dlopen(nullptr, RTLD_LAZY);
    link_map* found = nullptr;
    if (self != nullptr && dlinfo(self, RTLD_DI_LINKMAP, &found) != 0) found = nullptr;
    return found;
  }();
  return map;
}

struct Search {
  const void* module;  // null for the main program
  const link_map* main;
  uint32_t kind;
  uint32_t number;
  const link_map* target = nullptr;
  bool resolved = false;
  const unsigned char* data = nullptr;
  size_t size = 0;
};

uint32_t NativeWord(const unsigned char* bytes) {
  uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

uint32_t LittleEndianWord(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

size_t AlignUp(size_t value, size_t alignment) { return (value + alignment - 1) & ~(alignment - 1); }

// Walks the notes of one PT_NOTE segment; every length is checked against
// the segment before it is used.
bool ScanNotes(const unsigned char* segment, size_t size, size_t alignment, Search& search) {
  size_t offset = 0;
  while (size - offset >= 12) {
    uint32_t nameSize = NativeWord(segment + offset);
    uint32_t descriptorSize = NativeWord(segment + offset + 4);
    uint32_t type = NativeWord(segment + offset + 8);
    size_t nameStart = offset + 12;
    if (AlignUp(nameSize, alignment) > size - nameStart) return false;
    size_t descriptorStart = nameStart + AlignUp(nameSize, alignment);
    if (descriptorSize > size - descriptorStart) return false;
    const unsigned char* descriptor = segment + descriptorStart;
    if (type == search.kind && nameSize == sizeof kResourceNoteOwner &&
        std::memcmp(segment + nameStart, kResourceNoteOwner, sizeof kResourceNoteOwner) == 0 &&
        descriptorSize >= 4 && LittleEndianWord(descriptor) == search.number) {
      search.data = descriptor + 4;
      search.size = descriptorSize - 4;
      return true;
    }
    size_t padded = AlignUp(descriptorSize, alignment);
    if (padded >= size - descriptorStart) return false;
    offset = descriptorStart + padded;
  }
  return false;
}

// dl_iterate_phdr runs this with the loader's lock held, so the list walk
// sees no object coming or going.
int VisitObject(dl_phdr_info* info, size_t, void* context) {
  Search& search = *static_cast<Search*>(context);
  if (!search.resolved) {
    search.resolved = true;
    for (const link_map* map = search.main; map != nullptr; map = map->l_next) {
      if (search.module == nullptr ? map == search.main
                                   : static_cast<const void*>(map) == search.module) {
        search.target = map;
      }
    }
  }
  if (search.target == nullptr) return 1;
  if (info->dlpi_addr != search.target->l_addr) return 0;
  const void* dynamic = nullptr;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_DYNAMIC) {
      dynamic = reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
    }
  }
  if (dynamic != search.target->l_ld) return 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_NOTE) continue;
    const auto* segment = reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr);
    if (ScanNotes(segment, header.p_memsz, header.p_align == 8 ? 8 : 4, search)) break;
  }
  return 1;
}

}  // namespace

bool FindModuleResource(HINSTANCE module, uint32_t kind, uint32_t number,
                        const unsigned char** data, size_t* size) {
  Search search;
  search.module = module;
  search.main = MainProgramMap();  // dlopen must not run inside the walk
  search.kind = kind;
  search.number = number;
  dl_iterate_phdr(&VisitObject, &search);
  if (search.data == nullptr) return false;
  *data = search.data;
  *size = search.size;
  return true;
}

}  // namespace win32_layer
