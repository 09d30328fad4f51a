#!/bin/sh
# Wall time of `voxloom-cli study`: 20 + 20 runs of 15 s of the demo recording with the
# reversed control, listened to on 2 threads; budget 120 s. Usage: study_cli.sh BUILD_DIR
set -eu
cli="${1:-build}/bin/voxloom-cli"
demo="$(dirname "$0")/../assets/demo.wav"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
start=$(date +%s.%N)
status=0
"$cli" study "$demo" --runs 20 --seconds 15 --control reversed --seed 1 --jobs 2 \
  --out "$dir/study" >"$dir/summary.json" 2>"$dir/err" || status=$?
end=$(date +%s.%N)
if [ "$status" -eq 2 ] && grep -q "not part of this build" "$dir/err"; then
  echo "study: skipped, this build has no machine listener"
  exit 0
fi
if [ "$status" -ne 0 ]; then
  cat "$dir/err" >&2
  exit "$status"
fi
awk -v s="$start" -v e="$end" 'BEGIN {
  printf "study 20 + 20 runs of 15 s on 2 threads: %.2f s, %.3f of the 120 s budget\n", e - s, (e - s) / 120
}' 
cat "$dir/summary.json"
