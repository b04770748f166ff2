#!/usr/bin/env bash
# Configures and builds the project. BUILD_DIR (default build) and CMAKE_ARGS may be set.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
elif [ -n "${CMAKE_ARGS:-}" ]; then
  cmake -S "$here" -B "$build" ${CMAKE_ARGS}
fi
cmake --build "$build" -j "${JOBS:-2}"
