# The shipped deliverables: 32-bit, like the HotSync Manager that loads the conduit.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
