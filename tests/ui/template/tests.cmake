vell_add_gtest(NAME test_ui_template
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/template_test.cpp ${CMAKE_CURRENT_LIST_DIR}/main_template_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/kind_table_test.cpp
  LIBS vell_main_template)
