# The project's CMake functions, shared by the top CMakeLists.txt, the
# extra.cmake files and the tests.cmake files. Every path handed to them is
# a full one (${CMAKE_CURRENT_LIST_DIR}/..., ${CMAKE_SOURCE_DIR}/...).

# vell_exclude_from_rt(glob ...)
# Takes sources that a folder builds itself (a DLL, a child program) out of
# vell_rt.
function(vell_exclude_from_rt)
  get_target_property(_srcs vell_rt SOURCES)
  foreach(_pattern IN LISTS ARGN)
    file(GLOB_RECURSE _drop CONFIGURE_DEPENDS "${_pattern}")
    if(_drop)
      list(REMOVE_ITEM _srcs ${_drop})
    endif()
  endforeach()
  set_property(TARGET vell_rt PROPERTY SOURCES ${_srcs})
endfunction()

# vell_dll(NAME n SOURCES ...)
# n.dll (mingw would call it libn.dll), its stdcall exports under their
# plain names: a DLL loaded or registered by name.
function(vell_dll)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME" "SOURCES")
  add_library(${ARG_NAME} SHARED ${ARG_SOURCES})
  set_target_properties(${ARG_NAME} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_NAME})
  target_link_options(${ARG_NAME} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
endfunction()

# vell_com_dll(NAME n IDL file.idl DEF file.def SOURCES ...)
# Builds n.dll, an in-process automation server: widl makes the header,
# interface ids and type library from the IDL; the type library is
# embedded as resource TYPELIB 1; platform/stream/com_server.cpp supplies
# the server's exports.
function(vell_com_dll)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME;IDL;DEF" "SOURCES")
  set(_gen ${CMAKE_BINARY_DIR}/gen/${ARG_NAME})
  file(MAKE_DIRECTORY ${_gen})
  # stdole2.tlb from the 64-bit Wine: what widl imports from it is the
  # same as from the i386 one, and no i386 package is needed.
  add_custom_command(
    OUTPUT ${_gen}/${ARG_NAME}.h ${_gen}/${ARG_NAME}_i.c ${_gen}/${ARG_NAME}.tlb
    COMMAND i686-w64-mingw32-widl --win32
      -I /usr/include/wine/wine/windows -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
      -h -H ${_gen}/${ARG_NAME}.h -u -U ${_gen}/${ARG_NAME}_i.c -t -T ${_gen}/${ARG_NAME}.tlb
      ${ARG_IDL}
    DEPENDS ${ARG_IDL}
    COMMENT "widl ${ARG_NAME}")
  file(CONFIGURE OUTPUT ${_gen}/${ARG_NAME}.rc CONTENT "1 TYPELIB \"${_gen}/${ARG_NAME}.tlb\"\n")
  set_source_files_properties(${_gen}/${ARG_NAME}.rc PROPERTIES OBJECT_DEPENDS ${_gen}/${ARG_NAME}.tlb)
  vell_dll(NAME ${ARG_NAME} SOURCES ${ARG_SOURCES} ${ARG_DEF}
    ${CMAKE_SOURCE_DIR}/platform/stream/com_server.cpp
    ${_gen}/${ARG_NAME}_i.c ${_gen}/${ARG_NAME}.h ${_gen}/${ARG_NAME}.rc)
  target_include_directories(${ARG_NAME} PRIVATE ${_gen} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PRIVATE ole32 oleaut32 uuid advapi32)
endfunction()

# The kinds' block code has no Win32 in it, so the build host compiles it
# too (the template generator, the block test).
file(GLOB VELL_KIND_BLOCK_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/kinds/*/*_block.cpp ${CMAKE_SOURCE_DIR}/ui/kinds/common/block.cpp)
file(GLOB VELL_KIND_BLOCK_HEADERS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/kinds/*/*_block.h ${CMAKE_SOURCE_DIR}/ui/kinds/common/block.h
  ${CMAKE_SOURCE_DIR}/ui/template/archive.h)
find_program(VELL_HOST_CXX NAMES c++ g++ REQUIRED)

# vell_host_program(OUTPUT path SOURCES ... [DEPENDS ...] COMMENT text)
# A program for the build host (no Wine), compiled like the target's
# sources: C++17, warnings as errors, GBK narrow literals.
function(vell_host_program)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "OUTPUT;COMMENT" "SOURCES;DEPENDS")
  get_filename_component(_dir "${ARG_OUTPUT}" DIRECTORY)
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
    COMMAND ${VELL_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
            -finput-charset=UTF-8 -fexec-charset=CP936 -I${CMAKE_SOURCE_DIR}
            ${ARG_SOURCES} -o ${ARG_OUTPUT}
    DEPENDS ${ARG_SOURCES} ${ARG_DEPENDS}
    COMMENT "${ARG_COMMENT}"
    VERBATIM)
endfunction()

# ---- tests ----
set(VELL_TEST_TIMEOUT 120)

# Gives any test (also one added with a plain add_test in a tests.cmake)
# the project's timeout and the Wine prefix fixture.
function(vell_test_properties name)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${VELL_TEST_TIMEOUT} FIXTURES_REQUIRED wine_prefix)
endfunction()

# vell_add_gtest(NAME name SOURCES a.cpp ... [LIBS lib ...] [GUI])
# One GoogleTest program linked with gtest_main and vell_rt, registered
# with ctest. GUI: the test shows windows, so it never overlaps another
# GUI test.
function(vell_add_gtest)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "GUI" "NAME" "SOURCES;LIBS")
  if(NOT ARG_NAME OR NOT ARG_SOURCES)
    message(FATAL_ERROR "vell_add_gtest: NAME and SOURCES are required")
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  # vell_app and vell_rt reference each other; one rescanned group
  # resolves both directions.
  set(_libs ${ARG_LIBS})
  if(vell_app IN_LIST _libs)
    list(REMOVE_ITEM _libs vell_app vell_rt)
    target_link_libraries(${ARG_NAME} PRIVATE ${VELL_GTEST_MAIN} ${_libs}
      "$<LINK_GROUP:RESCAN,vell_app,vell_rt>")
  else()
    target_link_libraries(${ARG_NAME} PRIVATE ${VELL_GTEST_MAIN} ${_libs} vell_rt)
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
  vell_test_properties(${ARG_NAME})
  if(ARG_GUI)
    set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()
