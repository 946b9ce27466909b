// The host's source object: it owns one decoder of the plug-in, opens it on
// the name it is created with, and is usable when the decoder is ready.
#pragma once

#include "abi/host_interface.h"

namespace pexo_host {

class DecoderSource : public HostSource {
 public:
  // Takes over the decoder; opens path when it is not null.
  DecoderSource(ISimpleMediaDecoder* decoder, const char* path);
  ~DecoderSource() override;
  DecoderSource(const DecoderSource&) = delete;
  DecoderSource& operator=(const DecoderSource&) = delete;

  // A new source with a copy of the decoder, opened on the same file.
  HostSource* Duplicate() override;
  bool IsAvailable() override;

  ISimpleMediaDecoder* Decoder() const { return decoder; }

 private:
  ISimpleMediaDecoder* decoder;
};

// PCM_Source_CreateFromSimple as this host offers it.
HostSource* CreateSourceFromSimple(ISimpleMediaDecoder* decoder, const char* path);

// The decoder inside a source this host made, or null for any other object.
ISimpleMediaDecoder* DecoderOf(HostSource* source);

}  // namespace pexo_host
