# The window template block: the generator (tools/window_template.cpp, with
# the template writer and the kinds' block code) is built for the build host
# with the module's window layouts (app/*_layout.cpp) and run to generate a
# source holding the block, compiled into vell_app and into the template
# tests.
set(_vell_tpl_gen ${CMAKE_BINARY_DIR}/tools/window_template_gen)
set(_vell_tpl_src ${CMAKE_BINARY_DIR}/generated/main_template_data.cpp)
file(GLOB _vell_layouts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*_layout.cpp)
vell_host_program(OUTPUT ${_vell_tpl_gen}
  SOURCES ${CMAKE_SOURCE_DIR}/tools/window_template.cpp ${_vell_layouts}
          ${CMAKE_SOURCE_DIR}/ui/template/template.cpp ${VELL_KIND_BLOCK_SOURCES}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/window_template.h ${CMAKE_SOURCE_DIR}/app/main_window.h
          ${CMAKE_SOURCE_DIR}/runtime/kind_ids.h ${CMAKE_SOURCE_DIR}/ui/template/template.h
          ${VELL_KIND_BLOCK_HEADERS}
  COMMENT "Building the window template generator (host)")
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
