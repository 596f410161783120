# Quorvane.exe: the main window, start-up and the resources (icon, version, manifest,
# and the readout's OCR-A font taken from Debian's fonts-ocr-a at build time).
set(QUORVANE_RES_DIR ${CMAKE_CURRENT_SOURCE_DIR}/res)
set(QUORVANE_OCRA_TTF /usr/share/fonts/truetype/ocr-a/OCRA.ttf)
if(NOT EXISTS ${QUORVANE_OCRA_TTF})
  message(FATAL_ERROR "the OCR-A font is missing: install the package fonts-ocr-a")
endif()
configure_file(${QUORVANE_RES_DIR}/Quorvane.rc.in ${CMAKE_CURRENT_BINARY_DIR}/Quorvane.rc @ONLY)

add_library(quorvane_main_window STATIC pShredder.cpp ShredRun.cpp ControlsDisplay.cpp ReadoutFont.cpp RunSignals.cpp)
target_link_libraries(quorvane_main_window
  PUBLIC quorvane_ui_components quorvane_ui_core quorvane_engine_win32 quorvane_settings quorvane_framework
  PRIVATE quorvane_warnings)
# The names the program is started with, for start-up.
target_sources(quorvane_main_window PRIVATE CommandLine.cpp)

add_executable(Quorvane WIN32 Quorvane.cpp OneWindow.cpp OneWindow.h ${CMAKE_CURRENT_BINARY_DIR}/Quorvane.rc)
target_include_directories(Quorvane PRIVATE ${CMAKE_SOURCE_DIR})
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/Quorvane.rc PROPERTIES
  OBJECT_DEPENDS "${QUORVANE_RES_DIR}/Quorvane.ico;${QUORVANE_RES_DIR}/Quorvane.manifest;${QUORVANE_OCRA_TTF}")
target_link_libraries(Quorvane PRIVATE quorvane_main_window quorvane_warnings)
