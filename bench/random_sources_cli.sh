#!/bin/sh
# voxloom-cli write-rn and random against `seq 1000000 > file` (the floor of writing a
# million lines), and the memory a 1 GB random source file costs. Each time is the
# median of 5 runs. Usage: random_sources_cli.sh BUILD_DIR
set -eu
cli="${1:-build}/bin/voxloom-cli"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

median() {  # the median of 5 runs of "$@", in seconds
  for _ in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    echo "$end - $start" | bc
  done | sort -n | sed -n 3p
}
maxrss() {  # peak resident memory of "$@" in kB
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1
}

seq_ref() { seq 1000000 >"$dir/seq.txt"; }
write_rn() { "$cli" write-rn --source pseudo --seed 1 --count 1000000 "$dir/w.txt"; }
seq 1000000 | awk '{ print $1 % 65536 - 32768 }' >"$dir/F.txt"
random_file() { "$cli" random --source "file:$dir/F.txt" --count 1000000 >"$dir/r.txt"; }

ref=$(median seq_ref)
w=$(median write_rn)
r=$(median random_file)
echo "seq 1000000 > file: ${ref} s"
echo "write-rn pseudo 1e6: ${w} s, ratio $(echo "scale=2; $w / $ref" | bc) (budget 3)"
echo "random file 1e6: ${r} s, ratio $(echo "scale=2; $r / $ref" | bc) (budget 4)"

# 1 GB of numbers, and 1 GB in one line without a line feed.
yes 12345 | head -c 1073741824 >"$dir/big.txt"
head -c 1073741824 /dev/zero | tr '\0' '7' >"$dir/line.txt"
base=$(maxrss "$cli" random --count 2000000)
big=$(maxrss "$cli" random --source "file:$dir/big.txt" --count 2000000)
line=$(maxrss "$cli" random --source "file:$dir/line.txt" --count 1)
echo "peak memory: baseline ${base} kB, 1 GB file $big kB (+$((big - base)) kB)," \
  "1 GB line $line kB (+$((line - base)) kB); budget +2048 kB"
