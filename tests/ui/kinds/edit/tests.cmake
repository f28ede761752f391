vell_add_gtest(NAME test_ui_kinds_edit GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp ${CMAKE_CURRENT_LIST_DIR}/edit_text_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp)
