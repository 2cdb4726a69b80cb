#!/usr/bin/env bash
# scripts/run.sh starts the program in data/: a relative configuration path typed elsewhere must
# still name the file in the directory it was typed in. Runs the script in a scratch copy of the
# tree whose set-up, cmake and program only report what they were given.
set -euo pipefail
root=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/repo/scripts" "$tmp/repo/data" "$tmp/repo/build/app" "$tmp/bin" "$tmp/elsewhere"
cp "$root/scripts/run.sh" "$tmp/repo/scripts/run.sh"
printf '#!/bin/sh\nexit 0\n' >"$tmp/repo/scripts/setup.sh"
printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/cmake"
printf '#!/bin/sh\necho "cwd $(pwd)"\nfor a in "$@"; do echo "arg $a"; done\n' \
  >"$tmp/repo/build/app/nprtable"
chmod +x "$tmp/repo/scripts/setup.sh" "$tmp/bin/cmake" "$tmp/repo/build/app/nprtable"

cd "$tmp/elsewhere"
output=$(PATH="$tmp/bin:$PATH" ../repo/scripts/run.sh my.xml --tuio-port 3334)
expected="cwd $tmp/repo/data
arg $tmp/elsewhere/my.xml
arg --tuio-port
arg 3334"
if [ "$output" != "$expected" ]; then
  echo "got:"
  echo "$output"
  echo "expected:"
  echo "$expected"
  exit 1
fi
