# What the MinGW-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR and _triple first.
set(CMAKE_SYSTEM_NAME Windows)
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
if(EXISTS /usr/include/nlohmann/json.hpp)
  set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross CACHE PATH "")
endif()

find_program(_wine NAMES ${_wine_name} wine PATHS /usr/lib/wine)
if(_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_wine})
endif()

# GCC 12 warns about std::string's inlined copies and std::optional<std::vector> members on these
# targets where no overlap or uninitialised read can happen
# (GCC bug 105329); the warning is noise here and would hide real ones.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -Wno-maybe-uninitialized")
