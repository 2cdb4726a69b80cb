#!/usr/bin/env bash
# Installs every Debian package the project needs (as root, or through sudo; without either it
# names the missing packages and how to install them), then configures and builds. The build also
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
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "These Debian packages are missing: ${missing[*]}" >&2
      echo "Install them as root (for example after 'su -'), then run this script again:" >&2
      echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
      exit 1
    fi
    SUDO="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--deps" ] && exit 0

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
