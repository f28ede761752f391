# The kinds' block code has no Win32 in it: it is built and tested on the
# build host, where no Wine is needed.
set(_vell_blocks_test ${CMAKE_BINARY_DIR}/tools/kind_blocks_test)
vell_host_program(OUTPUT ${_vell_blocks_test}
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/blocks_test.cpp ${VELL_KIND_BLOCK_SOURCES}
  DEPENDS ${VELL_KIND_BLOCK_HEADERS}
  COMMENT "Building the kind block test (host)")
add_custom_target(kind_blocks_test ALL DEPENDS ${_vell_blocks_test})
add_test(NAME test_ui_kinds_blocks COMMAND ${_vell_blocks_test})
set_tests_properties(test_ui_kinds_blocks PROPERTIES LABELS host TIMEOUT 60)
