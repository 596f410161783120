# A download can be checked only if anyone can rebuild it bit for bit: the same
# commit must give the same Quorvane.exe wherever and whenever it is built. So no
# link time stamp in the PE header, and no source or build folder in anything the
# compiler writes (__FILE__, debug information, the assembler's file names).
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
