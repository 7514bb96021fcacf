# Shared by the two mingw-w64 toolchain files, which set TESSARO_MINGW_TRIPLE,
# TESSARO_MINGW_PROCESSOR and TESSARO_WINE_ARCH first. The posix thread variant
# is needed: the win32 one cannot build GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TESSARO_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${TESSARO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under Wine with the loader and prefix of this build's bitness;
# the script picks them and the display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-exec.sh ${TESSARO_WINE_ARCH})
