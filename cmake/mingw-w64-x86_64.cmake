# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Used by scripts/build-windows for the plug-in and by
# scripts/build-windows-deps for libsndfile and its codecs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PEXO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PEXO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEXO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PEXO_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${PEXO_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${PEXO_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the mingw sysroot and the prefix of the
# Windows libraries built here (environment PEXO_WINDOWS_PREFIX, so that
# CMake's own test projects see it too), never from the build machine;
# programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PEXO_MINGW_TRIPLET})
if(DEFINED ENV{PEXO_WINDOWS_PREFIX})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{PEXO_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs are run through Wine.
find_program(PEXO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PEXO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PEXO_WINE})
endif()
