add_executable(runtime_child WIN32 ${CMAKE_CURRENT_LIST_DIR}/child_main.cpp)
target_link_libraries(runtime_child PRIVATE vell_rt)
vell_add_gtest(NAME test_runtime_process SOURCES ${CMAKE_CURRENT_LIST_DIR}/process_test.cpp GUI)
add_dependencies(test_runtime_process runtime_child)
