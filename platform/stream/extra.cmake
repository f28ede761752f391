# The stream automation server: an in-process COM DLL with its type
# library embedded, registered in the test prefixes (scripts/register-stream).
vell_exclude_from_rt(${CMAKE_CURRENT_LIST_DIR}/*.cpp)
vell_com_dll(NAME vell_stream
  IDL ${CMAKE_CURRENT_LIST_DIR}/stream.idl
  DEF ${CMAKE_CURRENT_LIST_DIR}/stream.def
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/stream.cpp ${CMAKE_SOURCE_DIR}/platform/files/new_name.cpp)
