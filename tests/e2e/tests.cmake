# Drives the real program; it and the stream server must be built, and the
# server registered in the prefix, first. Trees with links are made on the
# host side: this Wine cannot create links.
set(_links "${CMAKE_BINARY_DIR}/e2e_links")
add_test(NAME e2e_link_tree COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/make_links.sh ${_links})
set_tests_properties(e2e_link_tree PROPERTIES FIXTURES_SETUP link_tree)
string(REPLACE "/" "\\" _links_win "Z:${_links}")

vell_add_gtest(NAME test_e2e GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${CMAKE_CURRENT_LIST_DIR}/e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_menu_test.cpp)
add_dependencies(test_e2e vellumor vell_stream)
set_tests_properties(test_e2e PROPERTIES TIMEOUT 300
  FIXTURES_REQUIRED "wine_prefix;stream_registered;link_tree"
  ENVIRONMENT "VELL_LINK_TREE=${_links_win}")

# The command line and batch runs: child runs of the program whose output
# and exit codes are read.
vell_add_gtest(NAME test_e2e_batch GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${CMAKE_CURRENT_LIST_DIR}/batch_test.cpp)
target_include_directories(test_e2e_batch PRIVATE ${VELL_GENERATED})
add_dependencies(test_e2e_batch vellumor vell_stream)
set_tests_properties(test_e2e_batch PROPERTIES TIMEOUT 300
  FIXTURES_REQUIRED "wine_prefix;stream_registered;link_tree"
  ENVIRONMENT "VELL_LINK_TREE=${_links_win}")

# scripts/run --batch from a shell without a display, on a Linux path.
add_test(NAME e2e_run_batch COMMAND env -u DISPLAY
  ${CMAKE_CURRENT_LIST_DIR}/run_batch.sh ${CMAKE_SOURCE_DIR}/scripts/run)
vell_test_properties(e2e_run_batch)
set_tests_properties(e2e_run_batch PROPERTIES TIMEOUT 300
  FIXTURES_REQUIRED "wine_prefix;stream_registered")

# The host's folders (under /srv, by a link, as "."), two jobs at once, and
# a user other than root with a clone of their own (built the first time).
foreach(_case folders together user)
  add_test(NAME e2e_run_host_${_case} COMMAND env -u DISPLAY
    ${CMAKE_CURRENT_LIST_DIR}/run_host.sh ${CMAKE_SOURCE_DIR}/scripts/run ${_case})
  vell_test_properties(e2e_run_host_${_case})
  set_tests_properties(e2e_run_host_${_case} PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77
    FIXTURES_REQUIRED "wine_prefix;stream_registered")
endforeach()
set_tests_properties(e2e_run_host_user PROPERTIES TIMEOUT 1800)
# The window at 96 and 144 DPI, each in a Wine session started at that DPI.
# Alone: it ends the running session, and every program started meanwhile
# would see the changed DPI.
add_executable(vell_dpi_probe ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${CMAKE_CURRENT_LIST_DIR}/dpi_test.cpp)
target_link_libraries(vell_dpi_probe PRIVATE ${VELL_GTEST_MAIN} vell_rt)
add_dependencies(vell_dpi_probe vellumor)
add_test(NAME e2e_dpi_layout COMMAND ${CMAKE_CURRENT_LIST_DIR}/dpi_layout.sh
  ${CMAKE_SOURCE_DIR}/scripts $<TARGET_FILE:vell_dpi_probe>)
vell_test_properties(e2e_dpi_layout)
set_tests_properties(e2e_dpi_layout PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE RESOURCE_LOCK display
  FIXTURES_REQUIRED "wine_prefix")

# vellumor.com from cmd and a .bat file; VELL_PROGRAM_DIR names another
# folder of the two programs (scripts/release: the unzipped release).
vell_add_gtest(NAME test_e2e_launcher GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/driver.cpp ${CMAKE_CURRENT_LIST_DIR}/launcher_test.cpp)
target_include_directories(test_e2e_launcher PRIVATE ${VELL_GENERATED})
add_dependencies(test_e2e_launcher vellumor vellumor_com vell_stream)
set_tests_properties(test_e2e_launcher PROPERTIES TIMEOUT 300
  FIXTURES_REQUIRED "wine_prefix;stream_registered")
