# Test programs of a Windows build run under Wine, in a private prefix under the
# build folder (prepared by scripts/wine-prefix.sh before ctest runs).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QUORVANE_WINEARCH win64)
  set(QUORVANE_WINELOADER /usr/lib/wine/wine64)
  set(QUORVANE_ARCH x86_64)
else()
  set(QUORVANE_WINEARCH win32)
  set(QUORVANE_WINELOADER /usr/lib/wine/wine)
  set(QUORVANE_ARCH i686)
endif()
set(QUORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
set(QUORVANE_TEST_PREFIX "${QUORVANE_ARCH}.")

# quorvane_add_gtest(target SOURCES sources... LIBS libs... [RESOURCE_LOCK names...])
# Every test case runs as a process of its own, all in the build's one prefix, and
# ctest runs them side by side: cases that use what the prefix has only once (the
# program's registry key, a drive letter) name it as a lock, per build, as each
# build has a prefix of its own.
function(quorvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main quorvane_warnings)
  target_compile_options(${name} PRIVATE ${QUORVANE_TEST_CODE_OPTIONS})
  list(TRANSFORM ARG_RESOURCE_LOCK PREPEND "${QUORVANE_ARCH}.")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       TEST_PREFIX ${QUORVANE_TEST_PREFIX} PROPERTIES TIMEOUT 300 RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
endfunction()
