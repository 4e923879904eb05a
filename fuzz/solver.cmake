komaraku_fuzz(fuzz_mate_engine SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_mate_engine.cpp LIBS solver test_support RUNS 3000)
