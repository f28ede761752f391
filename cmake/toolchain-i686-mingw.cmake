# Cross toolchain: 32-bit Windows programs built on Debian with mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VELL_TRIPLET i686-w64-mingw32)
# The posix thread model, as MSYS2 uses: std::thread and std::mutex exist
# (GoogleTest needs them on Windows); -static links winpthread in.
set(CMAKE_C_COMPILER   ${VELL_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELL_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELL_TRIPLET}-windres)
# .S files go through gcc so they get the C preprocessor.
set(CMAKE_ASM_COMPILER ${VELL_TRIPLET}-gcc-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${VELL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest, try_run and add_custom_command(COMMAND <exe target>) run
# Windows programs through Wine.
get_filename_component(_vell_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_vell_wine_run}")
