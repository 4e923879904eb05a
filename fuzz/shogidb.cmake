# The shogi databases' readers: registration texts, joseki files, search conditions, damaged table files.
# Each input writes a small database afresh (a few milliseconds; the damaged one also checks and repairs).
komaraku_fuzz(fuzz_shogidb_register SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_shogidb_register.cpp LIBS shogidb RUNS 2000)
komaraku_fuzz(fuzz_shogidb_joseki SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_shogidb_joseki.cpp LIBS shogidb RUNS 2000)
komaraku_fuzz(fuzz_shogidb_search SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_shogidb_search.cpp LIBS shogidb RUNS 2000)
komaraku_fuzz(fuzz_shogidb_damaged SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_shogidb_damaged.cpp LIBS shogidb RUNS 500)
