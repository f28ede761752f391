vell_add_gtest(NAME test_commands SOURCES file_test.cpp text_test.cpp)
vell_add_gtest(NAME test_commands_dialog_values SOURCES values_test.cpp)
# Every message box and dialog that closes costs Wine about 2 s without a
# window manager, so the window tests are split to stay within the timeout.
vell_add_gtest(NAME test_commands_dialog_infobox SOURCES infobox_test.cpp GUI)
vell_add_gtest(NAME test_commands_dialog_owner SOURCES owner_test.cpp GUI)
vell_add_gtest(NAME test_commands_dialog_browse SOURCES events_browse_test.cpp GUI)
