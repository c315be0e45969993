# Cross-build for Windows with the MinGW-w64 -posix compilers of the target
# triple CR_MINGW_TRIPLE, which mingw-i686.cmake and mingw-x86_64.cmake set
# (the -win32 variant lacks std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${CR_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER ${CR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CR_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
