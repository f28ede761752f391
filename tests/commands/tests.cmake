vell_add_gtest(NAME test_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_test.cpp ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp)
vell_add_gtest(NAME test_commands_dialog_values SOURCES ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
# Every message box and dialog that closes costs Wine about 2 s without a
# window manager, so the window tests are split to stay within the timeout.
vell_add_gtest(NAME test_commands_dialog_infobox SOURCES ${CMAKE_CURRENT_LIST_DIR}/infobox_test.cpp GUI)
vell_add_gtest(NAME test_commands_dialog_owner SOURCES ${CMAKE_CURRENT_LIST_DIR}/owner_test.cpp GUI)
vell_add_gtest(NAME test_commands_dialog_browse SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_browse_test.cpp GUI)
