// A host for measurements: the eight host functions with nothing in them
// beyond what the plug-in relies on, so that no host cost lands in a timing.
// Its sources own their decoder as a host's sources do.
#pragma once

#include "abi/host_interface.h"

namespace bench {

// A HostSource made by this host; it opens its decoder when given a path.
class NullSource : public HostSource {
 public:
  NullSource(ISimpleMediaDecoder* decoder, const char* path);
  ~NullSource() override;
  HostSource* Duplicate() override;
  bool IsAvailable() override;

  ISimpleMediaDecoder* decoder;
};

// The host record for SarnicPluginEntry. Registrations are kept so that the
// caller can reach the two records afterwards.
PluginHostInfo NullHostInfo();
const SourceRegistration* RegisteredSources();
const SinkRegistration* RegisteredSinks();

// The decoder inside a source this host created.
ISimpleMediaDecoder* DecoderOf(HostSource* source);

}  // namespace bench
