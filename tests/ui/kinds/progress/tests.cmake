vell_add_gtest(NAME test_ui_kinds_progress GUI SOURCES
  progress_test.cpp ../../../support/kind_harness.cpp)
