# The host build holds only the portable engine logic, tested under the sanitizers.
set(QUORVANE_ARCH native)
set(QUORVANE_TEST_PREFIX "native.")
set(QUORVANE_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${QUORVANE_SANITIZE})
add_link_options(${QUORVANE_SANITIZE})

function(quorvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main quorvane_warnings)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX ${QUORVANE_TEST_PREFIX})
endfunction()
