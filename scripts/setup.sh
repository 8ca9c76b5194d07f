#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
#
#   scripts/setup.sh          what building and playing need (./run.sh)
#   scripts/setup.sh test     ... and the tests' and fuzz targets' tooling (./test.sh)
#   scripts/setup.sh bench    ... and the peer libraries the benchmarks measure against
#   scripts/setup.sh web      ... and the browser build: Emscripten with node, Chromium for its
#                             tests, python3 to serve it (scripts/web.sh)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libepoxy-dev libsoil-dev librapidxml-dev libstb-dev
  libgl1-mesa-dri xvfb
)
test_packages=(
  xauth libx11-dev libxtst-dev
  googletest libgtest-dev libbenchmark-dev libassimp-dev
  clang-14 libclang-rt-14-dev clang-format-14 lintian
)
case "${1:-}" in
  "") ;;
  test) packages+=("${test_packages[@]}") ;;
  bench) packages+=("${test_packages[@]}" libbullet-dev) ;;
  web) packages+=(emscripten nodejs chromium python3) ;;
  *) echo "usage: scripts/setup.sh [test | bench | web]" >&2; exit 2 ;;
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
