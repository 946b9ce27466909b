// The decoder through the plug-in's host interface: arbitrary file contents
// opened by name, then a fuzzer-chosen sequence of reads, seeks, reopens,
// truncations, removals, copies and properties texts into small buffers.
//
// Input: an extension choice, a two-byte length and that many bytes of
// file, then the operations.
#include <sys/types.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "tests/common/test_host.h"
#include "tests/fuzz/decoder_extensions.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_plugin.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_decoder {
namespace {

const char kTitle[] = "libsndfile supported File Properties";
const char kNotOpened[] = "Error: File not has been opened succesfully";

bool ValidBits(int bits) {
  return bits == 8 || bits == 12 || bits == 16 || bits == 20 || bits == 24 || bits == 32 || bits == 64;
}

// What a ready decoder reports.
void CheckReady(ISimpleMediaDecoder* decoder) {
  if (!decoder->IsReady()) return;
  FUZZ_CHECK(decoder->ChannelCount() > 0);
  FUZZ_CHECK(ValidBits(decoder->SampleBits()));
  FUZZ_CHECK(decoder->SampleRateHz() > 0.0);
  // Never libsndfile's "unknown" count: a length a file can hold, or 0.
  FUZZ_CHECK(decoder->LengthFrames() >= 0 && decoder->LengthFrames() <= (int64_t{1} << 48));
}

void Read(ISimpleMediaDecoder* decoder, FuzzInput& in) {
  int frames = static_cast<int>(in.InRange(-2, 64));
  int channels = decoder->ChannelCount();
  // Exactly the room the call promises, so that a write past it is caught.
  size_t values = static_cast<size_t>(frames > 0 ? frames : 0) * static_cast<size_t>(channels > 0 ? channels : 1);
  std::unique_ptr<double[]> buffer(new double[values]);
  bool ready = decoder->IsReady();
  int64_t before = decoder->CurrentFrame();
  size_t counted = test_host::Recorded().diskCounters.size();

  int read = decoder->ReadFrames(buffer.get(), frames);
  FUZZ_CHECK(read >= 0 && read <= (frames > 0 ? frames : 0));
  FUZZ_CHECK(decoder->CurrentFrame() == before + read);
  if (!ready) return;
  const auto& counters = test_host::Recorded().diskCounters;
  FUZZ_CHECK(counters.size() == counted + 1);
  int64_t bits = int64_t{decoder->SampleBits()} * channels * read;  // small here: no overflow
  FUZZ_CHECK(counters.back().amountRead == bits);
  FUZZ_CHECK(counters.back().amountWritten == 0);
}

void Seek(ISimpleMediaDecoder* decoder, FuzzInput& in) {
  int64_t frame = in.Bool() ? in.InRange(-1, decoder->LengthFrames() + 2) : in.Take<int64_t>();
  bool ready = decoder->IsReady();
  decoder->SeekToFrame(frame);
  if (ready) FUZZ_CHECK(decoder->CurrentFrame() == frame);
}

// The bounded copy: the text's first bytes, then zeros up to the size.
void CheckBounded(const char* buffer, int size, const char* text) {
  size_t length = std::strlen(text);
  for (int i = 0; i < size; ++i)
    FUZZ_CHECK(buffer[i] == (static_cast<size_t>(i) < length ? text[i] : '\0'));
}

void Properties(ISimpleMediaDecoder* decoder, FuzzInput& in) {
  int textSize = in.Bool() ? static_cast<int>(in.InRange(0, 80)) : 4096;
  int titleSize = static_cast<int>(in.InRange(0, 64));
  // Sizes exactly as given, so that writing past them is caught.
  std::unique_ptr<char[]> textBuffer(new char[static_cast<size_t>(textSize)]);
  std::unique_ptr<char[]> titleBuffer(new char[static_cast<size_t>(titleSize)]);
  std::memset(textBuffer.get(), 'x', static_cast<size_t>(textSize));
  std::memset(titleBuffer.get(), 'x', static_cast<size_t>(titleSize));
  bool ready = decoder->IsReady();

  decoder->PropertiesText(textBuffer.get(), textSize, titleBuffer.get(), titleSize);
  CheckBounded(titleBuffer.get(), titleSize, kTitle);
  if (!ready) {
    CheckBounded(textBuffer.get(), textSize, kNotOpened);
    return;
  }
  // A composed text: no byte left untouched, zeros from its end on.
  bool ended = false;
  for (int i = 0; i < textSize; ++i) {
    FUZZ_CHECK(!ended || textBuffer[i] == '\0');
    if (textBuffer[i] == '\0') ended = true;
  }
  if (textSize == 4096) FUZZ_CHECK(ended && std::strncmp(textBuffer.get(), "Length: ", 8) == 0);
}

void Copy(ISimpleMediaDecoder* decoder, FuzzInput& in) {
  std::unique_ptr<ISimpleMediaDecoder> copy(decoder->MakeCopy());
  FUZZ_CHECK(copy != nullptr);
  FUZZ_CHECK(std::strcmp(copy->FileName(), decoder->FileName()) == 0);
  FUZZ_CHECK(!copy->IsReady() && copy->CurrentFrame() == 0);
  if (in.Bool()) {
    copy->OpenFile(nullptr);
    CheckReady(copy.get());
    Read(copy.get(), in);
  }
}

void Reopen(ISimpleMediaDecoder* decoder, FuzzInput& in, const std::string& path) {
  switch (in.InRange(0, 3)) {
    case 0: decoder->OpenFile(nullptr); break;
    case 1: decoder->OpenFile(decoder->FileName()); break;
    case 2: {
      // Other contents under the same name, maybe while the old file is open.
      WriteScratchFile(path, in.Bytes(4096));
      decoder->OpenFile(path.c_str());
      break;
    }
    default: {
      std::string other = path + ".other";
      WriteScratchFile(other, in.Bytes(512));
      decoder->OpenFile(other.c_str());
      FUZZ_CHECK(std::strcmp(decoder->FileName(), other.c_str()) == 0);
      std::remove(other.c_str());
      break;
    }
  }
  CheckReady(decoder);
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  const StartedPlugin& plugin = StartPlugin();
  test_host::Reset();
  FuzzInput in(data, size);
  const char* extension = kExtensions[in.InRange(0, kExtensionCount - 1)];
  std::string file = in.Raw(static_cast<size_t>(in.InRange(0, 65535)));
  std::string path = ScratchPath(std::string("input.") + extension);
  WriteScratchFile(path, file);

  // By name, as the host opens files; a file libsndfile refuses gives no
  // source, and the type tag gives a decoder to open by hand.
  HostSource* source = plugin.source->makeFromFile(path.c_str(), 7);
  FUZZ_CHECK(test_host::Recorded().sourcesAlive == (source != nullptr ? 1 : 0));
  if (source == nullptr) {
    source = plugin.source->makeFromTypeTag("KOVRA", 5);
    FUZZ_CHECK(source != nullptr);
    test_host::DecoderOf(source)->OpenFile(path.c_str());
  }
  ISimpleMediaDecoder* decoder = test_host::DecoderOf(source);
  CheckReady(decoder);

  for (int step = 0; step < 48 && !in.Empty(); ++step) {
    switch (in.InRange(0, 9)) {
      case 0: case 1: case 2: Read(decoder, in); break;
      case 3: Seek(decoder, in); break;
      case 4: Properties(decoder, in); break;
      case 5: Reopen(decoder, in, path); break;
      case 6: Copy(decoder, in); break;
      case 7: decoder->CloseFile(in.Bool()); FUZZ_CHECK(!decoder->IsReady()); break;
      case 8: {
        // Cut short under the open decoder (when the file is still there).
        off_t length = static_cast<off_t>(in.InRange(0, static_cast<int64_t>(file.size())));
        if (truncate(path.c_str(), length) != 0) break;
        break;
      }
      default: std::remove(path.c_str()); break;  // removed under the open decoder
    }
  }
  delete source;
  FUZZ_CHECK(test_host::Recorded().sourcesAlive == 0);
  std::remove(path.c_str());
  return 0;
}

}  // namespace fuzz_decoder

PEXO_FUZZ_TARGET("decoder", fuzz_decoder::FuzzOne);
