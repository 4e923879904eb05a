komaraku_fuzz(fuzz_csa_record SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_csa_record.cpp LIBS record RUNS 3000)
komaraku_fuzz(fuzz_select_read SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_select_read.cpp LIBS record RUNS 3000)
komaraku_fuzz(fuzz_skb SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_skb.cpp LIBS record RUNS 5000)
