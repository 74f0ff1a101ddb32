# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686-posix,
# libz-mingw-w64-dev). The posix thread model gives the standard mutex and thread types.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
# Programs built here run under Wine when it is installed (tests through CTest).
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_triple i686-w64-mingw32)
set(_wine_name wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
