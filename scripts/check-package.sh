#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, installs it with apt, runs the
# installed programs, validates the desktop entry and metadata, runs lintian, removes the
# package and checks that nothing of it is left. Needs root (apt).
#
#   scripts/check-package.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends lintian desktop-file-utils appstream xvfb x11-utils \
  xauth >/dev/null

echo "--- package"
rm -f "$build"/velmorafree_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmorafree_*_amd64.deb)
echo "$deb"

echo "--- lintian"
# Warnings are reported; an error fails the check.
lintian --allow-root "$deb" | tee "$build/lintian.txt"
! grep -q '^E:' "$build/lintian.txt"

echo "--- install"
apt-get install -y --no-install-recommends "$deb" >/dev/null
dpkg -L velmorafree | sort >"$build/package-files.txt"
desktop-file-validate /usr/share/applications/io.velmorafree.VelmoraFree.desktop
appstreamcli validate --no-net /usr/share/metainfo/io.velmorafree.VelmoraFree.metainfo.xml

echo "--- the installed programs"
"$root/scripts/check-installed.sh" /usr
test -s /usr/share/man/man1/velmora-cli.1.gz

work=$(mktemp -d)
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$work"

echo "--- the program starts, shows its launcher and ends on a termination signal"
Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'cleanup; kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo -display :77 >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=:77 VelmoraFree &
app_pid=$!
shown=
for _ in $(seq 100); do
  if xwininfo -display :77 -root -tree | grep -q '"Velmora Free Edition"'; then shown=yes; break; fi
  sleep 0.1
done
[ -n "$shown" ] || { echo "the launcher did not show"; exit 1; }
xwininfo -display :77 -name "Velmora Free Edition" | grep -E 'Map State|Width|Height'
kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }
echo "ended cleanly"

echo "--- remove"
apt-get purge -y velmorafree >/dev/null
left=0
while read -r path; do
  [ "$path" = "/." ] && continue
  if [ -e "$path" ] || [ -L "$path" ]; then
    # Shared folders (/usr/share/icons/...) stay; everything of the package's own goes.
    if [ ! -d "$path" ] || [[ "$path" == *velmorafree* ]]; then
      echo "left behind: $path"
      left=1
    fi
  fi
done <"$build/package-files.txt"
[ "$left" -eq 0 ]
echo "package: built, installed, run, validated and removed without a trace"
