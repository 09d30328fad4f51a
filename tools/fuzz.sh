#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 30) on its seed corpus in tests/fuzz/corpus/<reader>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVOXLOOM_FUZZ=ON -DVOXLOOM_WERROR=ON -DVOXLOOM_GUI=OFF \
  -DVOXLOOM_TESTS=OFF -DVOXLOOM_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)"
for target in build-fuzz/bin/*_fuzz; do
  name=$(basename "$target" _fuzz)
  corpus="tests/fuzz/corpus/${name%_reader}"
  work=$(mktemp -d)
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    "$work" "$corpus" 2>&1 | tail -n 3
  rm -rf "$work"
done
