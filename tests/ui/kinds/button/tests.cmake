vell_add_gtest(NAME test_ui_kinds_button GUI SOURCES
  button_test.cpp ../../../support/kind_harness.cpp)
