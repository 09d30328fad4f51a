#!/usr/bin/env bash
# Builds the device tests with ThreadSanitizer into build-tsan/ and runs them: the audio
# callback, the device threads and the loop thread must share nothing unguarded.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-tsan}
cmake -S . -B "$build_dir" -G Ninja -DVOXLOOM_SANITIZE=thread -DVOXLOOM_WERROR=ON -DVOXLOOM_GUI=OFF \
  -DVOXLOOM_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"${JOBS:-2}" --target platform_tests
# halt_on_error: the first race fails the run instead of scrolling past.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
export SDL_AUDIODRIVER=disk
# Qt's network thread is not built with ThreadSanitizer, so its own bookkeeping shows as
# races: the HTTP client is left out unless tests are named.
[ $# -gt 0 ] || set -- --gtest_filter='-QtHttpClientTest.*'
"$build_dir/bin/platform_tests" "$@"
