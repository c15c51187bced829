# Cross-compiles for Windows with MinGW-w64, for the processor the including
# toolchain file names (PELLUX_MINGW_PROCESSOR: i686 or x86_64). The
# posix-thread compilers are used because GoogleTest needs std::mutex, which
# the win32-thread ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)
set(CMAKE_SYSTEM_PROCESSOR ${PELLUX_MINGW_PROCESSOR})
set(triplet ${PELLUX_MINGW_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs are Windows programs: run them through Wine. The test
# command's Wine session (scripts/wine-session.sh) makes `wine` the loader of
# the matching kind, 32- or 64-bit.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
