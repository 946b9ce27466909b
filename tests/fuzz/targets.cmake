# The fuzz targets and their support code, shared by the libFuzzer build
# (tests/fuzz) and the replaying test of the normal build (tests/regressions).
# A target is listed once the code it drives is in the tree.
set(PEXO_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
set(PEXO_FUZZ_TARGETS buffers config_block decoder ini_reader writer writer_file)

set(PEXO_FUZZ_SUPPORT_SOURCES
  ${PEXO_FUZZ_DIR}/fuzz_check.cpp ${PEXO_FUZZ_DIR}/fuzz_files.cpp ${PEXO_FUZZ_DIR}/fuzz_heap.cpp
  ${PEXO_FUZZ_DIR}/fuzz_formats.cpp ${PEXO_FUZZ_DIR}/fuzz_plugin.cpp ${PEXO_FUZZ_DIR}/fuzz_targets.cpp
  ${CMAKE_SOURCE_DIR}/platform/dynamic_library_posix.cpp)

# pexo_fuzz_support: the pieces every target program links, with the plug-in's
# code, the recording host and the Win32 subset.
function(pexo_fuzz_support_library)
  if(NOT TARGET pexo_fuzz_support)
    add_library(pexo_fuzz_support OBJECT ${PEXO_FUZZ_SUPPORT_SOURCES})
    target_include_directories(pexo_fuzz_support PUBLIC ${CMAKE_SOURCE_DIR} ${SNDFILE_INCLUDE_DIR})
    target_link_libraries(pexo_fuzz_support PUBLIC pexo_core pexo_test_host pexo_test_stored_defaults pexo_win32
      ${CMAKE_DL_LIBS})
  endif()
endfunction()
