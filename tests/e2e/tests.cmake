# Drives the real program; it must be built first.
if(TARGET vellumor)
  vell_add_gtest(NAME test_e2e SOURCES driver.cpp e2e_test.cpp GUI)
  add_dependencies(test_e2e vellumor)
  set_tests_properties(test_e2e PROPERTIES TIMEOUT 300)
endif()
