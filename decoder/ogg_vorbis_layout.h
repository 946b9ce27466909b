// What the decoder needs to know of an Ogg Vorbis file's layout to seek in
// it exactly, read from the file's own pages: the stream's long block size
// (the longest stretch one packet's lapping reaches back) and the frames that
// only the stream's final page completes.
#pragma once

#include <cstdint>

struct VorbisLayout {
  int64_t longBlockFrames;  // from the identification header
  int64_t finalPageFrames;  // last granule position minus the one before it
};

// The largest long block Vorbis allows: the pre-roll when the header cannot
// be read.
inline constexpr int64_t kLargestVorbisBlock = 8192;

// Reads the file's first page and its last pages. A value that cannot be
// found is -1 (a header that is not Vorbis, a tail without two pages of the
// final page's stream, a file that cannot be read).
VorbisLayout ReadVorbisLayout(const char* path);
