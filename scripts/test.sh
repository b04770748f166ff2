#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${BUILD_DIR:-$here/build}"
cd "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
QT_QPA_PLATFORM=offscreen ctest -j "${JOBS:-2}" --output-on-failure --timeout 300
