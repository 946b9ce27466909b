// The source registration functions: decoders for the host by type tag and
// by file name, and the extensions the plug-in names.
#include "decoder/source_registration.h"

#include <cstring>
#include <new>

#include "binding/host_api.h"
#include "decoder/simple_media_decoder.h"

namespace {

// Hands a new decoder to the host; the source returned owns it. A host that
// returns no source has taken nothing, so the decoder is deleted here. No
// memory for a decoder means no source: nothing is thrown into the host.
HostSource* WrapNewDecoder(const char* path) {
  auto* decoder = new (std::nothrow) PEXO_SimpleMediaDecoder;
  if (decoder == nullptr) return nullptr;
  HostSource* source = HostApi.PCM_Source_CreateFromSimple(decoder, path);
  if (source == nullptr) DestroyThroughTable<ISimpleMediaDecoder>(decoder);
  return source;
}

}  // namespace

HostSource* makeFromTypeTag(const char* tag, int tagLength) noexcept {
  if (tagLength < 5 || tag == nullptr) return nullptr;
  // Six bytes, the terminator included, so that a longer text does not
  // match; but never a byte past the length the host gave: a tag of five
  // bytes is the five letters alone. The comparison also stops at the tag's
  // own terminator.
  size_t compared = tagLength < 6 ? 5 : sizeof kDecoderTypeTag;
  if (std::strncmp(tag, kDecoderTypeTag, compared) != 0) return nullptr;
  return WrapNewDecoder(nullptr);
}

HostSource* makeFromFile(const char* path, int level) noexcept {
  if (path == nullptr) return nullptr;
  if (level <= 6) return nullptr;
  if (strnlen(path, 5) < 5) return nullptr;
  HostSource* source = WrapNewDecoder(path);
  if (source == nullptr) return nullptr;
  if (source->IsAvailable()) return source;
  DestroyThroughTable(source);
  return nullptr;
}

const char* listExtensions(int index, const char** description) noexcept {
  switch (index) {
    case 0:
      if (description != nullptr) *description = "Paris Audio Files";
      return "PAF";
    case 1:
      if (description != nullptr) *description = "Apple Core Audio Files";
      return "CAF";
    default:
      if (description != nullptr) *description = nullptr;
      return nullptr;
  }
}
