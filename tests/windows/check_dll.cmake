# The Windows plug-in DLL as a host's loader sees it: SarnicPluginEntry is
# its only export, it imports only Windows system DLLs (never libsndfile,
# nor a libstdc++, libgcc or winpthread DLL), and dialog 155 and a version
# are among its resources.
#
# Usage: cmake -DDLL=<sarnic_pexo.dll> -DOBJDUMP=<objdump> -DWINDRES=<windres> -P check_dll.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([ \t]+\\[[^\n]*\n)*" names "${headers}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_0-9@?$]+" exports "${names}")
list(TRANSFORM exports REPLACE "^\\[ *[0-9]+\\] " "")
if(NOT exports STREQUAL "SarnicPluginEntry")
  message(FATAL_ERROR "exports: ${exports}; want SarnicPluginEntry alone")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
set(system KERNEL32.dll USER32.dll COMCTL32.dll msvcrt.dll)
foreach(import ${imports})
  list(FIND system ${import} known)
  if(known LESS 0)
    message(FATAL_ERROR "imports ${import}, which is not a Windows system DLL (imports: ${imports})")
  endif()
endforeach()

execute_process(COMMAND ${WINDRES} -i ${DLL} -O rc OUTPUT_VARIABLE resources RESULT_VARIABLE failed)
if(failed OR NOT resources MATCHES "\n155 DIALOGEX " OR NOT resources MATCHES "\n1 VERSIONINFO")
  message(FATAL_ERROR "dialog 155 or the version is not among the resources:\n${resources}")
endif()
message("exports SarnicPluginEntry only; imports ${imports}; resources: dialog 155, version")
