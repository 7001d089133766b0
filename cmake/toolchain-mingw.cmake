# Cross build for Windows with MinGW-w64; test programs run under Wine. The
# files toolchain-mingw-<processor>.cmake set FENDRIX_MINGW_PROCESSOR and
# include this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${FENDRIX_MINGW_PROCESSOR})
set(fendrix_mingw_triplet ${FENDRIX_MINGW_PROCESSOR}-w64-mingw32)

# The -posix variants carry std::thread, which the batch conversion uses.
set(CMAKE_C_COMPILER ${fendrix_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${fendrix_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${fendrix_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${fendrix_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
