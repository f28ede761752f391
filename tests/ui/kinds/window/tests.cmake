# The program's resources come along, so windows find "DEFAULT_ICON".
vell_add_gtest(NAME test_ui_kinds_window GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp
  ${CMAKE_SOURCE_DIR}/app/vellumor.rc)
