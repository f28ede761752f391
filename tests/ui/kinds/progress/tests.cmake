vell_add_gtest(NAME test_ui_kinds_progress SOURCES progress_test.cpp GUI)
