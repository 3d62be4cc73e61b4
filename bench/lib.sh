# Shared by the benchmark scripts (source it): one timed run, and a baseline and the command
# under test run in turn, so a busy machine slows both alike.

# "wall cpu" seconds of one run of the command (cpu = user + system), its output discarded.
bench_seconds() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || true
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$t"
}

# bench_interleave RUNS BASE SUBJECT [PREPARE]: runs the shell functions BASE and SUBJECT in turn,
# RUNS times (PREPARE, when given, untimed before each run), prints each pair, then the median
# and the minimum of SUBJECT / BASE, of wall time and of processor time (which a shared
# machine's load inflates least).
bench_interleave() {
  local runs=$1 base=$2 subject=$3 prepare=${4:-} pairs="" b s i label column
  for i in $(seq "$runs"); do
    if [ -n "$prepare" ]; then "$prepare"; fi
    b=$(bench_seconds "$base")
    if [ -n "$prepare" ]; then "$prepare"; fi
    s=$(bench_seconds "$subject")
    pairs+="$b $s"$'\n'
    awk -v i="$i" -v bl="$base" -v sl="$subject" '{ printf "run %d: %s %.3f s (cpu %.3f), %s %.3f s (cpu %.3f), ratio %.2f (cpu %.2f)\n",
      i, bl, $1, $2, sl, $3, $4, $3 / $1, $4 / $2 }' <<<"$b $s"
  done
  for label in wall cpu; do
    column=1
    if [ "$label" = cpu ]; then column=2; fi
    awk -v c="$column" '{ print $(c + 2) / $c }' <<<"${pairs%$'\n'}" | sort -g |
      awk -v l="$label" -v s="$subject" -v b="$base" '{ r[NR] = $1 } END {
        m = (NR % 2) ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
        printf "%s / %s, %s: median %.2f, minimum %.2f (%d interleaved pairs)\n", s, b, l, m, r[1], NR }'
  done
}
