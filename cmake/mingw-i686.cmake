# 32-bit Windows through mingw-w64: the release build.
set(TESSARO_MINGW_TRIPLE i686-w64-mingw32)
set(TESSARO_MINGW_PROCESSOR i686)
set(TESSARO_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
