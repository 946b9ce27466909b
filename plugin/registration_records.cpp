// The registration records, filled with the services the plug-in offers.
#include "plugin/registration_records.h"

const SourceRegistration kSourceRegistration = {nullptr, nullptr, nullptr};

const SinkRegistration kSinkRegistration = {nullptr, nullptr, nullptr, nullptr};
