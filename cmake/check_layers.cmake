# Fails when a source file includes a header of a layer it may not use, or
# when portable code includes a Windows header. Run by the build (the target
# temvik_layer_check) with -DSOURCE_DIR=<src> -DSTAMP=<file to touch>
# -DLAYER_FILE=<rules>.
#
# The rules are derived from the one list of layers in src/CMakeLists.txt
# (TEMVIK_LAYERS), which writes LAYER_FILE: allowed_<folder>, the folders a
# folder may include (itself and all it reaches through the layers it uses);
# layers; windows_layers, the folders that may talk to Windows. A file
# belongs to the longest folder that holds it.
cmake_minimum_required(VERSION 3.25)

include(${LAYER_FILE})

function(layer_of path out)
  set(best "")
  foreach(layer ${layers})
    string(LENGTH "${layer}" n)
    string(FIND "${path}" "${layer}/" at)
    if(at EQUAL 0)
      string(LENGTH "${best}" m)
      if(n GREATER m)
        set(best ${layer})
      endif()
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp
     ${SOURCE_DIR}/*.inc ${SOURCE_DIR}/*.rc)
set(problems "")
foreach(source ${sources})
  layer_of(${source} layer)
  if(layer STREQUAL "")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header ${CMAKE_MATCH_1})
      if(NOT header MATCHES "/")
        continue()  # beside the including file
      endif()
      layer_of(${header} target)
      if(target STREQUAL "" OR target IN_LIST allowed_${layer})
        continue()
      endif()
      string(REPLACE ";" ", " may "${allowed_${layer}}")
      string(APPEND problems "  ${source} includes ${header}: ${layer} may use only ${may}\n")
    elseif(line MATCHES "#[ \t]*include[ \t]*<([A-Za-z0-9_]+)\\.h>")
      string(TOLOWER ${CMAKE_MATCH_1} name)
      if(name MATCHES "^(windows|winuser|wingdi|winbase|commctrl|commdlg|shellapi|tlhelp32|mmsystem|winhttp|wininet|shlobj|dwmapi)$"
         AND NOT layer IN_LIST windows_layers)
        string(APPEND problems "  ${source} includes <${CMAKE_MATCH_1}.h>: only platform/win32 and app talk to Windows\n")
      endif()
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Layer rules broken (see docs/architecture.md):\n${problems}")
endif()
file(TOUCH ${STAMP})
