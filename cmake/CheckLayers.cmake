# Fails when a source of one layer includes a header of a layer it must not see.
#   cmake -DSOURCE_DIR=<source root> -P CheckLayers.cmake
# Every target exports the whole source root, so the compiler cannot catch such an
# include; this reads each #include instead, resolved as the compiler would: a quoted
# name next to the including file first, then from the source root.

cmake_minimum_required(VERSION 3.25)

# What each layer may include besides itself. A layer is a folder; the engine's
# sub-folders are layers of their own, and a file belongs to the deepest layer that
# holds it. Anything else of ours (tests/, bench/, a layer above) is refused.
set(kAllowed_base "")
set(kAllowed_engine base)
# The scrub and the free-space wipe stand side by side under the run: neither sees
# the other.
set(kAllowed_engine/scrub base engine)
set(kAllowed_engine/freespace base engine)
# A folder shredded whole removes its folders through the scrub; the run walks it.
set(kAllowed_engine/folders base engine engine/scrub)
set(kAllowed_engine/run base engine engine/scrub engine/freespace engine/folders)
set(kAllowed_engine/win32 base engine)
set(kAllowed_settings base)
set(kAllowed_framework base)
# The window sees the run's interface, the folder question, the engine's seam and the
# Win32 file system; the scrub and the wipe stay behind the run.
set(kAllowed_ui base engine engine/run engine/folders engine/win32 settings framework)
set(kLayers base engine engine/scrub engine/freespace engine/folders engine/run engine/win32 settings framework ui)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

# The deepest layer that holds a path relative to the source root, or "".
function(layer_of relative result)
  set(found "")
  foreach(layer IN LISTS kLayers)
    string(LENGTH "${layer}" length)
    string(LENGTH "${found}" longest)
    if(relative MATCHES "^${layer}/" AND length GREATER longest)
      set(found "${layer}")
    endif()
  endforeach()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

# The layer of the source tree that an include names, or "" for one outside them.
function(included_layer source included quoted result)
  cmake_path(GET source PARENT_PATH here)
  # A name found nowhere is judged by the folder it names from the root.
  set(found "${SOURCE_DIR}/${included}")
  if(quoted AND EXISTS "${here}/${included}")
    set(found "${here}/${included}")
  endif()
  cmake_path(NORMAL_PATH found)
  cmake_path(RELATIVE_PATH found BASE_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE relative)
  if(relative MATCHES "^\\.\\./")
    set(${result} "" PARENT_SCOPE)
    return()
  endif()
  layer_of("${relative}" layer)
  if(layer STREQUAL "")
    # Of ours but no layer's (tests/, bench/): named by its top folder, so it is refused.
    string(REGEX MATCH "^[^/]+/" top "${relative}")
    if(NOT top STREQUAL "" AND IS_DIRECTORY "${SOURCE_DIR}/${top}")
      string(REGEX REPLACE "/$" "" layer "${top}")
    endif()
  endif()
  set(${result} "${layer}" PARENT_SCOPE)
endfunction()

set(failures "")
set(checked 0)
file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.rc.in")
foreach(shown IN LISTS sources)
  layer_of("${shown}" layer)
  if(layer STREQUAL "")
    continue()
  endif()
  set(source "${SOURCE_DIR}/${shown}")
  math(EXPR checked "${checked} + 1")
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" match "${line}")
    set(included "${CMAKE_MATCH_1}")
    set(quoted FALSE)
    if(match MATCHES "^\"")
      set(quoted TRUE)
    endif()
    included_layer("${source}" "${included}" ${quoted} folder)
    if(folder STREQUAL "" OR folder STREQUAL layer OR folder IN_LIST kAllowed_${layer})
      continue()
    endif()
    set(may "may include nothing of ours")
    if(NOT kAllowed_${layer} STREQUAL "")
      list(JOIN kAllowed_${layer} "/, " may)
      set(may "may include only ${may}/")
    endif()
    string(APPEND failures "\n  ${shown}: #include \"${included}\" reaches ${folder}/; ${layer}/ ${may}")
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no sources found under ${SOURCE_DIR}")
endif()
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "includes against the layers:${failures}")
endif()
message(STATUS "${checked} sources include only what their layer may")
