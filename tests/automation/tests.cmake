# The recorder: a test automation server that notes what reaches it.
vell_com_dll(NAME vell_recorder
  IDL ${CMAKE_CURRENT_LIST_DIR}/recorder.idl
  DEF ${CMAKE_CURRENT_LIST_DIR}/recorder.def
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/recorder.cpp)

vell_add_gtest(NAME test_automation
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/automation_test.cpp ${CMAKE_CURRENT_LIST_DIR}/convert_test.cpp
  ${CMAKE_BINARY_DIR}/gen/vell_recorder/vell_recorder_i.c)
add_dependencies(test_automation vell_recorder)
# The tests read the recorder's type library for declared parameter types.
target_include_directories(test_automation PRIVATE ${CMAKE_BINARY_DIR}/gen/vell_recorder)
