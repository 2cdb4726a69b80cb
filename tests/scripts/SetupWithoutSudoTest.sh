#!/usr/bin/env bash
# scripts/setup.sh run by a normal user on a machine without sudo: it names the missing packages
# and how to install them, and fails, instead of stopping at "sudo: command not found".
set -euo pipefail
root=$1
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
# Only what the script needs: no sudo, a normal user, one package missing.
for tool in bash dirname grep; do ln -s "$(command -v "$tool")" "$fake/$tool"; done
printf '#!/bin/sh\necho 1000\n' >"$fake/id"
printf '#!/bin/sh\ncase "$*" in *xauth*) exit 1;; *) printf "install ok installed";; esac\n' \
  >"$fake/dpkg-query"
chmod +x "$fake/id" "$fake/dpkg-query"

status=0
output=$(PATH="$fake" "$fake/bash" "$root/scripts/setup.sh" --deps 2>&1) || status=$?
expected="These Debian packages are missing: xauth
Install them as root (for example after 'su -'), then run this script again:
  apt-get update && apt-get install --no-install-recommends xauth"
if [ "$status" -ne 1 ] || [ "$output" != "$expected" ]; then
  echo "exit status $status, output:"
  echo "$output"
  exit 1
fi
