vell_add_gtest(NAME test_ui_dispatch GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatch_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/ui_kit.cpp ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp)
