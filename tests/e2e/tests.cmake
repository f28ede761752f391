# Drives the real program; it and the stream server must be built, and the
# server registered in the prefix, first.
if(TARGET vellumor)
  vell_add_gtest(NAME test_e2e SOURCES driver.cpp e2e_test.cpp GUI)
  add_dependencies(test_e2e vellumor vell_stream)
  set_tests_properties(test_e2e PROPERTIES TIMEOUT 300
    FIXTURES_REQUIRED "wine_prefix;stream_registered")
endif()
