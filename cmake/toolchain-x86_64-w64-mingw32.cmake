# Cross build for 64-bit Windows with MinGW-w64 (g++-mingw-w64-x86-64-posix). Not a product: the
# test stage runs the core suites on it under 64-bit Wine where the kernel cannot run 32-bit
# programs, so that the Windows code paths still run somewhere.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_triple x86_64-w64-mingw32)
set(_wine_name wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
