vell_add_gtest(NAME test_tools_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_test.cpp LIBS vell_bench_core)
# The tree generator runs on the build host.
find_program(VELL_PYTHON3 python3)
if(VELL_PYTHON3)
  add_test(NAME test_tools_bench_tree
    COMMAND ${VELL_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make_tree_test.py ${CMAKE_SOURCE_DIR}/tools/bench)
  # Runs on the build host with python3; no Wine.
  set_tests_properties(test_tools_bench_tree PROPERTIES LABELS host TIMEOUT 120)
endif()
