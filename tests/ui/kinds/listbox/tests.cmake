vell_add_gtest(NAME test_ui_kinds_listbox GUI SOURCES
  listbox_test.cpp ../../../support/kind_harness.cpp)
