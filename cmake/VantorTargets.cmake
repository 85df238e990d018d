# Helpers shared by every module's CMakeLists.txt.

if(VANTOR_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(VANTOR_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()

add_custom_target(fuzzers)
if(VANTOR_FUZZ)
  # name and seed folder of every fuzzer, read by scripts/fuzz
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/corpora.txt "")
endif()

# vantor_add_test(NAME SOURCES ... LIBS ... [LABELS label] [TIMEOUT seconds])
# A GoogleTest executable whose cases are each a CTest test named NAME.Suite.Case, so a
# skipped case shows as skipped. Cases run with the source tree's tests/data folder in
# VANTOR_TEST_DATA, a scratch folder in VANTOR_TEST_TMP and the leak suppressions for system
# libraries of tests/lsan.supp, and fail after TIMEOUT seconds (default 60) instead of hanging.
# The cases are listed when CTest starts, not at build time, so building never runs a
# sanitizer build's program or one that needs a display.
function(vantor_add_test name)
  if(NOT VANTOR_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "LABELS;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  add_executable(${name} ${T_SOURCES})
  # The environment goes on the command line: the case list carries no list-valued property.
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;SDL_AUDIODRIVER=dummy;VANTOR_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp/${name};LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VANTOR_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    VANTOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS ${T_LABELS})
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX ${name}.
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()

# vantor_add_fuzzer(NAME SOURCES ... LIBS ... [CORPUS dir])
# A libFuzzer target; built only with VANTOR_FUZZ, into <build>/fuzz/.
function(vantor_add_fuzzer name)
  if(NOT VANTOR_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${name})
  if(F_CORPUS)
    file(APPEND ${CMAKE_BINARY_DIR}/fuzz/corpora.txt "${name} ${F_CORPUS}\n")
  endif()
endfunction()

# vantor_add_benchmark(NAME SOURCES ... LIBS ...): a Google Benchmark program in <build>/bench/.
function(vantor_add_benchmark name)
  if(NOT VANTOR_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE VANTOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()
