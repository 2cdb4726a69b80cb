#!/usr/bin/env bash
# Installs every Debian package the project needs, then configures and builds. The build also
# writes the generated textures and images and fonts/arial.ttf into data/ (target nprtable_assets).
# Idempotent and non-interactive: safe to run again.
#   scripts/setup.sh            install packages, configure and build (build/)
#   scripts/setup.sh --deps     install packages only
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev
  libdevil-dev libftgl-dev libgs-dev liboscpack-dev
  fonts-liberation2 ghostscript
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool imagemagick liblo-tools
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--deps" ] && exit 0

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
