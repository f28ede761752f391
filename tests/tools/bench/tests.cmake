vell_add_gtest(NAME test_tools_bench SOURCES core_test.cpp LIBS vell_bench_core)
# The tree generator runs on the build host.
find_program(VELL_PYTHON3 python3)
if(VELL_PYTHON3)
  add_test(NAME test_tools_bench_tree
    COMMAND ${VELL_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/make_tree_test.py ${CMAKE_SOURCE_DIR}/tools/bench)
  # Needs no Wine: the only test a host without i386 programs can run.
  set_tests_properties(test_tools_bench_tree PROPERTIES LABELS host TIMEOUT 120)
endif()
