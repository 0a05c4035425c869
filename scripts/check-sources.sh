#!/usr/bin/env bash
# Source checks that need no build: every C++ file formatted as .clang-format says, and the
# operating system's own interfaces (terminals, ioctl, locks, dynamic loading, signals) used
# only in the folders a port to another system would replace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "check-sources: run clang-format -i on the files above" >&2
  status=1
fi

system_headers='#include <(termios\.h|pty\.h|dlfcn\.h|csignal|signal\.h|unistd\.h|fcntl\.h|sys/[a-z_]+\.h)>'
allowed='^(platform|porthub|simulator|tests|bench|fuzz)/'
while IFS= read -r hit; do
  file=${hit%%:*}
  [[ $file =~ $allowed ]] && continue
  echo "check-sources: system interface outside platform/, porthub/ and simulator/: $hit" >&2
  status=1
done < <(grep -nE "$system_headers" "${sources[@]}" || true)

[ $status -eq 0 ] && echo "check-sources: ${#sources[@]} files formatted; system interfaces in their folders"
exit $status
