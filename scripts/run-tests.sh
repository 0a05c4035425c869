#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite (offscreen, no display needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$root/build"}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" "$@"
# Every header compiles on its own (part of the default build unless VELMORA_CHECK_HEADERS=OFF).
cmake --build "$build" --target check_headers
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
