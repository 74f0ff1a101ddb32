#!/usr/bin/env bash
# Checks the Debian packages the way their users meet them. Builds the packages from an already
# built tree, unpacks them into a scratch folder (no system install), then
#   - builds a find_package consumer and a pkg-config consumer against the unpacked tree and runs
#     both on the installed sample directory,
#   - checks the CMake package's version rule (same major version, not older),
#   - checks that the installed jwhost finds its library and sample without being told.
#
#   scripts/test-packages.sh [BUILDDIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jwlib-packages.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
ROOT=$WORK/root
LIBDIR=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$BUILD/CMakeCache.txt")
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")

fail() { echo "test-packages: $*" >&2; exit 1; }

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/debs" >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log"; fail "cpack failed"; }
for name in libjwlib2 libjwlib-dev jwlib-tools; do
  deb=$(ls "$WORK"/debs/"${name}"_*.deb) || fail "no package $name"
  dpkg-deb -x "$deb" "$ROOT"
  printf '%-13s %7s KiB  Depends: %s\n' "$name" "$(( $(stat -c %s "$deb") / 1024 ))" \
    "$(dpkg-deb -f "$deb" Depends)"
done
# grep reads to the end here (no -q): with pipefail a writer stopped early would fail the check.
dpkg-deb -f "$WORK"/debs/libjwlib-dev_*.deb Depends | grep -F "libjwlib2 (= $VERSION)" >/dev/null ||
  fail "libjwlib-dev does not depend on its library"
dpkg-deb -f "$WORK"/debs/jwlib-tools_*.deb Depends | grep -F "libjwlib2 (= $VERSION)" >/dev/null ||
  fail "jwlib-tools does not depend on the library it loads"
# The runtime package holds the versioned library only; the link name belongs to -dev.
dpkg-deb -c "$WORK"/debs/libjwlib2_*.deb >"$WORK/runtime.list"
grep -q "libjwlib.so.2 -> " "$WORK/runtime.list" || fail "no SONAME link"
if grep -q "libjwlib.so -> " "$WORK/runtime.list"; then fail "the link name is in the runtime package"; fi
# Nothing installed may point back into the build tree.
for f in "$ROOT/usr/$LIBDIR"/libjwlib.so.* "$ROOT"/usr/bin/*; do
  [ -L "$f" ] && continue
  if readelf -d "$f" | grep -E 'RPATH|RUNPATH' | grep -F "$BUILD" >/dev/null; then fail "$f has a build path"; fi
done

DATA=$ROOT/usr/share/jwlib/data
TEMPLATES=$ROOT/usr/share/jwlib/templates
ENTRY=2001

echo "-- find_package consumer"
cmake -S tests/package -B "$WORK/cmake-consumer" -G Ninja -DCMAKE_PREFIX_PATH="$ROOT/usr" \
  >"$WORK/consumer.log" 2>&1 || { cat "$WORK/consumer.log"; fail "consumer configure failed"; }
cmake --build "$WORK/cmake-consumer" >>"$WORK/consumer.log" 2>&1 ||
  { cat "$WORK/consumer.log"; fail "consumer build failed"; }
"$WORK/cmake-consumer/consumer" "$DATA" "$TEMPLATES" "$ENTRY" | tee "$WORK/cmake.out"

# Same major version and not older: 2.0 and 2.5 are served, 2.6, 3.0 and 1.9 are not.
cat >"$WORK/version.cmake" <<'CMAKE'
set(CMAKE_SIZEOF_VOID_P 8)
foreach(request 2.0:TRUE 2.5:TRUE 2.6:FALSE 3.0:FALSE 1.9:FALSE)
  string(REPLACE ":" ";" request ${request})
  list(GET request 0 PACKAGE_FIND_VERSION)
  list(GET request 1 expected)
  string(REGEX MATCH "^[0-9]+" PACKAGE_FIND_VERSION_MAJOR ${PACKAGE_FIND_VERSION})
  unset(PACKAGE_VERSION_COMPATIBLE)
  include(${FILE})
  if(NOT "${PACKAGE_VERSION_COMPATIBLE}" STREQUAL "${expected}")
    message(FATAL_ERROR "a request for ${PACKAGE_FIND_VERSION} gave ${PACKAGE_VERSION_COMPATIBLE}")
  endif()
endforeach()
CMAKE
cmake -DFILE="$ROOT/usr/$LIBDIR/cmake/JWLib/JWLibConfigVersion.cmake" -P "$WORK/version.cmake"

echo "-- pkg-config consumer"
export PKG_CONFIG_PATH="$ROOT/usr/$LIBDIR/pkgconfig"
[ "$(pkg-config --modversion jwlib)" = "$VERSION" ] || fail "jwlib.pc has the wrong version"
# shellcheck disable=SC2046  # the flags are words
cc -Wall -Wextra -Werror tests/package/consumer.c -o "$WORK/pc-consumer" \
  $(pkg-config --cflags --libs jwlib)
LD_LIBRARY_PATH="$ROOT/usr/$LIBDIR" "$WORK/pc-consumer" "$DATA" "$TEMPLATES" "$ENTRY" >"$WORK/pc.out"
cmp -s "$WORK/cmake.out" "$WORK/pc.out" || fail "the consumers disagree: $(cat "$WORK/pc.out")"
grep -q '^buttons: [1-9]' "$WORK/pc.out" || fail "no buttons for entry $ENTRY"

echo "-- installed tools"
export QT_QPA_PLATFORM=offscreen
JWHOST=$ROOT/usr/bin/jwhost
"$JWHOST" --version | tee "$WORK/version.out"
grep -qF "$ROOT/usr/$LIBDIR/libjwlib.so.2)" "$WORK/version.out" ||
  fail "the installed jwhost does not load the installed library"
"$JWHOST" --help | grep -F "$DATA" >/dev/null || fail "the installed jwhost does not default to the installed sample"
[ "$("$JWHOST" list | wc -l)" -ge 40 ] || fail "the installed jwhost lists too few entries"
"$JWHOST" page "$ENTRY" --out "$WORK/page.html"
head -c 15 "$WORK/page.html" | grep '<!DOCTYPE html>' >/dev/null || fail "the installed jwhost wrote no page"
"$ROOT/usr/bin/jwpack" --version
"$ROOT/usr/bin/jwshot" --version
"$ROOT/usr/bin/jwshot" "$DATA" "$ENTRY" "$WORK/shot.png" branches
[ -s "$WORK/shot.png" ] || fail "the installed jwshot drew nothing"
echo "packages: all checks passed"
