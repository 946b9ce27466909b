// Opening a sound file through the binding by a name the host gave.
#pragma once

#include <sndfile.h>

// sf_open, except on Windows, where the name is UTF-8: converted to UTF-16
// and opened through sf_wchar_open when the loaded libsndfile has it. A
// name that is not UTF-8, or a libsndfile without the wide open, goes to
// sf_open with its bytes as they are.
SNDFILE* OpenSoundFile(const char* name, int mode, SF_INFO* info);
