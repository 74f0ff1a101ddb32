#!/usr/bin/env bash
# The Windows stage of the test command: jwlib.dll for 32- and 64-bit Windows
# (scripts/build-windows.sh), their export and import tables, the core test suites and the Win32
# viewer's shell tests cross-built with GoogleTest, and a plain C host that takes every export by
# ordinal and must get what the Linux library returns, thumbnails included. Programs run under
# Wine with its null graphics driver (no X server), one Wine process per test program. Then the
# pages of a few sample entries drawn by the GDI painter must match the Qt painter's pixel for
# pixel outside native controls, and one smoke run on Xvfb clicks through a real window and keeps
# a screenshot (build-win*/viewer-xvfb.png).
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

# check_tables DLL OBJDUMP: exports by the names and ordinals of lib/jwlib.def, only system imports.
check_tables() {
  local dll=$1 objdump=$2
  echo "-- export and import tables of $dll"
  local table exports wanted imports
  table=$($objdump -p "$dll")
  # The ordinal/name table lists "[index] name" with ordinal = index + base (1).
  exports=$(echo "$table" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *\([0-9]*\)\] \(.*\)$/\2 @\1/p' | awk '{sub("@", "", $2); print $1, "@" $2 + 1}' |
    sort)
  wanted=$(sed -n 's/^ *\(JW_[A-Za-z0-9]*\) *\(@[0-9]*\).*/\1 \2/p' lib/jwlib.def | sort)
  [ "$exports" = "$wanted" ] || fail "exports of $dll differ from lib/jwlib.def:
$(diff <(echo "$wanted") <(echo "$exports") || true)"
  echo "$(echo "$exports" | wc -l) exports, names and ordinals as in lib/jwlib.def"
  imports=$(echo "$table" | sed -n 's/^\s*DLL Name: //p' | sort -fu)
  local system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll \
shell32.dll comctl32.dll windowscodecs.dll msvcrt.dll ws2_32.dll "
  for d in $imports; do
    lower=$(echo "$d" | tr '[:upper:]' '[:lower:]')
    [[ "$system_dlls" == *" $lower "* ]] || fail "$dll imports a DLL that Windows does not ship: $d"
  done
  echo "imports: $(echo $imports)"
  echo "size: $(stat -c %s "$dll") bytes"
}
check_tables dist/win32/jwlib.dll i686-w64-mingw32-objdump
check_tables dist/win64/jwlib.dll x86_64-w64-mingw32-objdump
cmake --build build-win32 -j "$JOBS"

echo "-- results of the Linux library for the C host"
SAMPLE=$LINUX_BUILD/sample/data
[ -f "$SAMPLE/JWDAT.SRM" ] || fail "no sample directory in $LINUX_BUILD (build the Linux build first)"
cmake --build "$LINUX_BUILD" --target jwwinhost jwlib jwrenderpages
# Pictures in plain text rendering on both sides, so that they can agree pixel for pixel.
export JWLIB_TEST_RENDERING=1
EXPECTED=build-win32/jwwinhost-expected.txt
"$LINUX_BUILD/tests/jwwinhost" "$LINUX_BUILD/lib/libjwlib.so" "$SAMPLE" sample/templates \
  "$EXPECTED" >/dev/null
PAGES_LINUX=build-win32/pages-qt
rm -rf "$PAGES_LINUX" && mkdir -p "$PAGES_LINUX"
QT_QPA_PLATFORM=offscreen "$LINUX_BUILD/tests/jwrenderpages" render "$SAMPLE" "$PAGES_LINUX"

# prepare_prefix WINE DIR DRIVER: a Wine prefix of its own per graphics driver, made once.
prepare_prefix() {
  local wine=$1 prefix=$2 driver=$3
  if [ ! -f "$prefix/.jw-graphics-$driver" ]; then
    echo "-- preparing the Wine prefix in $prefix (once)"
    WINEPREFIX=$prefix "$wine" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$prefix "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$driver" /f \
      >/dev/null 2>&1
    # Without a window manager on the display Wine draws the windows' frames and captions itself.
    WINEPREFIX=$prefix "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f \
      >/dev/null 2>&1
    # The desktop process picks its driver when it starts: begin anew with the one chosen.
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
    [ -d "$prefix" ] && touch "$prefix/.jw-graphics-$driver"
  fi
}

