# 64-bit Windows, for the tests only: on a kernel that runs no 32-bit
# program the 32-bit Wine cannot start, and the 64-bit one runs these.
set(FENDRIX_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
