#!/usr/bin/env bash
# Cross-builds the library for 32-bit Windows with MinGW-w64 and writes dist/win32/: jwlib.dll,
# jwlib.h, jwlib.def, the MinGW import library libjwlib.dll.a and the MSVC one jwlib.lib.
# Extra arguments go to CMake's configure step. JW_WIN32_BUILD names the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${JW_WIN32_BUILD:-build-win32}
DIST=dist/win32
T=i686-w64-mingw32
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$T.cmake \
  -DCMAKE_BUILD_TYPE=Release -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF -DJW_BUILD_BENCH=OFF \
  "${LAUNCHER[@]}" "$@"
cmake --build "$BUILD" --target jwlib -j "$(nproc 2>/dev/null || echo 2)"

rm -rf "$DIST"
mkdir -p "$DIST"
$T-strip -o "$DIST/jwlib.dll" "$BUILD/lib/jwlib.dll"
cp include/jwlib.h lib/jwlib.def "$BUILD/lib/libjwlib.dll.a" "$DIST/"

# MSVC links __stdcall functions by their decorated names (_JW_ButtonCount@12); the import
# library maps each to the undecorated export. The argument sizes come from the compiled exports.
decorated=$(mktemp)
trap 'rm -f "$decorated"' EXIT
$T-nm "$BUILD"/lib/CMakeFiles/jwlib.dir/*.obj | sed -n 's/^[0-9a-f]* T _\(JW_[A-Za-z0-9]*@[0-9]*\)$/\1/p' |
  sort -u >"$decorated.names"
{
  echo "LIBRARY jwlib.dll"
  echo "EXPORTS"
  while read -r name ordinal; do
    full=$(grep -m1 "^$name@" "$decorated.names" || true)
    if [ -z "$full" ]; then
      echo "build-windows.sh: no compiled export $name" >&2
      exit 1
    fi
    echo "  $full $ordinal"
  done < <(sed -n 's/^ *\(JW_[A-Za-z0-9]*\) *\(@[0-9]*\).*/\1 \2/p' lib/jwlib.def)
} >"$decorated"
rm -f "$decorated.names"
$T-dlltool --kill-at -d "$decorated" -D jwlib.dll -l "$DIST/jwlib.lib"

ls -l "$DIST"
