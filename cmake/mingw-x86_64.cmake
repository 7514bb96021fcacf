# 64-bit Windows through mingw-w64: the same program and tests, runnable on
# hosts that start only 64-bit code.
set(TESSARO_MINGW_TRIPLE x86_64-w64-mingw32)
set(TESSARO_MINGW_PROCESSOR x86_64)
set(TESSARO_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
