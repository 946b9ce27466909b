// HeapBuffer: a growable block of bytes on the general heap whose growth, and
// on request shrinking, follows a per-buffer granularity.
#pragma once

class HeapBuffer {
 public:
  explicit HeapBuffer(int granularity);
  ~HeapBuffer();
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  // Makes size (0 when negative) the used size. On allocation failure the
  // buffer is unchanged; callers compare GetSize() with what they asked for.
  // Returns the storage when the used size is not 0, else null.
  char* Resize(int size, bool mayShrink);
  char* Get() const { return usedSize != 0 ? data : nullptr; }
  int GetSize() const { return usedSize; }
  int GetAllocatedSize() const { return allocatedSize; }

 private:
  char* data = nullptr;
  int allocatedSize = 0;
  int usedSize = 0;
  int granularity;
};
