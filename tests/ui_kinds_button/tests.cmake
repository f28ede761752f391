vell_add_gtest(NAME test_ui_kinds_button GUI SOURCES
  button_test.cpp kind_harness.cpp)
# The tool's own start window, loaded through the loader with the real kinds.
vell_add_gtest(NAME test_ui_kinds_main_window GUI SOURCES
  main_window_test.cpp ../../app/vellumor.rc LIBS vell_main_template)
