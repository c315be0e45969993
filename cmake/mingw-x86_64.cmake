# The same sources for 64-bit Windows, for hosts whose kernel runs no 32-bit
# user code.
set(CR_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
