# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH="PREFIX;..." -DLUMARK_BUILD_EDITOR=OFF
# scripts/windows does this with the libraries it builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMARK_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${LUMARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMARK_MINGW_TRIPLE}-windres)

# Libraries built for Windows live in the MinGW root and in the prefixes handed in through
# CMAKE_PREFIX_PATH (the cache that scripts/windows fills), which are roots of their own.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMARK_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only, and programs that carry their runtime (libgcc, libstdc++,
# winpthread): each .exe runs on its own, under Wine as on Windows.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Tests built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
