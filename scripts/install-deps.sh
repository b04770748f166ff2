#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
# Safe to run again: nothing happens when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-svg-dev libgl-dev libvulkan-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libglib2.0-dev mdbtools-dev mdbtools
  libfreexl-dev libsqlite3-dev python3 python3-xlwt python3-xlrd
  libzip-dev libpq-dev postgresql postgresql-client ccache
  xvfb xauth fonts-liberation fonts-dejavu-core tzdata poppler-utils
)
# "fuzz": also what fuzz/build.sh needs (clang with libFuzzer), left out of normal builds.
if [ "${1:-}" = "fuzz" ]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "These packages are missing and this user is not root and has no sudo: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
