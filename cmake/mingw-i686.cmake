# 32-bit Windows, the reference build.
set(PELLUX_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
