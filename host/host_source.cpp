// DecoderSource: the HostSource that wraps each decoder of the plug-in.
#include "host/host_source.h"

namespace pexo_host {

DecoderSource::DecoderSource(ISimpleMediaDecoder* decoder, const char* path) : decoder(decoder) {
  if (decoder != nullptr && path != nullptr) decoder->OpenFile(path);
}

// The decoder's virtual destructor closes its file and frees it with the
// plug-in's own allocator.
DecoderSource::~DecoderSource() { delete decoder; }

HostSource* DecoderSource::Duplicate() {
  if (decoder == nullptr) return nullptr;
  ISimpleMediaDecoder* copy = decoder->MakeCopy();
  if (copy == nullptr) return nullptr;
  return new DecoderSource(copy, copy->FileName()[0] != '\0' ? copy->FileName() : nullptr);
}

bool DecoderSource::IsAvailable() { return decoder != nullptr && decoder->IsReady(); }

HostSource* CreateSourceFromSimple(ISimpleMediaDecoder* decoder, const char* path) {
  if (decoder == nullptr) return nullptr;
  return new DecoderSource(decoder, path);
}

ISimpleMediaDecoder* DecoderOf(HostSource* source) {
  auto* own = dynamic_cast<DecoderSource*>(source);
  return own != nullptr ? own->Decoder() : nullptr;
}

}  // namespace pexo_host
