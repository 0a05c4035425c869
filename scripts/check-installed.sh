#!/usr/bin/env bash
# Runs the installed programs through their links in <prefix>/bin, from a folder that holds
# nothing of them: velmora-cli's help, and a backup from velmora-sim's simulated line. The
# programs must find their resource library and libraries in their own folder.
#
#   scripts/check-installed.sh <prefix>
#   scripts/check-installed.sh --from-build <build folder>   (installs into a temporary prefix)
set -euo pipefail
work=$(mktemp -d)
if [ "$1" = --from-build ]; then
  prefix=$work/prefix
  cmake --install "$2" --prefix "$prefix" >/dev/null
else
  prefix=$(cd "$1" && pwd)
fi
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$work"

"$prefix/bin/velmora-cli" --help | head -1
"$prefix/bin/velmora-sim" --controllers 2 >"$work/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do grep -q '^COM' "$work/sim.txt" && break; sleep 0.1; done
port=$(awk '/^COM/ {print $1; exit}' "$work/sim.txt")
[ -n "$port" ] || { cat "$work/sim.txt"; echo "the simulated line did not start"; exit 1; }
"$prefix/bin/velmora-cli" backup --port "$port" --node 1 --file "$work/node1.kqd" --yes \
  --reply-timeout 500
grep -q '^CONT=' "$work/node1.kqd"
echo "installed programs in $prefix ran through their links"
