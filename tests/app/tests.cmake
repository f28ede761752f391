vell_add_gtest(NAME test_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/not_gbk_test.cpp LIBS vell_app)

# The tool's own start window, loaded through the loader with the real kinds.
vell_add_gtest(NAME test_app_main_window GUI SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp ${CMAKE_SOURCE_DIR}/app/vellumor.rc LIBS vell_main_template vell_app)

# The rewrite drives the stream automation server, which must be registered
# in the prefix first: the register_stream test is the fixture for that.
vell_add_gtest(NAME test_app_rewrite SOURCES ${CMAKE_CURRENT_LIST_DIR}/rewrite_test.cpp
  ${CMAKE_SOURCE_DIR}/app/rewrite.cpp ${CMAKE_SOURCE_DIR}/app/foreign_call.cpp
  ${CMAKE_SOURCE_DIR}/app/texts.cpp)
add_dependencies(test_app_rewrite vell_stream)

add_test(NAME register_stream
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/register-stream --force $<TARGET_FILE:vell_stream>)
set_tests_properties(register_stream PROPERTIES
  FIXTURES_SETUP stream_registered FIXTURES_REQUIRED wine_prefix TIMEOUT ${VELL_TEST_TIMEOUT})
set_tests_properties(test_app_rewrite PROPERTIES FIXTURES_REQUIRED "wine_prefix;stream_registered")
