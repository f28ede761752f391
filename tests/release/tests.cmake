# The shipped programs read back by Debian's python3-pefile; the Chinese
# README carries the usage text that ships in the zip.
find_program(VELL_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME release_resources COMMAND ${VELL_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/resources_test.py
  $<TARGET_FILE:vellumor> $<TARGET_FILE:vellumor_com> ${VELL_VERSION})
add_test(NAME release_usage_in_readme COMMAND ${VELL_SYSTEM_PYTHON} -c
  "import sys; t = open(sys.argv[1], encoding='utf-8').read(); sys.exit(0 if t in open(sys.argv[2], encoding='utf-8').read() else 'README.zh-CN.md lacks docs/usage.zh-CN.txt as it is')"
  ${CMAKE_SOURCE_DIR}/docs/usage.zh-CN.txt ${CMAKE_SOURCE_DIR}/README.zh-CN.md)
