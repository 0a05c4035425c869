#!/usr/bin/env bash
# Renders the launcher and each workflow dialog of the real program offscreen, against a
# simulated line of three controllers, into docs/screenshots/ (the pictures of the README), and
# once more at 200 % scale into docs/screenshots/2x/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$root/build"}
"$root/scripts/build.sh" "$build" -DVELMORA_BENCH=OFF >/dev/null
export QT_QPA_PLATFORM=offscreen
"$build/bin/velmora-screenshots" "$root/docs/screenshots"
QT_SCALE_FACTOR=2 "$build/bin/velmora-screenshots" "$root/docs/screenshots/2x"
