#!/usr/bin/env bash
# Installs the packages, builds only what the program needs (nprtable and its generated assets)
# and starts it in data/ with the bundled default configuration.
#   scripts/run.sh                          data/config.xml
#   scripts/run.sh my.xml --tuio-port 3334  arguments go to the program; a relative configuration
#                                           path is taken from the directory you are in
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."

# The program runs in data/ (the configurations name their textures and fonts relative to it):
# relative paths in the arguments are made absolute first.
args=()
expect_value=0
for a in "$@"; do
  if [ "$expect_value" = 1 ] || [[ "$a" == -* ]]; then
    args+=("$a")
    expect_value=0
    [ "$a" = "--tuio-port" ] && expect_value=1
  elif [[ "$a" == /* ]]; then
    args+=("$a")
  else
    args+=("$here/$a")
  fi
done

scripts/setup.sh --deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target nprtable nprtable_assets
cd data
exec ../build/app/nprtable ${args[@]+"${args[@]}"}
