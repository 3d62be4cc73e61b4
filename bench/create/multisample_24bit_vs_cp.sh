#!/usr/bin/env bash
# Times `velmorant-cli multisample` resampling (very high quality) and dithering 64 stereo 24-bit
# 48 kHz WAV files (at least 500 MiB in all) against `cp` of the same files, the two interleaved
# run by run, and prints the median and the smallest ratio with the machine's load at each run.
# Then, when the tree was configured with -DVELMORANT_BUILD_BENCHMARKS=ON, bench_convert_stages
# tells how much of a conversion is the resampler's own work.
# Usage: bench/create/multisample_24bit_vs_cp.sh [path/to/velmorant-cli] [work folder]
# VELMORANT_BENCH_RUNS (5) runs; VELMORANT_BENCH_FILES (64) files, fewer for a quick look.
set -euo pipefail
CLI="${1:-build/src/cli/velmorant-cli}"
WORK="${2:-$(mktemp -d)}"
RUNS="${VELMORANT_BENCH_RUNS:-5}"
FILES="${VELMORANT_BENCH_FILES:-64}"
FRAMES=1400000  # 24-bit stereo: 8.4 MB of sound per file, 29 s at 48 kHz

[ -x "$CLI" ] || { echo "no velmorant-cli at $CLI (build it first)" >&2; exit 2; }
mkdir -p "$WORK/wav"

echo "== making $FILES stereo 24-bit 48 kHz WAV files in $WORK/wav"
python3 - "$WORK/wav" "$FILES" "$FRAMES" <<'PY'
import os, struct, sys
folder, files, frames = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(files):
    path = os.path.join(folder, "take%02d.wav" % i)
    if os.path.exists(path):
        continue
    data = os.urandom(frames * 6)  # full-band noise: the resampler's hardest case
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 2, 48000, 48000 * 6, 6, 24)
    smpl = struct.pack("<IIIIIIIII", 0, 0, 20833, 36 + i, 0, 0, 0, 1, 0) + struct.pack("<6I", 0, 0, 48000, frames - 1, 0, 0)
    body = b"WAVE" + fmt + b"data" + struct.pack("<I", len(data)) + data + b"smpl" + struct.pack("<I", len(smpl)) + smpl
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
total=$(du -cb "$WORK"/wav/*.wav | tail -n 1 | cut -f1)
echo "   $(ls "$WORK"/wav/*.wav | wc -l) files, $((total / 1048576)) MiB"
cat "$WORK"/wav/*.wav > /dev/null  # every run starts from a warm page cache

# "wall cpu" seconds of one run; cpu (user + system) is what other load on a shared machine
# inflates least.
measure() {
    local TIMEFORMAT='%R %U %S' line
    line=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<< "$line"
}

cp_wall=() cp_cpu=() ms_wall=() ms_cpu=() wall_ratios=() cpu_ratios=()
for run in $(seq "$RUNS"); do
    rm -rf "$WORK/cp" "$WORK/out" && mkdir -p "$WORK/cp" "$WORK/out"
    sync
    read -r cw cc <<< "$(measure cp "$WORK"/wav/*.wav "$WORK/cp/")"
    sync
    read -r mw mc <<< "$(measure "$CLI" multisample --out "$WORK/out/Bench.afp" "$WORK"/wav/*.wav)"
    sync
    [ -f "$WORK/out/Bench.afp" ] || { echo "the multisample build failed" >&2; exit 1; }
    cp_wall+=("$cw") cp_cpu+=("$cc") ms_wall+=("$mw") ms_cpu+=("$mc")
    wall_ratios+=("$(awk -v m="$mw" -v c="$cw" 'BEGIN { printf "%.3f", m / c }')")
    cpu_ratios+=("$(awk -v m="$mc" -v c="$cc" 'BEGIN { printf "%.3f", (c > 0 ? m / c : 0) }')")
    echo "   run $run: cp $cw s (cpu $cc s), multisample $mw s (cpu $mc s), wall ratio ${wall_ratios[-1]};$(uptime | sed 's/.*,  *load/ load/')"
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
minimum() { printf '%s\n' "$@" | sort -n | head -n 1; }
printf 'cp:          wall median %s s, best %s s; cpu median %s s\n' "$(median "${cp_wall[@]}")" "$(minimum "${cp_wall[@]}")" "$(median "${cp_cpu[@]}")"
printf 'multisample: wall median %s s, best %s s; cpu median %s s\n' "$(median "${ms_wall[@]}")" "$(minimum "${ms_wall[@]}")" "$(median "${ms_cpu[@]}")"
printf 'ratio multisample / cp, wall: median %s, smallest %s (target: at most 3)\n' "$(median "${wall_ratios[@]}")" "$(minimum "${wall_ratios[@]}")"
printf 'ratio multisample / cp, cpu:  median %s, smallest %s\n' "$(median "${cpu_ratios[@]}")" "$(minimum "${cpu_ratios[@]}")"

STAGES="$(dirname "$CLI")/../../bench/bench_convert_stages"
if [ -x "$STAGES" ]; then
    echo "== the conversion's stages, one file on one thread, from memory"
    "$STAGES" "$(awk -v f="$FRAMES" 'BEGIN { print f / 48000 }')" "$FILES" "$(nproc)"
fi
