// The sink registration functions: the writer's type tag and label, the
// file extension of a configuration block, and the making of writers. The
// host reaches them through the SinkRegistration record.
#pragma once

#include "abi/host_interface.h"

// Label under which the host lists the writer.
extern const char kSinkLabel[];

// Stores the label through label, unless null; returns the type tag.
unsigned int typeTagAndLabel(const char** label) noexcept;

// The extension, without dot, of the files a block makes: "var" for a block
// that is only the tag, libsndfile's extension of the block's major format,
// or null for a block that is not the writer's.
const char* extensionFor(const void* block, int size) noexcept;

// A new writer for the file, owned by the host, or null when the block is
// not the writer's, libsndfile is missing, or the file does not open.
PCM_sink* makeSink(const char* path, const void* block, int size, int channels, int sampleRate,
                   bool buildPeaks) noexcept;
