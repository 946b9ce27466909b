// HeapBuffer and TextBuffer under fuzzer-chosen sequences of operations,
// heap failures included, checked against a model that knows only the
// used size and the bytes, plus the invariants every state must keep.
#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "support/heap_buffer.h"
#include "support/text_buffer.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_heap.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_buffers {
namespace {

// The fuzz heap ends here, so that requests near 2 GiB take the failure
// path instead of the machine's memory.
constexpr size_t kHeapLimit = 64 << 20;

const int kGranularities[] = {1, 7, 128, 1000, 4096, 8192};

int Granularity(FuzzInput& in) {
  return kGranularities[in.InRange(0, sizeof kGranularities / sizeof kGranularities[0] - 1)];
}

int RequestedSize(FuzzInput& in) {
  switch (in.InRange(0, 7)) {
    case 0: return static_cast<int>(in.InRange(0, 16));
    case 1: return static_cast<int>(in.InRange(0, 600));
    case 2: return static_cast<int>(in.InRange(0, 20000));
    case 3: return static_cast<int>(in.InRange(0, 1 << 20));
    case 4: return static_cast<int>(in.InRange(INT_MIN, -1));
    case 5: {
      const int extremes[] = {INT_MAX, INT_MAX - 1, INT_MAX - 4096, INT_MAX / 2 + 1, 1 << 30,
                              0x55555555, INT_MIN, -1};
      return extremes[in.InRange(0, 7)];
    }
    default: return static_cast<int>(in.InRange(0, 300));
  }
}

// What every buffer state keeps.
void CheckInvariant(const HeapBuffer& buffer) {
  FUZZ_CHECK(buffer.GetSize() >= 0);
  FUZZ_CHECK(buffer.GetSize() <= buffer.GetAllocatedSize());
  FUZZ_CHECK((buffer.Get() == nullptr) == (buffer.GetSize() == 0));
}

// A HeapBuffer and the bytes it must hold.
struct ModelledBuffer {
  explicit ModelledBuffer(int granularity) : granularity(granularity), buffer(granularity) {}
  int granularity;
  HeapBuffer buffer;
  std::string bytes;  // the first GetSize() bytes
};

void CheckContents(const ModelledBuffer& model) {
  CheckInvariant(model.buffer);
  FUZZ_CHECK(static_cast<size_t>(model.buffer.GetSize()) == model.bytes.size());
  if (!model.bytes.empty())
    FUZZ_CHECK(std::memcmp(model.buffer.Get(), model.bytes.data(), model.bytes.size()) == 0);
}

void Resize(ModelledBuffer& model, FuzzInput& in) {
  int requested = RequestedSize(in);
  bool mayShrink = in.Bool();
  bool heapFails = in.Bool();
  if (heapFails) PlanHeapFailures(in.InRange(1, 3));  // realloc, or realloc and malloc

  int oldSize = model.buffer.GetSize();
  int oldAllocated = model.buffer.GetAllocatedSize();
  char* result = model.buffer.Resize(requested, mayShrink);
  PlanHeapFailures(0);

  int wanted = requested < 0 ? 0 : requested;
  int size = model.buffer.GetSize();
  int allocated = model.buffer.GetAllocatedSize();
  FUZZ_CHECK(result == model.buffer.Get());
  FUZZ_CHECK(size == wanted || size == oldSize);
  if (!heapFails && wanted <= (1 << 20)) FUZZ_CHECK(size == wanted);
  if (size != wanted) FUZZ_CHECK(allocated == oldAllocated);  // a failure changes nothing
  if (!mayShrink) FUZZ_CHECK(allocated >= oldAllocated);
  if (allocated != oldAllocated && allocated != 0) {
    FUZZ_CHECK(allocated > size);
    if (model.granularity >= 4096) FUZZ_CHECK((allocated + 96) % 4096 == 0);
  }
  if (size == 0 && mayShrink && wanted == 0 && oldSize != 0) FUZZ_CHECK(allocated == 0);

  // The kept prefix survives; the new bytes are ours to fill, which also
  // proves the storage really holds GetSize() bytes.
  model.bytes.resize(static_cast<size_t>(size));
  if (size > oldSize) {
    char fill = static_cast<char>(in.Byte());
    std::memset(model.buffer.Get() + oldSize, fill, static_cast<size_t>(size - oldSize));
    std::memset(&model.bytes[static_cast<size_t>(oldSize)], fill, static_cast<size_t>(size - oldSize));
  }
  CheckContents(model);
}

void Overwrite(ModelledBuffer& model, FuzzInput& in) {
  if (model.bytes.empty()) return;
  size_t at = static_cast<size_t>(in.InRange(0, static_cast<int64_t>(model.bytes.size()) - 1));
  std::string bytes = in.Bytes(64).substr(0, model.bytes.size() - at);
  std::memcpy(model.buffer.Get() + at, bytes.data(), bytes.size());
  model.bytes.replace(at, bytes.size(), bytes);
  CheckContents(model);
}

// A TextBuffer and the text it must hold; set is false until the first Set
// that took effect.
struct ModelledText {
  explicit ModelledText(int granularity) : buffer(granularity) {}
  TextBuffer buffer;
  std::string text;
  bool set = false;
};

void CheckText(const ModelledText& model) {
  CheckInvariant(model.buffer);
  const char* text = model.buffer.Get();
  FUZZ_CHECK(text != nullptr);
  FUZZ_CHECK(text == model.text);
  if (model.set) FUZZ_CHECK(static_cast<size_t>(model.buffer.GetSize()) == model.text.size() + 1);
  else FUZZ_CHECK(model.buffer.GetSize() == 0);
}

int MaxLength(FuzzInput& in, size_t length) {
  switch (in.InRange(0, 3)) {
    case 0: return 0;
    case 1: return -static_cast<int>(in.InRange(1, INT_MAX));
    default: return static_cast<int>(in.InRange(1, static_cast<int64_t>(length) + 2));
  }
}

// Set from outside text: the text lies in storage of its own, exactly as long
// as Set may read, so that reading further is caught.
void SetText(ModelledText& model, FuzzInput& in) {
  std::string source = in.Bytes(300);
  bool null = in.InRange(0, 15) == 0;
  int maxLength = MaxLength(in, source.size());
  bool heapFails = in.Bool();

  std::string expected;
  std::unique_ptr<char[]> storage;
  if (!null) {
    // Without a limit the text ends at its first NUL; with one, Set reads at
    // most maxLength bytes, so the copy ends there without a terminator.
    size_t stored = source.size() + 1;
    if (maxLength > 0 && static_cast<size_t>(maxLength) < stored) stored = static_cast<size_t>(maxLength);
    storage.reset(new char[stored]);
    std::memcpy(storage.get(), source.c_str(), stored);
    expected = std::string(source.c_str(), strnlen(source.c_str(), stored));
  }

  if (heapFails) PlanHeapFailures(in.InRange(1, 3));
  model.buffer.Set(null ? nullptr : storage.get(), maxLength);
  PlanHeapFailures(0);

  if (!heapFails || model.buffer.Get() == expected) {
    model.text = expected;
    // An empty text on a buffer that never had storage may stay unset when
    // the heap refuses its one byte.
    if (!(heapFails && model.buffer.GetSize() == 0)) model.set = true;
  }
  CheckText(model);
}

// Set from the buffer's own text, which may move while Set grows it.
void SetFromOwnText(ModelledText& model, FuzzInput& in) {
  size_t length = model.text.size();
  size_t offset = static_cast<size_t>(in.InRange(0, static_cast<int64_t>(length)));
  int maxLength = MaxLength(in, length - offset);
  std::string expected = model.text.substr(offset);
  if (maxLength > 0 && static_cast<size_t>(maxLength) < expected.size()) expected.resize(static_cast<size_t>(maxLength));
  const char* own = model.buffer.Get() + offset;
  model.buffer.Set(own, maxLength);
  model.text = expected;
  model.set = true;
  CheckText(model);
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  SetHeapLimit(kHeapLimit);
  FuzzInput in(data, size);
  auto bytes = std::make_unique<ModelledBuffer>(Granularity(in));
  auto text = std::make_unique<ModelledText>(Granularity(in));
  for (int step = 0; step < 64 && !in.Empty(); ++step) {
    switch (in.InRange(0, 6)) {
      case 0: Resize(*bytes, in); break;
      case 1: Overwrite(*bytes, in); break;
      case 2: bytes = std::make_unique<ModelledBuffer>(Granularity(in)); break;
      case 3: SetText(*text, in); break;
      case 4: SetFromOwnText(*text, in); break;
      case 5: text = std::make_unique<ModelledText>(Granularity(in)); break;
      default: Resize(*bytes, in); break;
    }
  }
  CheckContents(*bytes);
  CheckText(*text);
  return 0;
}

}  // namespace fuzz_buffers

PEXO_FUZZ_TARGET("buffers", fuzz_buffers::FuzzOne);
