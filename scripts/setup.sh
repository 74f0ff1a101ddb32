#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo host need, but only when one of
# them is missing, so that repeated runs cost nothing. Needs root (or sudo) on a fresh machine.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev
  zlib1g-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev libmicrohttpd-dev fonts-liberation
  libcli11-dev
  dpkg-dev file  # dpkg-shlibdeps: the dependencies of the Debian packages
  chromium
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The browser test runs on node; any node with npm will do (a distribution's or another one).
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test's driver library (no browser download: it uses Debian's Chromium).
E2E="$(dirname "$0")/../tests/e2e"
if [ ! -d "$E2E/node_modules/playwright-core" ]; then
  (cd "$E2E" && npm ci --no-audit --no-fund --loglevel=error)
fi
