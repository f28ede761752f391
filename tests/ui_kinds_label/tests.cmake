vell_add_gtest(NAME test_ui_kinds_label SOURCES label_test.cpp GUI)
