# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686-posix,
# libz-mingw-w64-dev). The posix thread model gives the standard mutex and thread types.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
# Programs built here run under Wine when it is installed (tests through CTest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++, winpthread and zlib go into every binary, so that the DLL and the test
# programs need nothing but the DLLs every Windows has.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Header-only and the same for every target: the build host's copy will do.
if(EXISTS /usr/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake)
  set(nlohmann_json_DIR /usr/share/cmake/nlohmann_json CACHE PATH "")
endif()

find_program(_wine NAMES wine)
if(_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_wine})
endif()

# GCC 12 warns about std::string's inlined copies on 32-bit targets where no overlap can happen
# (GCC bug 105329); the warning is noise here and would hide real ones.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
