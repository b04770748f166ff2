#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo installation.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${BUILD_DIR:-$here/build}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
The program is built, but there is no display to show its window on (DISPLAY is not set).
Run it on a desktop session, or under a virtual display:
  xvfb-run -a -s '-screen 0 1680x1050x24' $0
MSG
  exit 1
fi
# The demo installation is also the working directory: the roster spreadsheet is
# found below the working directory.
cd "$build/demo"
exec "$build/bin/velmora" --install-dir "$build/demo" "$@"
