#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only when one of them is missing, so that
# repeated runs cost nothing. Needs root (or sudo) on a fresh machine.
#   scripts/setup.sh serve   what building the library, the demo host and the sample needs
#   scripts/setup.sh         everything: the tests, benchmarks, packages, sanitizers, the Windows
#                            build under Wine and the browser test besides
set -euo pipefail

# The library with its viewer, jwpack, jwart (draws the sample's pictures with Qt) and jwhost.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libjpeg62-turbo-dev nlohmann-json3-dev libcli11-dev
  qt6-base-dev libmicrohttpd-dev fonts-liberation
)
FULL=1
case "${1:-}" in
  serve) FULL=0 ;;
  "") ;;
  *)
    echo "usage: scripts/setup.sh [serve]" >&2
    exit 2
    ;;
esac
if [ "$FULL" -eq 1 ]; then
  PACKAGES+=(
    clang-14 libclang-rt-14-dev  # fuzzing and the thread sanitizer
    libgtest-dev libgmock-dev libbenchmark-dev
    dpkg-dev file  # dpkg-shlibdeps: the dependencies of the Debian packages
    chromium
    # The Windows build: cross compilers (posix threads), zlib for them, Wine to run the tests.
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 libz-mingw-w64-dev
    wine wine32:i386
    # 64-bit Wine and compiler: the Windows tests' fallback where the kernel runs no 32-bit code.
    wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    # The Windows viewer's smoke run on a virtual X display, driven by synthetic input.
    xvfb xdotool
  )
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The browser test runs on node; any node with npm will do (a distribution's or another one).
if [ "$FULL" -eq 1 ] && { ! command -v node >/dev/null || ! command -v npm >/dev/null; }; then
  missing+=(nodejs npm)
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  # 32-bit Wine comes from the i386 architecture.
  if [ "$FULL" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # During a mirror update the i386 index can briefly lag behind amd64's: retry a few times.
  for attempt in 1 2 3 4; do
    if $SUDO apt-get update -qq &&
      $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
      break
    fi
    if [ "$attempt" -eq 4 ]; then
      echo "setup.sh: could not install: ${missing[*]}" >&2
      exit 1
    fi
    echo "setup.sh: install failed, retrying in $((attempt * 20)) s" >&2
    sleep $((attempt * 20))
  done
fi

# The browser test's driver library (no browser download: it uses Debian's Chromium).
E2E="$(dirname "$0")/../tests/e2e"
if [ "$FULL" -eq 1 ] && [ ! -d "$E2E/node_modules/playwright-core" ]; then
  (cd "$E2E" && npm ci --no-audit --no-fund --loglevel=error)
fi
