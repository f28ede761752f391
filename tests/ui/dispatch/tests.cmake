vell_add_gtest(NAME test_ui_dispatch GUI SOURCES dispatch_test.cpp ../../support/ui_kit.cpp ../../support/kind_harness.cpp)
