# The stream automation server: an in-process COM DLL with its type
# library embedded, registered in the test prefixes (scripts/register-stream).

# vell_com_dll(NAME n IDL file.idl SOURCES ... DEF file.def)
# Builds n.dll: widl makes the header, interface ids and type library from
# the IDL; the type library is embedded as resource TYPELIB 1.
function(vell_com_dll)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME;IDL;DEF" "SOURCES")
  set(_gen ${CMAKE_BINARY_DIR}/gen/${ARG_NAME})
  file(MAKE_DIRECTORY ${_gen})
  add_custom_command(
    OUTPUT ${_gen}/${ARG_NAME}.h ${_gen}/${ARG_NAME}_i.c ${_gen}/${ARG_NAME}.tlb
    COMMAND i686-w64-mingw32-widl --win32
      -I /usr/include/wine/wine/windows -L /usr/lib/i386-linux-gnu/wine/i386-windows
      -h -H ${_gen}/${ARG_NAME}.h -u -U ${_gen}/${ARG_NAME}_i.c -t -T ${_gen}/${ARG_NAME}.tlb
      ${ARG_IDL}
    DEPENDS ${ARG_IDL}
    COMMENT "widl ${ARG_NAME}")
  file(CONFIGURE OUTPUT ${_gen}/${ARG_NAME}.rc CONTENT "1 TYPELIB \"${_gen}/${ARG_NAME}.tlb\"\n")
  set_source_files_properties(${_gen}/${ARG_NAME}.rc PROPERTIES OBJECT_DEPENDS ${_gen}/${ARG_NAME}.tlb)
  add_library(${ARG_NAME} SHARED ${ARG_SOURCES} ${ARG_DEF}
    ${CMAKE_SOURCE_DIR}/platform/stream/com_server.cpp
    ${_gen}/${ARG_NAME}_i.c ${_gen}/${ARG_NAME}.h ${_gen}/${ARG_NAME}.rc)
  set_target_properties(${ARG_NAME} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_NAME})
  target_include_directories(${ARG_NAME} PRIVATE ${_gen} ${CMAKE_SOURCE_DIR})
  target_link_options(${ARG_NAME} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  target_link_libraries(${ARG_NAME} PRIVATE ole32 oleaut32 uuid advapi32)
endfunction()

vell_exclude_from_rt(*.cpp)
vell_com_dll(NAME vell_stream
  IDL ${CMAKE_CURRENT_LIST_DIR}/stream.idl
  DEF ${CMAKE_CURRENT_LIST_DIR}/stream.def
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/stream.cpp)
