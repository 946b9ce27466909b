// A host that records nothing: the eight host functions as a real host
// would answer them (a source that owns its decoder; no peaks), safe to call
// from many threads and for as long as a test runs. For tests of
// concurrency and of long runs, where the recording host's growing record
// and its unguarded containers would be the fault.
#pragma once

#include "abi/host_interface.h"

namespace quiet_host {

// Sets every HostApi slot (white-box tests).
void InstallIntoHostApi();

// The decoder inside a source created by PCM_Source_CreateFromSimple.
ISimpleMediaDecoder* DecoderOf(HostSource* source);

}  // namespace quiet_host
