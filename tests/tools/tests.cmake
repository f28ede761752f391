# No product function over 100 lines: a long one hides steps nobody can test
# alone. Runs on the build host with python3; no Wine.
find_program(VELL_PYTHON3 python3)
if(VELL_PYTHON3)
  add_test(NAME test_tools_function_lengths
    COMMAND ${VELL_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/function_lengths.py --limit 100 --top 3
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(test_tools_function_lengths PROPERTIES LABELS host TIMEOUT 60)
endif()