# Runs the suites, the host and the picture checks of one cross build under the given Wine.
run_build() {
  local dir=$1 wine=$2
  export WINEPREFIX=$PWD/$dir/wineprefix
  prepare_prefix "$wine" "$WINEPREFIX" null
  "$wine" "$dir/tests/jwrenderpages.exe" fontcheck || fail "Arial is not Liberation Sans under Wine"
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600
  "$wine" "$dir/tests/jwwinhost.exe" "$dir/lib/jwlib.dll" "$SAMPLE" sample/templates \
    "$dir/jwwinhost-results.txt"
  cmp "$EXPECTED" "$dir/jwwinhost-results.txt" || fail "the DLL's results differ from the Linux library's"
  echo "-- thumbnails of the DLL, taken by ordinal, against the Qt painter's"
  # Each side lays the window out with its own text metrics, and Qt and GDI measure some texts a
  # pixel apart (a shortened text keeps one letter more): up to 1% of the pixels may differ.
  for id in 1006 2001; do
    "$LINUX_BUILD/tests/jwrenderpages" comparebmp "$PAGES_LINUX/$id-thumb.bmp" \
      "$dir/jwwinhost-results.txt-$id.bmp" 3243 || fail "the DLL's thumbnail of $id differs"
  done
  echo "-- pages drawn with GDI under Wine against the Qt painter's"
  rm -rf "$dir/pages-gdi" && mkdir -p "$dir/pages-gdi"
  "$wine" "$dir/tests/jwrenderpages.exe" render "$SAMPLE" "$dir/pages-gdi"
  QT_QPA_PLATFORM=offscreen "$LINUX_BUILD/tests/jwrenderpages" compare "$PAGES_LINUX" "$dir/pages-gdi" ||
    fail "the GDI painter and the Qt painter disagree"
  smoke_xvfb "$dir" "$wine"
  bench "$dir" "$wine"
}

# One window on a virtual X display: a click on a navigation button must change the page (the
# screenshot of the changed window stays in the build folder), a click on the closing button must
# end the modal call.
smoke_xvfb() {
  local dir=$1 wine=$2
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
    fail "Xvfb and xdotool are needed for the smoke run (scripts/setup.sh installs them)"
  echo "-- smoke run on Xvfb"
  local display=:$((90 + RANDOM % 400)) log=$dir/viewer-xvfb.log shot=$dir/viewer-xvfb.bmp
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  local prefix=$PWD/$dir/wineprefix-x11
  DISPLAY=$display prepare_prefix "$wine" "$prefix" x11
  rm -f "$shot"
  DISPLAY=$display WINEPREFIX=$prefix "$wine" "$dir/tests/jwwinhost.exe" --smoke "$dir/lib/jwlib.dll" \
    "$SAMPLE" "$shot" >"$log" 2>&1 &
  local host=$!
  # click WHAT: moves to the position the host printed for WHAT and clicks there.
  click() {
    local at=""
    for _ in $(seq 150); do
      at=$(sed -n "s/^$1 //p" "$log")
      [ -n "$at" ] && break
      sleep 0.2
    done
    [ -n "$at" ] || return 1
    # shellcheck disable=SC2086
    DISPLAY=$display xdotool mousemove $at click 1
  }
  local ok=1
  if click nav; then
    for _ in $(seq 100); do
      grep -q '^changed' "$log" && break
      sleep 0.2
    done
    grep -q '^changed' "$log" && click close || ok=0
  else
    ok=0
  fi
  local rc=1
  for _ in $(seq 100); do
    kill -0 "$host" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$host" 2>/dev/null; then
    kill "$host" 2>/dev/null || true
    ok=0
  else
    wait "$host" && rc=0 || rc=$?
  fi
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  [ "$ok" = 1 ] && [ "$rc" = 0 ] && [ -s "$shot" ] ||
    fail "the smoke run on Xvfb failed (rc $rc); its log: $(cat "$log")"
  "$LINUX_BUILD/tests/jwrenderpages" topng "$shot" "${shot%.bmp}.png"
  echo "navigation and closing button worked; screenshot ${shot%.bmp}.png"
}

# The goals, measured by the same C host on both libraries (figures, not checks).
bench() {
  local dir=$1 wine=$2
  echo "-- benchmarks"
  local linux win
  linux=$("$LINUX_BUILD/tests/jwwinhost" --bench "$LINUX_BUILD/lib/libjwlib.so" "$SAMPLE")
  win=$("$wine" "$dir/tests/jwwinhost.exe" --bench "$dir/lib/jwlib.dll" "$SAMPLE")
  echo "Linux library: $linux"
  echo "DLL under Wine: $(echo $win)"
  local a b
  a=$(echo "$linux" | sed -n 's/^thumbnail \([0-9.]*\) ms/\1/p')
  b=$(echo "$win" | sed -n 's/^thumbnail \([0-9.]*\) ms/\1/p')
  [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" -v b="$b" \
    'BEGIN { printf "thumbnail: DLL / Linux = %.2f (goal: at most 2)\n", b / a }'
}

# Can this machine run 32-bit Windows programs at all?
# (The host without arguments prints its usage and exits with 2.)
prepare_prefix wine "$PWD/build-win32/wineprefix" null
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
  cmake --build build-win64 -j "$JOBS"  # configured by scripts/build-windows.sh
  run_build build-win64 /usr/lib/wine/wine64
fi
