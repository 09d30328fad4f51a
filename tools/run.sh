#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window program on the demo recording.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
bash tools/build.sh
program="$PWD/build/bin/voxloom"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: showing the demo with the command-line tool instead."
  ./build/bin/voxloom-cli info assets/demo.wav
  echo
  echo "The window program is $program; start it on a desktop with:"
  echo "  $program assets/demo.wav"
  exit 0
fi
exec "$program" "$@" assets/demo.wav
