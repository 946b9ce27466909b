// File writing: the configuration block and its stored defaults, the writer
// on libsndfile, and the functions through which the host gets writers.
#pragma once

#include "sink/pcm_sink_libsndfile.h"
#include "sink/sink_config_block.h"
#include "sink/sink_defaults.h"
#include "sink/sink_registration.h"
