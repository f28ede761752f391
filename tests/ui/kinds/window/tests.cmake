# The program's resources come along, so windows find "DEFAULT_ICON".
vell_add_gtest(NAME test_ui_kinds_window SOURCES window_test.cpp ../../../../app/vellumor.rc GUI)
