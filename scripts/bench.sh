#!/usr/bin/env bash
# Import benchmarks: builds a RelWithDebInfo tree with the benchmark tools
# (build-bench/), generates synthetic boards of each mix and size, imports
# each through pcb9-host as a whole process and tabulates wall time (best of
# the runs, 5 unless --runs says otherwise; the sizes of a mix take turns),
# processor time, objects per second, peak memory, the scaling
# ratio t(8N)/t(N) and, for the realistic mix, the time with --json and the
# ratio to the host floor (the same PcbApi_ calls replayed without the
# importer). Writes bench/results.md and the README's performance section.
#
#   scripts/bench.sh [--quick] [--runs N] [--sizes "N1 N2 ..."]
#
# It never waits for a person: every step reads /dev/null, not the terminal.
#
# --quick: boards of 5000 and 40000 objects, one run each. --sizes: these
# sizes for every mix (the scaling ratios of the pairs N, 8N among them).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
# No step reads the terminal: an import run from one would show its rule
# dialog there and wait for a person (and a box toggled there changes what
# is measured).
exec </dev/null

RUNS=5
REALISTIC_SIZES=(25000 50000 100000 125000 200000 1000000)
ADVERSARIAL_SIZES=(25000 50000 100000 200000)
SCALING_PAIRS=("25000 200000" "125000 1000000")
FLOOR_MAX=200000  # a floor trace holds every call's arguments: ~3 kB per object
while [ $# -gt 0 ]; do
  case "$1" in
    --quick)
      RUNS=1
      REALISTIC_SIZES=(5000 40000)
      ADVERSARIAL_SIZES=(5000 40000)
      SCALING_PAIRS=("5000 40000")
      ;;
    --runs) RUNS="$2"; shift ;;
    --sizes)
      read -r -a REALISTIC_SIZES <<<"$2"
      ADVERSARIAL_SIZES=("${REALISTIC_SIZES[@]}")
      SCALING_PAIRS=()
      for n in "${REALISTIC_SIZES[@]}"; do
        for m in "${REALISTIC_SIZES[@]}"; do
          [ "$m" -eq $((8 * n)) ] && SCALING_PAIRS+=("$n $m")
        done
      done
      shift
      ;;
    *) echo "usage: scripts/bench.sh [--quick] [--runs N] [--sizes \"N1 N2 ...\"]" >&2; exit 2 ;;
  esac
  shift
done

BUILD="$PCB9_ROOT/build-bench"
pcb9_install_packages libbenchmark-dev
pcb9_configure "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPCB9_BENCH=ON -DPCB9_TESTS=OFF >/dev/null
pcb9_build "$BUILD" pcb9-host pcb9import pcb9-benchgen pcb9-benchrun pcb9-floor >/dev/null
BIN="$BUILD/bin"
WORK="$BUILD/boards"
mkdir -p "$WORK"

