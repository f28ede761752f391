# The window template block: the generator (tools/window_template.cpp, with
# the template writer and the kinds' block code) is built for the build host
# with the module's window layouts (app/*_layout.cpp) and run to generate a
# source holding the block, compiled into vell_app and into the template
# tests.
find_program(VELL_HOST_CXX NAMES c++ g++ REQUIRED)
set(_vell_tpl_gen ${CMAKE_BINARY_DIR}/tools/window_template_gen)
set(_vell_tpl_src ${CMAKE_BINARY_DIR}/generated/main_template_data.cpp)
# Each kind's block code has no Win32 in it, so the host builds it too.
file(GLOB _vell_kind_blocks CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/kinds/*/*_block.cpp ${CMAKE_SOURCE_DIR}/ui/kinds/common/block.cpp)
file(GLOB _vell_kind_block_headers CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/kinds/*/*_block.h ${CMAKE_SOURCE_DIR}/ui/kinds/common/block.h)
file(GLOB _vell_layouts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*_layout.cpp)
set(_vell_tpl_inputs
  ${CMAKE_SOURCE_DIR}/tools/window_template.cpp
  ${_vell_layouts}
  ${CMAKE_SOURCE_DIR}/ui/template/template.cpp
  ${_vell_kind_blocks})
add_custom_command(
  OUTPUT ${_vell_tpl_gen}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${VELL_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
          -finput-charset=UTF-8 -fexec-charset=CP936 -I${CMAKE_SOURCE_DIR}
          ${_vell_tpl_inputs} -o ${_vell_tpl_gen}
  DEPENDS ${_vell_tpl_inputs}
          ${CMAKE_SOURCE_DIR}/tools/window_template.h
          ${CMAKE_SOURCE_DIR}/app/main_window.h
          ${CMAKE_SOURCE_DIR}/runtime/kind_ids.h
          ${CMAKE_SOURCE_DIR}/ui/template/template.h
          ${_vell_kind_block_headers}
          ${CMAKE_SOURCE_DIR}/ui/template/archive.h
  COMMENT "Building the window template generator (host)"
  VERBATIM)
add_custom_command(
  OUTPUT ${_vell_tpl_src}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${_vell_tpl_gen} ${_vell_tpl_src} vell_main_template
  DEPENDS ${_vell_tpl_gen}
  COMMENT "Generating the main window template block"
  VERBATIM)
# An object library, so targets in other directories (tests) can use it.
add_library(vell_main_template OBJECT ${_vell_tpl_src})
target_sources(vell_app PRIVATE $<TARGET_OBJECTS:vell_main_template>)
