# The same sources for 64-bit Windows: what Wine runs on machines whose kernel cannot execute
# 32-bit code (see README, "Two Windows builds").
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