# smaller A [B]: the smaller of two times; A when B is empty.
smaller() { awk -v a="$1" -v b="${2:-}" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

# measured COMMAND...: one run's "WALL MAX_RSS_KB CODE CPU"; fails on a
# failed run.
measured() {
  local line code
  line=$("$BIN/pcb9-benchrun" "$@")
  read -r _ _ code _ <<<"$line"
  [ "$code" -eq 0 ] || { echo "failed ($code): $*" >&2; return 1; }
  echo "$line"
}

# best RUNS COMMAND...: "BEST_WALL MAX_RSS_KB BEST_CPU"; fails on a failed run.
best() {
  local runs="$1" i line wall rss code cpu bw="" br=0 bc=""
  shift
  for ((i = 0; i < runs; i++)); do
    line=$(measured "$@") || return 1
    read -r wall rss code cpu <<<"$line"
    bw=$(smaller "$wall" "$bw")
    bc=$(smaller "$cpu" "$bc")
    [ "$rss" -gt "$br" ] && br=$rss
  done
  echo "$bw $br $bc"
}

# floor_pair BOARD TRACE: "BEST_FLOOR_CPU BEST_IMPORT_CPU", an import and a
# replay of its calls alone (the replayer reads its trace before its clock
# starts) taking turns for RUNS rounds, so that a slow spell of the machine
# weighs on both sides of import/floor alike.
floor_pair() {
  local i line t wall rss code cpu floor="" import=""
  for ((i = 0; i < RUNS; i++)); do
    line=$(measured "$BIN/pcb9-host" import "$1") || return 1
    read -r wall rss code cpu <<<"$line"
    import=$(smaller "$cpu" "$import")
    line=$("$BIN/pcb9-floor" replay "$2")
    t=$(sed -n 's/.* in \([0-9.]*\) s CPU$/\1/p' <<<"$line")
    [ -n "$t" ] || { echo "no replay time in: $line" >&2; return 1; }
    floor=$(smaller "$t" "$floor")
  done
  echo "$floor $import"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

declare -A BEST_WALL BEST_CPU PEAK_RSS
ROWS=()

# One import of each size in turn, RUNS rounds: a slow spell of the machine
# then costs every size one run instead of one size all of its runs, which
# keeps the scaling ratios honest.
import_rounds() {
  local mix="$1" level="$2" r size board line wall rss code cpu key
  shift 2
  for ((r = 0; r < RUNS; r++)); do
    for size in "$@"; do
      board="$WORK/$mix-L$level-$size.PCB"
      line=$(measured "$BIN/pcb9-host" import "$board") || return 1
      read -r wall rss code cpu <<<"$line"
      key="$mix-$level-$size"
      BEST_WALL[$key]=$(smaller "$wall" "${BEST_WALL[$key]:-}")
      BEST_CPU[$key]=$(smaller "$cpu" "${BEST_CPU[$key]:-}")
      if [ "$rss" -gt "${PEAK_RSS[$key]:-0}" ]; then PEAK_RSS[$key]=$rss; fi
    done
  done
}

measure_mix() {
  local mix="$1" level="$2" size board
  shift 2
  for size in "$@"; do "$BIN/pcb9-benchgen" "$mix" "$size" "$level" "$WORK/$mix-L$level-$size.PCB" >/dev/null; done
  import_rounds "$mix" "$level" "$@"
  for size in "$@"; do
    board="$WORK/$mix-L$level-$size.PCB"
    local key="$mix-$level-$size" json="-" jrss="-" fcpu="-" share="-"
    local iw=${BEST_WALL[$key]} ic=${BEST_CPU[$key]} ir=${PEAK_RSS[$key]}
    if [ "$mix" = realistic ]; then
      local j
      j=$(best "$RUNS" "$BIN/pcb9-host" import "$board" --json "$board.json")
      read -r json jr _ <<<"$j"
      jrss=$(mb "$jr")
      rm -f "$board.json"
      if [ "$size" -le "$FLOOR_MAX" ]; then
        "$BIN/pcb9-floor" record "$board" "$board.trace" >/dev/null
        local pair pcpu
        pair=$(floor_pair "$board" "$board.trace")
        read -r fcpu pcpu <<<"$pair"
        share=$(ratio "$pcpu" "$fcpu")
        rm -f "$board.trace"
      fi
    fi
    rm -f "$board" "${board%.PCB}.rpt"
    ROWS+=("| $mix | $level | $size | $iw | $ic | $(awk -v n="$size" -v t="$iw" 'BEGIN { printf "%.0f", n / t }') | $(mb "$ir") | $(awk -v k="$ir" -v n="$size" 'BEGIN { printf "%.0f", k * 1024 / n }') | $json | $jrss | $fcpu | $share |")
    echo "${ROWS[-1]}"
  done
}

for level in 9 7; do measure_mix realistic "$level" "${REALISTIC_SIZES[@]}"; done
for mix in pads-same pads-distinct nets-distinct; do
  measure_mix "$mix" 9 "${ADVERSARIAL_SIZES[@]}"
done

SCALING=()
for key in "realistic 9" "realistic 7" "pads-same 9" "pads-distinct 9" "nets-distinct 9"; do
  read -r mix level <<<"$key"
  cells=""
  for pair in "${SCALING_PAIRS[@]}"; do
    read -r n m <<<"$pair"
    a=${BEST_WALL["$mix-$level-$n"]:-}
    b=${BEST_WALL["$mix-$level-$m"]:-}
    cells+=" $([ -n "$a" ] && [ -n "$b" ] && ratio "$b" "$a" || echo -) |"
  done
  SCALING+=("| $mix | $level |$cells")
done

RESULTS="$PCB9_ROOT/bench/results.md"
{
  echo "Measured $(date -u '+%Y-%m-%d') on $(nproc) cores ($(uname -m)), best of $RUNS runs, RelWithDebInfo."
  echo
  echo "| Mix | Level | Objects | Import s | CPU s | Objects/s | Peak MB | Peak B/object | --json s | --json peak MB | Floor CPU s | Import/floor (CPU) |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  printf '%s\n' "${ROWS[@]}"
  echo
  header="| Mix | Level |"
  rule="|---|---:|"
  for pair in "${SCALING_PAIRS[@]}"; do
    read -r n m <<<"$pair"
    header+=" t($m)/t($n) |"
    rule+="---:|"
  done
  echo "$header"
  echo "$rule"
  printf '%s\n' "${SCALING[@]}"
} >"$RESULTS"

# The README's section between its two markers becomes the new table.
README="$PCB9_ROOT/README.md"
awk -v results="$RESULTS" '
  /<!-- bench:begin -->/ { print; while ((getline line < results) > 0) print line; skip = 1; next }
  /<!-- bench:end -->/ { skip = 0 }
  !skip { print }
' "$README" >"$README.new" && mv "$README.new" "$README"
echo "Wrote $RESULTS and the README's performance section."
