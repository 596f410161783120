# quorvane_check_headers(folder target [EXCLUDE headers...] [LISTED])
# Every header of the folder must build on its own: one translation unit each that
# includes it first and nothing else, compiled with the target's flags and warnings.
# The headers are globbed, so a new one is checked without being listed here; with
# LISTED, only those the target lists among its sources (the rest of the folder
# needs what this build lacks).
function(quorvane_check_headers folder target)
  cmake_parse_arguments(ARG "LISTED" "" "EXCLUDE" ${ARGN})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  if(ARG_EXCLUDE)
    list(REMOVE_ITEM headers ${ARG_EXCLUDE})
  endif()
  if(ARG_LISTED)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.h$")
    list(TRANSFORM sources PREPEND ${folder}/ OUTPUT_VARIABLE headers)
  endif()
  string(MAKE_C_IDENTIFIER ${folder} library)
  set(checks "")
  foreach(header IN LISTS headers)
    string(MAKE_C_IDENTIFIER ${header} name)
    set(check ${CMAKE_CURRENT_BINARY_DIR}/header_checks/${name}.cpp)
    file(CONFIGURE OUTPUT ${check} CONTENT "#include \"${header}\"\n")
    list(APPEND checks ${check})
  endforeach()
  add_library(${library}_header_checks OBJECT ${checks})
  target_link_libraries(${library}_header_checks PRIVATE ${target} quorvane_warnings)
  # Only whether each compiles counts, not the code it makes.
  target_compile_options(${library}_header_checks PRIVATE -O0)
endfunction()
