#!/usr/bin/env bash
# Configures and builds into build/ (or the folder named by BUILD_DIR). Warnings are
# errors and the benchmarks are built here unless the arguments say otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DVOXLOOM_WERROR=ON -DVOXLOOM_BENCH=ON "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
