vell_add_gtest(NAME test_ui_kinds_listbox GUI SOURCES
  listbox_test.cpp ../ui_kinds_button/kind_harness.cpp)
