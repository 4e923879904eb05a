komaraku_fuzz(fuzz_settings_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_settings_file.cpp LIBS platform RUNS 2000)
