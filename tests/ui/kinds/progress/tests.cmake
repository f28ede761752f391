vell_add_gtest(NAME test_ui_kinds_progress GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/progress_test.cpp ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp)
