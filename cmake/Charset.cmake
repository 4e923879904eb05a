# Core code holds Japanese text as code page 932 bytes, exactly as the file formats and field widths
# count them. Sources are UTF-8; the compiler turns their literals into CP932.
# Such code cannot include <chrono>: libstdc++ spells "µs" there, which CP932 lacks. <thread> and
# <condition_variable> bring the clocks and durations without it.
function(komaraku_cp932 target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
endfunction()

# A core library: CP932 literals, headers found from the project root ("rules/position.h").
function(komaraku_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  komaraku_cp932(${name})
endfunction()

# A GoogleTest executable for core code, registered with CTest.
function(komaraku_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KOMARAKU_TESTDATA="${KOMARAKU_TESTDATA}")
  komaraku_cp932(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
