vell_add_gtest(NAME test_ui_dispatch GUI SOURCES dispatch_test.cpp ../ui_loader/ui_kit.cpp)
