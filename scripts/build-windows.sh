#!/usr/bin/env bash
# Cross-builds the library for Windows with MinGW-w64 and writes, for 32-bit Windows, dist/win32/:
# jwlib.dll, jwlib.h, jwlib.def, the MinGW import library libjwlib.dll.a and the MSVC one
# jwlib.lib; and the same for 64-bit Windows in dist/win64/. Both DLLs carry the Win32 viewer.
# Extra arguments go to CMake's configure step. JW_WIN32_BUILD and JW_WIN64_BUILD name the build
# directories.
set -euo pipefail
cd "$(dirname "$0")/.."
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# build_variant TRIPLE BUILD_DIR DIST_DIR [CMAKE_ARGS...]
build_variant() {
  local T=$1 BUILD=$2 DIST=$3
  shift 3
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$T.cmake \
    -DCMAKE_BUILD_TYPE=Release -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF -DJW_BUILD_BENCH=OFF \
    "${LAUNCHER[@]}" "$@"
  cmake --build "$BUILD" --target jwlib -j "$(nproc 2>/dev/null || echo 2)"

  rm -rf "$DIST"
  mkdir -p "$DIST"
  $T-strip -o "$DIST/jwlib.dll" "$BUILD/lib/jwlib.dll"
  cp include/jwlib.h lib/jwlib.def "$BUILD/lib/libjwlib.dll.a" "$DIST/"

  local def=$DIST/jwlib-msvc.def
  if [ "$T" = i686-w64-mingw32 ]; then
    # MSVC links 32-bit __stdcall functions by their decorated names (_JW_ButtonCount@12); the
    # import library maps each to the undecorated export. The argument sizes come from the
    # compiled exports.
    local names
    names=$($T-nm "$BUILD"/lib/CMakeFiles/jwlib.dir/*.obj |
      sed -n 's/^[0-9a-f]* T _\(JW_[A-Za-z0-9]*@[0-9]*\)$/\1/p' | sort -u)
    {
      echo "LIBRARY jwlib.dll"
      echo "EXPORTS"
      while read -r name ordinal; do
        full=$(echo "$names" | grep -m1 "^$name@" || true)
        if [ -z "$full" ]; then
          echo "build-windows.sh: no compiled export $name" >&2
          exit 1
        fi
        echo "  $full $ordinal"
      done < <(sed -n 's/^ *\(JW_[A-Za-z0-9]*\) *\(@[0-9]*\).*/\1 \2/p' lib/jwlib.def)
    } >"$def"
    $T-dlltool --kill-at -d "$def" -D jwlib.dll -l "$DIST/jwlib.lib"
  else
    # 64-bit Windows has one calling convention and no decoration: the names as they are.
    $T-dlltool -d lib/jwlib.def -D jwlib.dll -l "$DIST/jwlib.lib"
  fi
  rm -f "$def"
  ls -l "$DIST"
}

build_variant i686-w64-mingw32 "${JW_WIN32_BUILD:-build-win32}" dist/win32 "$@"
build_variant x86_64-w64-mingw32 "${JW_WIN64_BUILD:-build-win64}" dist/win64 "$@"
