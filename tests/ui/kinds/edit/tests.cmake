vell_add_gtest(NAME test_ui_kinds_edit GUI SOURCES
  edit_test.cpp edit_text_test.cpp ../../../support/kind_harness.cpp)
