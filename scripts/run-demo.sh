#!/usr/bin/env bash
# Installs what is missing, builds, starts a simulated line of three controllers and the program.
# The simulated line appears in the port tree as COM97 and up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$root/build"}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DVELMORA_BENCH=OFF

sim_out=$(mktemp)
"$build/bin/velmora-sim" --controllers 3 >"$sim_out" &
sim_pid=$!
app_pid=
# The simulated line and the program end together, whichever way the script is stopped.
trap 'kill $app_pid "$sim_pid" 2>/dev/null || true; rm -f "$sim_out"' EXIT
trap 'exit 130' INT TERM
for _ in $(seq 50); do
  [ -s "$sim_out" ] && break
  sleep 0.1
done
echo "Simulated controllers on: $(head -n 1 "$sim_out")"
"$build/bin/VelmoraFree" &
app_pid=$!
wait "$app_pid"
