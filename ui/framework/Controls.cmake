# The control tree and its host: TSmartCtrl, its lists, TSmartVCL.
add_library(vantor_controls STATIC
  ControlList.cpp
  ListContainer.cpp
  SmartCtrl.cpp
  SmartVCL.cpp)
target_include_directories(vantor_controls PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantor_controls PUBLIC vantor_graphics vantor_uiscale vantor_theme vantor_uithread)

vantor_add_test(vantor_controls_test
  SOURCES tests/ControlTreeTest.cpp tests/ControlPaintTest.cpp tests/SmartVCLTest.cpp
  LIBS vantor_controls)

vantor_add_benchmark(vantor_controls_bench
  SOURCES bench/ControlPaintBench.cpp
  LIBS vantor_controls)
