# SPDX-License-Identifier: MIT
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GPD_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GPD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GPD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GPD_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${GPD_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${GPD_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers, libraries and packages come from the target's tree (and the Qt prefix the
# project adds to CMAKE_PREFIX_PATH); programs run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${GPD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
