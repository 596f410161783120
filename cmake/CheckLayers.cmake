# Fails when a source of one layer includes a header of a layer it must not see.
#   cmake -DSOURCE_DIR=<source root> -P CheckLayers.cmake
# Every target exports the whole source root, so the compiler cannot catch such an
# include; this reads each #include instead, resolved as the compiler would: a quoted
# name next to the including file first, then from the source root.

cmake_minimum_required(VERSION 3.25)

# What each layer may include besides itself. Anything else of ours (tests/, bench/,
# a layer above) is refused.
set(kAllowed_base "")
set(kAllowed_engine base)
set(kAllowed_settings base)
set(kAllowed_framework base)
set(kAllowed_ui base engine settings framework)
set(kLayers base engine settings framework ui)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

# The top folder of the source tree that an include names, or "" for one outside it.
function(included_folder source included quoted result)
  cmake_path(GET source PARENT_PATH here)
  # A name found nowhere is judged by the folder it names from the root.
  set(found "${SOURCE_DIR}/${included}")
  if(quoted AND EXISTS "${here}/${included}")
    set(found "${here}/${included}")
  endif()
  cmake_path(NORMAL_PATH found)
  cmake_path(RELATIVE_PATH found BASE_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE relative)
  if(relative MATCHES "^\\.\\./" OR NOT relative MATCHES "/")
    set(${result} "" PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "/.*" "" top "${relative}")
  if(IS_DIRECTORY "${SOURCE_DIR}/${top}")
    set(${result} "${top}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

set(failures "")
set(checked 0)
foreach(layer IN LISTS kLayers)
  file(GLOB_RECURSE sources LIST_DIRECTORIES false
       "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.rc.in")
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" match "${line}")
      set(included "${CMAKE_MATCH_1}")
      set(quoted FALSE)
      if(match MATCHES "^\"")
        set(quoted TRUE)
      endif()
      included_folder("${source}" "${included}" ${quoted} folder)
      if(folder STREQUAL "" OR folder STREQUAL layer OR folder IN_LIST kAllowed_${layer})
        continue()
      endif()
      cmake_path(RELATIVE_PATH source BASE_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE shown)
      set(may "may include nothing of ours")
      if(NOT kAllowed_${layer} STREQUAL "")
        list(JOIN kAllowed_${layer} "/, " may)
        set(may "may include only ${may}/")
      endif()
      string(APPEND failures "\n  ${shown}: #include \"${included}\" reaches ${folder}/; ${layer}/ ${may}")
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no sources found under ${SOURCE_DIR}")
endif()
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "includes against the layers:${failures}")
endif()
message(STATUS "${checked} sources include only what their layer may")
