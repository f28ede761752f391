# The file commands' program holds the new-name checks too: they make
# files in a scratch folder the same way.
target_sources(test_commands PRIVATE ${CMAKE_CURRENT_LIST_DIR}/new_name_test.cpp)
