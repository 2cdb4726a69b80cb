#!/usr/bin/env bash
# Sets up (packages), builds and starts nprtable with the bundled default configuration.
# Extra arguments are passed to the program (the first one names another configuration file).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd data
exec ../build/app/nprtable "$@"
