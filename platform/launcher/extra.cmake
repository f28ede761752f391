# vellumor.com, the console launcher of vellumor.exe (launcher_main.cpp).
# Only the system's DLLs: it ships beside the program.
add_executable(vellumor_com ${CMAKE_CURRENT_LIST_DIR}/launcher_main.cpp ${CMAKE_CURRENT_LIST_DIR}/launcher.rc)
set_target_properties(vellumor_com PROPERTIES OUTPUT_NAME vellumor SUFFIX .com)
target_include_directories(vellumor_com PRIVATE ${CMAKE_SOURCE_DIR} ${VELL_GENERATED})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/launcher.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/app/version_info.rci;${CMAKE_SOURCE_DIR}/app/vellumor.ico;${VELL_GENERATED}/vell_version.h;${VELL_GENERATED}/vellumor.manifest")
target_compile_options(vellumor_com PRIVATE -Os)
target_link_options(vellumor_com PRIVATE -mconsole ${VELL_SHIP_LINK_OPTIONS})
target_link_libraries(vellumor_com PRIVATE kernel32)
add_dependencies(vellumor vellumor_com)
