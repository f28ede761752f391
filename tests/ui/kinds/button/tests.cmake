vell_add_gtest(NAME test_ui_kinds_button GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/button_test.cpp ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp)
