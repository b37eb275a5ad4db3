# Shared by the two MinGW toolchain files; QX_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every test program runs inside the test run's desktop (a Wine prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/in-desktop.sh)
