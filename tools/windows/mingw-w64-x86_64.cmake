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

# Everything built with this file, Qt included, is built small and the same on every
# machine: each function and datum in a section of its own for the linker to drop when
# unused; the source and build folders written as "." wherever a path reaches the code
# (__FILE__, assertions); programs linked statically, without a link time stamp and
# without symbols.
# (CMake reads this file more than once: set, not append.)
foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_INIT "-ffunction-sections -fdata-sections \
-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.")
endforeach()
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s -Wl,--gc-sections -Wl,--no-insert-timestamp")
