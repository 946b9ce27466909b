// File decoding: PEXO_SimpleMediaDecoder, which reads audio files through
// libsndfile for the host, and the source registration functions through
// which the host obtains decoders by type tag or by file name.
#pragma once

#include "decoder/simple_media_decoder.h"
#include "decoder/source_registration.h"
