# The theme manager: skin keys, theme files and their parameter syntax.
add_library(vantor_theme STATIC
  ThemeManager.cpp
  ThemeParams.cpp)
target_include_directories(vantor_theme PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantor_theme PUBLIC vantor_graphics vantor_uiscale vantor_base)

vantor_add_test(vantor_theme_test
  SOURCES tests/ThemeParamsTest.cpp tests/ThemeManagerTest.cpp tests/DefaultThemeTest.cpp
  LIBS vantor_theme)

vantor_add_fuzzer(fuzz_theme_params
  SOURCES tests/ThemeParamsFuzzer.cpp
  LIBS vantor_theme
  CORPUS ${CMAKE_SOURCE_DIR}/tests/data/theme/params)

vantor_add_benchmark(vantor_theme_bench
  SOURCES tests/ThemeBenchmark.cpp
  LIBS vantor_theme)
