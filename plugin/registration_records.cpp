// The registration records, filled with the services the plug-in offers.
#include "plugin/registration_records.h"

#include "decoder/source_registration.h"
#include "panel/panel.h"
#include "sink/sink.h"

const SourceRegistration kSourceRegistration = {makeFromTypeTag, makeFromFile, listExtensions};

const SinkRegistration kSinkRegistration = {typeTagAndLabel, extensionFor, &openConfigPanel, makeSink};
