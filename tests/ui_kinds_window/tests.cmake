vell_add_gtest(NAME test_ui_kinds_window SOURCES window_test.cpp GUI)
