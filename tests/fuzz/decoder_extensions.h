// The file-name extensions the decoder target gives its files: libsndfile
// guesses some formats by extension alone. Shared with the seed maker.
#pragma once

#include <cstddef>

namespace fuzz_decoder {

constexpr const char* kExtensions[] = {"wav", "aiff", "au", "caf", "flac", "ogg", "opus", "mp3", "raw",
                                       "paf", "svx", "nist", "voc", "sf", "w64", "mat", "pvf", "xi",
                                       "htk", "sds", "avr", "sd2", "rf64", "mpc", "wve", "prc", "gsm",
                                       "vox", "ircam", "txt", "aif", "snd", "iff", "mat4", "mat5", "oga"};
constexpr size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

}  // namespace fuzz_decoder
