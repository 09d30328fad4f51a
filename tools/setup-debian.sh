#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Voxloom, and any packages
# named as arguments; only what is missing is installed. Needs root or sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libsdl2-dev libsimpleini-dev
  libpocketsphinx-dev libsphinxbase-dev libsoxr-dev pocketsphinx-en-us pocketsphinx-testdata
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  espeak-ng sox xvfb xauth
  desktop-file-utils libxml2-utils appstream groff-base graphviz
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo=sudo
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
