#!/usr/bin/env bash
# Renders the program's pages to PNG files from a built tree: the screenshots that the
# informational pages show (resources/pictures/shots/) and those of the README
# (docs/screenshots/). BUILD_DIR (default build) is the build tree; its demo/ folder is
# the installation the pages are shown on. Build again afterwards, so that the program
# carries the new pictures.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
shots="$build/bin/velmora-shots"
if [ ! -x "$shots" ]; then
  echo "$shots is missing: build the project first (scripts/build.sh)." >&2
  exit 1
fi
if [ ! -d "$build/demo/database" ]; then
  echo "No demo installation in $build/demo: the net calling page is drawn without rosters." >&2
fi

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$shots" "$build/demo" "$out" >/dev/null

# Shown inside the informational page's pictures.
for name in main-start main-menu main-path net-calling net-checkins; do
  cp "$out/$name.png" "$here/resources/pictures/shots/$name.png"
done
# Shown in the README.
mkdir -p "$here/docs/screenshots"
for name in main-start main net net-1366x768 info rvnets maps preamble timezone fcc; do
  cp "$out/$name.png" "$here/docs/screenshots/$name.png"
done
echo "Screenshots written to resources/pictures/shots and docs/screenshots; build again to use them."
