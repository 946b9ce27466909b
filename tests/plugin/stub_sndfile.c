/* A stand-in for libsndfile's shared library: every entry point the plug-in
   binds except sf_write_float, so a binding against it comes up one short.
   Built with STUB_NEEDS_MISSING_LIBRARY it also depends on a library the
   loader cannot find, so it cannot be loaded at all. */
#include <stddef.h>

#ifdef STUB_NEEDS_MISSING_LIBRARY
int stub_missing_dependency_marker(void);
#define MARK() (void)stub_missing_dependency_marker()
#else
#define MARK() (void)0
int stub_missing_dependency_marker(void) { return 0; }
#endif

int sf_command(void* file, int command, void* data, int size) {
  (void)file, (void)command, (void)data, (void)size;
  MARK();
  return 0;
}
void* sf_open(const char* path, int mode, void* info) {
  (void)path, (void)mode, (void)info;
  return NULL;
}
int sf_close(void* file) { return (void)file, 0; }
long sf_read_double(void* file, double* p, long n) { return (void)file, (void)p, (void)n, 0; }
long sf_seek(void* file, long frames, int whence) { return (void)file, (void)frames, (void)whence, 0; }
long sf_readf_double(void* file, double* p, long n) { return (void)file, (void)p, (void)n, 0; }
const char* sf_version_string(void) { return "stub"; }
int sf_format_check(const void* info) { return (void)info, 0; }
long sf_write_double(void* file, const double* p, long n) { return (void)file, (void)p, (void)n, 0; }
