vell_add_gtest(NAME test_ui_loader GUI SOURCES loader_test.cpp ../../support/ui_kit.cpp ../../support/kind_harness.cpp)
