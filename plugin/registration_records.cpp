// The registration records, filled with the services the plug-in offers.
#include "plugin/registration_records.h"

#include "sink/sink.h"

const SourceRegistration kSourceRegistration = {nullptr, nullptr, nullptr};

const SinkRegistration kSinkRegistration = {typeTagAndLabel, extensionFor, nullptr, makeSink};
