#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
# `setup.sh bench` also installs the peer libraries the benchmarks measure against; `setup.sh web`
# what the browser build and its tests need.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libepoxy-dev libsoil-dev librapidxml-dev libstb-dev
  libgl1-mesa-dri xvfb xauth libx11-dev libxtst-dev
  googletest libgtest-dev libbenchmark-dev libassimp-dev
  clang-14 libclang-rt-14-dev
)
case "${1:-}" in
  bench) packages+=(libbullet-dev) ;;
  # The browser build (scripts/web.sh): Emscripten with node, Chromium for its tests, python3 to serve it.
  web) packages+=(emscripten nodejs chromium python3) ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
