# The stream server as the rewrite reaches it: late-bound, by name.
vell_add_gtest(NAME test_platform_stream SOURCES ${CMAKE_CURRENT_LIST_DIR}/stream_test.cpp)
add_dependencies(test_platform_stream vell_stream)
set_tests_properties(test_platform_stream PROPERTIES FIXTURES_REQUIRED "wine_prefix;stream_registered")
