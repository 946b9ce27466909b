# Checks that every source file includes only headers of its own floor or
# the floors below it:
#
#   platform/, support/   the bottom: their own folder (support/ may use platform/)
#   abi/                  what host and plug-in share: abi/ and platform/'s types
#   binding/              the plug-in's run-time bindings: binding/, abi/, platform/
#   decoder/ sink/ panel/ the parts: anything below plugin/ (never plugin/ or host/)
#   plugin/               the top of the plug-in: anything of the plug-in
#   host/                 the bundled host: host/, abi/ and platform/ only
#
# Usage: cmake -DROOT=<source folder> -P check_floors.cmake
# Prints one line per include above its floor and fails when there is any.
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(project_folders abi binding decoder sink panel plugin support platform host tests bench)
set(allowed_platform platform)
set(allowed_support support platform)
set(allowed_abi abi platform/win32_types.h)
set(allowed_binding binding abi platform)
set(allowed_decoder decoder sink panel binding abi support platform)
set(allowed_sink ${allowed_decoder})
set(allowed_panel ${allowed_decoder})
set(allowed_plugin plugin ${allowed_decoder})
set(allowed_host host abi platform)

set(violations 0)
foreach(folder platform support abi binding decoder sink panel plugin host)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${ROOT}
    ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.c)
  foreach(source ${sources})
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      string(REGEX MATCH "^[^/]*" top "${header}")
      list(FIND project_folders "${top}" known)
      if(known LESS 0)
        continue()  # a header beside the file, or a system one in quotes
      endif()
      set(permitted FALSE)
      foreach(allowed ${allowed_${folder}})
        if(header STREQUAL allowed OR top STREQUAL allowed)
          set(permitted TRUE)
        endif()
      endforeach()
      if(NOT permitted)
        message("${source}: includes \"${header}\", above the floor of ${folder}/")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) above their floor")
endif()
message("every include keeps to its floor")
