# The kinds' block code has no Win32 in it: it is built and tested on the
# build host, where no Wine is needed.
file(GLOB _vell_block_sources CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/kinds/*/*_block.cpp ${CMAKE_SOURCE_DIR}/ui/kinds/common/block.cpp)
set(_vell_blocks_test ${CMAKE_BINARY_DIR}/tools/kind_blocks_test)
add_custom_command(
  OUTPUT ${_vell_blocks_test}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${VELL_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
          -finput-charset=UTF-8 -fexec-charset=CP936 -I${CMAKE_SOURCE_DIR}
          ${CMAKE_CURRENT_LIST_DIR}/blocks_test.cpp ${_vell_block_sources} -o ${_vell_blocks_test}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/blocks_test.cpp ${_vell_block_sources} ${_vell_kind_block_headers}
  COMMENT "Building the kind block test (host)"
  VERBATIM)
add_custom_target(kind_blocks_test ALL DEPENDS ${_vell_blocks_test})
add_test(NAME test_ui_kinds_blocks COMMAND ${_vell_blocks_test})
set_tests_properties(test_ui_kinds_blocks PROPERTIES LABELS host TIMEOUT 60)
