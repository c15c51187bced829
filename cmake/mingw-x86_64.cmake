# 64-bit Windows: the same sources and settings as the 32-bit build.
set(PELLUX_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
