#!/usr/bin/env bash
# File-to-file effects of voxloom-cli on a 10-minute 44.1 kHz 16-bit stereo file, beside
# a plain copy of the same file (the floor: read and write every byte once) and SoX
# doing the same kind of work. Each run is repeated and the best time kept.
#
#   bench/effects_vs_sox.sh [path/to/voxloom-cli]   (default: build/bin/voxloom-cli)
#   ROUNDS=5 SECONDS_OF_AUDIO=600 WORKDIR=/tmp/x bench/effects_vs_sox.sh
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/bin/voxloom-cli}
rounds=${ROUNDS:-3}
seconds=${SECONDS_OF_AUDIO:-600}
work=${WORKDIR:-$(mktemp -d)}
[[ -x $cli ]] || { echo "no voxloom-cli at $cli (pass its path)" >&2; exit 2; }
command -v sox >/dev/null || { echo "sox is not installed" >&2; exit 2; }
mkdir -p "$work"
trap '[[ -z ${WORKDIR:-} ]] && rm -rf "$work"' EXIT

in=$work/in.wav
out=$work/out.wav
sox -q -n -r 44100 -b 16 -c 2 "$in" synth "$seconds" whitenoise vol 0.5
echo "input: $(du -h "$in" | cut -f1) of 44.1 kHz 16-bit stereo noise, ${seconds} s; best of $rounds"

# Best wall-clock time of the command, in seconds.
best() {
  local min="" t0 t1 s
  for ((r = 0; r < rounds; ++r)); do
    rm -f "$out"
    t0=$(date +%s.%N)
    "$@" >/dev/null
    t1=$(date +%s.%N)
    s=$(echo "$t1 - $t0" | bc -l)
    if [[ -z $min ]] || (($(echo "$s < $min" | bc -l))); then min=$s; fi
  done
  echo "$min"
}

# The plain copy reads the whole file with one read and writes it with one write, as a
# program that holds the signal in memory must; cat, which streams through a small
# buffer that stays in the processor's cache, is shown beside it.
copy_file() { dd if="$in" of="$out" bs="$(stat -c %s "$in")" count=1 iflag=fullblock status=none; }
stream_file() { cat "$in" >"$out"; }

plain=$(best copy_file)
streamed=$(best stream_file)
ours_copy=$(best "$cli" copy "$in" "$out")
printf '%-22s %8.3f s\n' "plain copy (one read, one write)" "$plain"
printf '%-22s %8.3f s\n' "streamed copy (cat)" "$streamed"
printf '%-22s %8.3f s  %.2fx of the plain copy: load + save without an effect\n' \
  "voxloom-cli copy" "$ours_copy" "$(echo "$ours_copy / $plain" | bc -l)"
printf '%-10s %9s %9s %8s %8s %8s\n' effect ours sox ours/copy ours/cat ours/sox
run() {
  local name=$1 ours sox
  shift
  ours=$(best "$cli" "$name" "$in" "$out")
  sox=$(best sox -q "$in" "$out" "$@" 2>/dev/null)
  printf '%-10s %8.3fs %8.3fs %8.2fx %8.2fx %8.2fx\n' "$name" "$ours" "$sox" \
    "$(echo "$ours / $plain" | bc -l)" "$(echo "$ours / $streamed" | bc -l)" \
    "$(echo "$ours / $sox" | bc -l)"
}
run reverse reverse
run normalize norm
run echo echo 0.8 0.9 100 0.5
