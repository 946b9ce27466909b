// OpenSoundFile: the one place the plug-in opens a file with libsndfile.
#include "binding/sndfile_open.h"

#include "binding/sndfile_api.h"
#if defined(_WIN32)
#include "platform/utf16_name.h"
#endif

SNDFILE* OpenSoundFile(const char* name, int mode, SF_INFO* info) {
#if defined(_WIN32)
  if (SndfileApi.sf_wchar_open != nullptr) {
    Utf16Name wideName(name);
    if (wideName.Get() != nullptr) return SndfileApi.sf_wchar_open(wideName.Get(), mode, info);
  }
#endif
  return SndfileApi.sf_open(name, mode, info);
}
