#!/usr/bin/env bash
# Times `velmorant-cli multisample` converting 64 stereo WAV files (at least 500 MiB in all)
# against `cp` of the same files into an empty folder, and prints the ratio.
# Usage: bench/create/multisample_vs_cp.sh [path/to/velmorant-cli] [work folder]
set -euo pipefail
CLI="${1:-build/src/cli/velmorant-cli}"
WORK="${2:-$(mktemp -d)}"
RUNS="${VELMORANT_BENCH_RUNS:-3}"
FILES=64
FRAMES=$((2100000))  # 16-bit stereo: 8.4 MB of sound per file

[ -x "$CLI" ] || { echo "no velmorant-cli at $CLI (build it first)" >&2; exit 2; }
mkdir -p "$WORK/wav"

echo "== making $FILES stereo WAV files in $WORK/wav"
python3 - "$WORK/wav" "$FILES" "$FRAMES" <<'PY'
import os, struct, sys
folder, files, frames = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(files):
    path = os.path.join(folder, "take%02d.wav" % i)
    if os.path.exists(path):
        continue
    data = os.urandom(frames * 4)  # noise: the search for chunk tags meets every byte value
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 2, 44100, 44100 * 4, 4, 16)
    smpl = struct.pack("<IIIIIIIII", 0, 0, 22676, 36 + i, 0, 0, 0, 0, 0)
    body = b"WAVE" + fmt + b"data" + struct.pack("<I", len(data)) + data + b"smpl" + struct.pack("<I", len(smpl)) + smpl
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
total=$(du -cb "$WORK"/wav/*.wav | tail -n 1 | cut -f1)
echo "   $(ls "$WORK"/wav/*.wav | wc -l) files, $((total / 1048576)) MiB"
cat "$WORK"/wav/*.wav > /dev/null  # both runs start from a warm page cache

# "wall cpu" seconds of one run (cpu = user + system, which other load on the machine inflates less).
measure() {
    local TIMEFORMAT='%R %U %S' line
    line=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<< "$line"
}

cp_runs=()
ms_runs=()
for run in $(seq "$RUNS"); do
    rm -rf "$WORK/cp" "$WORK/out" && mkdir -p "$WORK/cp" "$WORK/out"
    sync
    cp_runs+=("$(measure cp "$WORK"/wav/*.wav "$WORK/cp/")")
    sync
    ms_runs+=("$(measure "$CLI" multisample --out "$WORK/out/Bench.afp" "$WORK"/wav/*.wav)")
    sync
done
[ -f "$WORK/out/Bench.afp" ] || { echo "the multisample build failed" >&2; exit 1; }
best() { printf '%s\n' "$@" | sort -n -k"$column" | head -n 1 | cut -d' ' -f"$column"; }
column=1; cp_wall=$(best "${cp_runs[@]}"); ms_wall=$(best "${ms_runs[@]}")
column=2; cp_cpu=$(best "${cp_runs[@]}"); ms_cpu=$(best "${ms_runs[@]}")
printf 'cp:          best wall %s s, cpu %s s\n' "$cp_wall" "$cp_cpu"
printf 'multisample: best wall %s s, cpu %s s\n' "$ms_wall" "$ms_cpu"
awk -v m="$ms_wall" -v c="$cp_wall" 'BEGIN { printf "ratio multisample / cp, wall: %.2f (target: at most 1.5)\n", m / c }'
awk -v m="$ms_cpu" -v c="$cp_cpu" 'BEGIN { printf "ratio multisample / cp, cpu:  %.2f\n", m / c }'
