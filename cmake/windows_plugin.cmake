# The plug-in as a Windows DLL (cross-built with cmake/mingw-w64-x86_64.cmake,
# see scripts/build-windows): build-windows/sarnic_pexo.dll, exporting
# SarnicPluginEntry only and needing only Windows system DLLs at load time.
# The platform is the real one (user32, comctl32, kernel32); the Win32
# subset layer of POSIX is not built.

# The panel's dialog template as a resource script, written on the build
# machine from the same table the POSIX module note is made from.
find_program(PEXO_BUILD_MACHINE_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(PEXO_PANEL_RC_WRITER ${CMAKE_BINARY_DIR}/write_panel_rc)
set(PEXO_PANEL_RC ${CMAKE_BINARY_DIR}/config_panel.rc)
add_custom_command(OUTPUT ${PEXO_PANEL_RC}
  COMMAND ${PEXO_BUILD_MACHINE_CXX} -std=c++17 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}
          ${CMAKE_SOURCE_DIR}/panel/resource_script/write_panel_rc.cpp -o ${PEXO_PANEL_RC_WRITER}
  COMMAND ${PEXO_PANEL_RC_WRITER} ${PEXO_PANEL_RC}
  DEPENDS ${CMAKE_SOURCE_DIR}/panel/resource_script/write_panel_rc.cpp
          ${CMAKE_SOURCE_DIR}/panel/config_panel_template.h ${CMAKE_SOURCE_DIR}/panel/panel.h
          ${CMAKE_SOURCE_DIR}/abi/sink_config.h ${CMAKE_SOURCE_DIR}/platform/win32_resources.h
          ${CMAKE_SOURCE_DIR}/platform/win32.h ${CMAKE_SOURCE_DIR}/platform/win32_types.h
  COMMENT "Writing the panel's resource script"
  VERBATIM)
configure_file(${CMAKE_SOURCE_DIR}/plugin/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)

file(GLOB PEXO_CORE_SOURCES CONFIGURE_DEPENDS
  binding/*.cpp plugin/*.cpp support/*.cpp decoder/*.cpp sink/*.cpp panel/*.cpp)
set(PEXO_WINDOWS_PLATFORM_SOURCES
  platform/dynamic_library_win32.cpp platform/named_files_win32.cpp
  platform/profile_names_win32.cpp platform/utf16_name_win32.cpp)

# The plug-in's code, shared by the DLL and the white-box tests.
add_library(pexo_core_objects OBJECT ${PEXO_CORE_SOURCES} ${PEXO_WINDOWS_PLATFORM_SOURCES})
target_include_directories(pexo_core_objects PUBLIC ${CMAKE_SOURCE_DIR} ${SNDFILE_INCLUDE_DIR})
add_library(pexo_core STATIC $<TARGET_OBJECTS:pexo_core_objects>)
target_link_libraries(pexo_core PUBLIC pexo_core_objects comctl32 user32 kernel32)

add_library(sarnic_pexo SHARED $<TARGET_OBJECTS:pexo_core_objects> ${PEXO_PANEL_RC} ${CMAKE_BINARY_DIR}/version.rc)
set_target_properties(sarnic_pexo PROPERTIES PREFIX "")
# -static: libstdc++, libgcc and winpthread inside, so nothing but system
# DLLs is needed; libsndfile-1.dll is loaded at run time by name.
target_link_options(sarnic_pexo PRIVATE -static -Wl,--no-undefined)
target_link_libraries(sarnic_pexo PRIVATE comctl32 user32 kernel32)

# libsndfile-1.dll beside the plug-in, where LoadLibraryA finds it for a
# host in the same folder.
if(PEXO_SNDFILE_DLL)
  add_custom_command(TARGET sarnic_pexo POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PEXO_SNDFILE_DLL} ${CMAKE_BINARY_DIR}/libsndfile-1.dll)
endif()
