// The run-time binding to libsndfile. Every use of libsndfile in the plug-in
// goes through SndfileApi, filled by LoadSndfile from the shared library
// loaded by name; the plug-in never links libsndfile itself.
#pragma once

#include <sndfile.h>

// libsndfile's entry points, in binding order, each with its own signature.
struct SndfileFunctions {
  void* libraryHandle;  // null until a load succeeds; never reset
  decltype(&::sf_command) sf_command;
  decltype(&::sf_open) sf_open;
  decltype(&::sf_close) sf_close;
  decltype(&::sf_read_double) sf_read_double;  // required, never called
  decltype(&::sf_seek) sf_seek;
  decltype(&::sf_readf_double) sf_readf_double;
  decltype(&::sf_version_string) sf_version_string;
  decltype(&::sf_format_check) sf_format_check;
  decltype(&::sf_write_float) sf_write_float;  // required, never called
  decltype(&::sf_write_double) sf_write_double;
  // Windows only, and optional: libsndfile's open by a UTF-16 name. Looked
  // up beside the ten above but not counted among them; null elsewhere and
  // in a libsndfile without it.
  SNDFILE* (*sf_wchar_open)(const wchar_t* name, int mode, SF_INFO* info);
};

extern SndfileFunctions SndfileApi;

// The shared library's file name on this platform.
extern const char* const kSndfileLibraryName;

// 0 when libsndfile is loaded and every slot is bound; 1 when the library
// could not be loaded (tried again on the next call); otherwise the number
// of entry points missing. A complete binding is never looked up again.
int LoadSndfile();
