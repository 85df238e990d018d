# The locale manager: translated texts from the language files.
add_library(vantor_locale STATIC
  LocaleManager.cpp)
target_include_directories(vantor_locale PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantor_locale PUBLIC vantor_base)

vantor_add_test(vantor_locale_test
  SOURCES tests/LocaleManagerTest.cpp tests/EnglishLanguageTest.cpp
  LIBS vantor_locale)

vantor_add_fuzzer(fuzz_locale
  SOURCES tests/LocaleFuzzer.cpp
  LIBS vantor_locale
  CORPUS ${CMAKE_SOURCE_DIR}/tests/data/locale)

vantor_add_benchmark(bench_locale
  SOURCES tests/LocaleBenchmark.cpp
  LIBS vantor_locale)
