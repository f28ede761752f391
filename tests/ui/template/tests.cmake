vell_add_gtest(NAME test_ui_template
  SOURCES template_test.cpp main_template_test.cpp kind_table_test.cpp
  LIBS vell_main_template)
