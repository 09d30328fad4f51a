#!/bin/sh
# Realtime factor of `voxloom-cli make-evp`: 10 minutes of output from a 10-minute
# 44.1 kHz stereo file, without and with cross-fading. Usage: make_evp_cli.sh BUILD_DIR
set -eu
cli="${1:-build}/bin/voxloom-cli"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir/in.wav" <<'PY'
import array, math, struct, sys
rate, frames = 44100, 44100 * 600
a = array.array('h', [0]) * (2 * frames)
for i in range(frames):
    v = int(8000 * math.sin(i * 0.0014) + (i * 7919 % 6001) - 3000)
    a[2 * i], a[2 * i + 1] = v, -v
d = a.tobytes()
with open(sys.argv[1], 'wb') as f:
    f.write(b'RIFF' + struct.pack('<I', 36 + len(d)) + b'WAVEfmt ' +
            struct.pack('<IHHIIHH', 16, 1, 2, rate, rate * 4, 4, 16) + b'data' +
            struct.pack('<I', len(d)) + d)
PY
for opts in "" "--xfade linear" "--xfade sine"; do
  start=$(date +%s.%N)
  # shellcheck disable=SC2086
  "$cli" make-evp "$dir/in.wav" -o "$dir/out.wav" --seed 1 --seconds 600 $opts
  end=$(date +%s.%N)
  echo "make-evp ${opts:-(no X-Fade)}: 600 s of output in $(echo "$end - $start" | bc) s," \
    "realtime x$(echo "600 / ($end - $start)" | bc), target x500"
done
