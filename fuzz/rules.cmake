komaraku_fuzz(fuzz_text_codec SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_text_codec.cpp LIBS platform RUNS 5000)
komaraku_fuzz(fuzz_board_form SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_board_form.cpp LIBS record RUNS 5000)
