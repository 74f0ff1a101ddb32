#!/usr/bin/env bash
# The Windows stage of the test command: jwlib.dll for 32-bit Windows (scripts/build-windows.sh),
# its export and import tables, the core test suites cross-built with GoogleTest, and a plain C
# host that takes every export by ordinal and must get what the Linux library returns. Programs
# run under Wine, one Wine process per test program.
#
# Needs the Linux build (JW_LINUX_BUILD, default build/) with its sample directory and jwwinhost.
# Where the kernel cannot run 32-bit programs at all (no IA-32 emulation), Wine cannot start the
# 32-bit programs; the suites and the host then run on a 64-bit build of the same sources under
# 64-bit Wine, which a banner says loudly, and the 32-bit DLL is checked statically only.
set -euo pipefail
cd "$(dirname "$0")/.."
LINUX_BUILD=${JW_LINUX_BUILD:-build}
JOBS=$(nproc 2>/dev/null || echo 2)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts in a new prefix

fail() {
  echo "test-windows.sh: $*" >&2
  exit 1
}

scripts/build-windows.sh
cmake --build build-win32 -j "$JOBS"
DLL=dist/win32/jwlib.dll

echo "-- export and import tables of $DLL"
table=$(i686-w64-mingw32-objdump -p "$DLL")
# The ordinal/name table lists "[index] name" with ordinal = index + base (1).
exports=$(echo "$table" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *\([0-9]*\)\] \(.*\)$/\2 @\1/p' | awk '{sub("@", "", $2); print $1, "@" $2 + 1}' |
  sort)
wanted=$(sed -n 's/^ *\(JW_[A-Za-z0-9]*\) *\(@[0-9]*\).*/\1 \2/p' lib/jwlib.def | sort)
[ "$exports" = "$wanted" ] || fail "exports differ from lib/jwlib.def:
$(diff <(echo "$wanted") <(echo "$exports") || true)"
echo "$(echo "$exports" | wc -l) exports, names and ordinals as in lib/jwlib.def"
imports=$(echo "$table" | sed -n 's/^\s*DLL Name: //p' | sort -fu)
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll shell32.dll \
windowscodecs.dll msvcrt.dll ws2_32.dll "
for dll in $imports; do
  lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
  [[ "$system_dlls" == *" $lower "* ]] || fail "imports a DLL that Windows does not ship: $dll"
done
echo "imports: $(echo $imports)"
echo "size: $(stat -c %s "$DLL") bytes"

echo "-- results of the Linux library for the C host"
SAMPLE=$LINUX_BUILD/sample/data
[ -f "$SAMPLE/JWDAT.SRM" ] || fail "no sample directory in $LINUX_BUILD (build the Linux build first)"
cmake --build "$LINUX_BUILD" --target jwwinhost jwlib
EXPECTED=build-win32/jwwinhost-expected.txt
"$LINUX_BUILD/tests/jwwinhost" "$LINUX_BUILD/lib/libjwlib.so" "$SAMPLE" sample/templates \
  "$EXPECTED" >/dev/null

# Runs the suites and the host of one cross build under the given Wine.
run_build() {
  local dir=$1 wine=$2
  export WINEPREFIX=$PWD/$dir/wineprefix
  if [ ! -d "$WINEPREFIX" ]; then
    echo "-- preparing the Wine prefix in $WINEPREFIX (once)"
    "$wine" wineboot -i >/dev/null 2>&1 || true
  fi
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600
  "$wine" "$dir/tests/jwwinhost.exe" "$dir/lib/jwlib.dll" "$SAMPLE" sample/templates \
    "$dir/jwwinhost-results.txt" "$EXPECTED"
}

# Can this machine run 32-bit Windows programs at all?
# (The host without arguments prints its usage and exits with 2.)
set +e
WINEPREFIX=$PWD/build-win32/wineprefix wine build-win32/tests/jwwinhost.exe >/dev/null 2>&1
probe=$?
set -e
if [ "$probe" -eq 2 ]; then
  run_build build-win32 wine
else
  cat <<'BANNER'
###########################################################################################
# Wine cannot start 32-bit programs here: the kernel runs no 32-bit code (IA-32 emulation
# is off). The 32-bit jwlib.dll was built and its tables checked above, but NOT run.
# Running the suites and the C host on a 64-bit build of the same sources instead.
###########################################################################################
BANNER
  [ -x /usr/lib/wine/wine64 ] || fail "64-bit Wine (wine64) is not installed either"
  cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DJW_BUILD_VIEWER=OFF -DJW_BUILD_TOOLS=OFF -DJW_BUILD_BENCH=OFF \
    $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake --build build-win64 -j "$JOBS"
  run_build build-win64 /usr/lib/wine/wine64
fi
