komaraku_fuzz(fuzz_dib SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_dib.cpp LIBS appcore RUNS 5000)
komaraku_fuzz(fuzz_wave SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_wave.cpp LIBS appcore RUNS 20000)
