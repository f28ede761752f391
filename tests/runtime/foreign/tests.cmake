# A DLL of our own to resolve and call, a child program for the fatal
# paths (they end the process), and the tests.
vell_dll(NAME vell_ftest SOURCES ${CMAKE_CURRENT_LIST_DIR}/ftest_dll.cpp ${CMAKE_CURRENT_LIST_DIR}/ftest.def)

add_executable(foreign_child WIN32
  ${CMAKE_CURRENT_LIST_DIR}/foreign_child_main.cpp ${CMAKE_SOURCE_DIR}/app/foreign_call.cpp)
target_link_libraries(foreign_child PRIVATE vell_rt)

vell_add_gtest(NAME test_runtime_foreign
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/foreign_test.cpp ${CMAKE_SOURCE_DIR}/app/foreign_call.cpp GUI)
add_dependencies(test_runtime_foreign vell_ftest foreign_child)
