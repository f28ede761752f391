# The program's resources come along, so windows find "DEFAULT_ICON".
vell_add_gtest(NAME test_ui_kinds_window GUI SOURCES
  window_test.cpp ../../../support/kind_harness.cpp ../../../../app/vellumor.rc)
