vell_add_gtest(NAME test_ui_kinds_label GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/label_test.cpp ${CMAKE_SOURCE_DIR}/tests/support/kind_harness.cpp)
# A screenshot of the label showcase for a person to look at.
add_test(NAME test_ui_kinds_label_screenshot
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/screenshot.sh $<TARGET_FILE:test_ui_kinds_label>
                 ${CMAKE_BINARY_DIR}/artifacts)
vell_test_properties(test_ui_kinds_label_screenshot)
set_tests_properties(test_ui_kinds_label_screenshot PROPERTIES RESOURCE_LOCK display)
