#!/usr/bin/env bash
# Formats a generated 2,000,000-character page with folioscope-batch in each mode and runs
# "tidy -i -q" on the same page; prints the best wall time of a few runs, the peak memory
# and the ratio to tidy.
#
# usage: bench/formatter/run_format_bench.sh [BIN_DIR] [RUNS]
#   BIN_DIR  folder holding folioscope-batch and formatter_bench_page (default: build/release/bin)
#   RUNS     timed runs per tool, the best counts (default: 5)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
runs=${2:-5}
batch=$bin/folioscope-batch
makepage=$bin/formatter_bench_page
for tool in "$batch" "$makepage"; do
    if [[ ! -x $tool ]]; then
        echo "missing $tool: build folioscope-batch and formatter_bench_page" >&2
        exit 2
    fi
done
command -v tidy >/dev/null || { echo "tidy is not installed (Debian package tidy)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page=$work/page.html
"$makepage" "$page" 2000000
size=$(wc -c < "$page")

# Best wall time of $runs runs, in milliseconds.
best_ms() {
    local best=
    for ((i = 0; i < runs; i++)); do
        local start end ms
        start=$(date +%s%N)
        "$@" > /dev/null 2>&1 || true
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

# Peak resident memory in KB: /usr/bin/time when present, else the highest VmHWM seen.
peak_kb() {
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -f '%M' -o "$work/mem" "$@" > /dev/null 2>&1 || true
        tail -n 1 "$work/mem"
        return
    fi
    "$@" > /dev/null 2>&1 &
    local pid=$! peak=0 kb
    while kill -0 "$pid" 2>/dev/null; do
        kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
        if [[ -n $kb && $kb -gt $peak ]]; then peak=$kb; fi
        sleep 0.005
    done
    wait "$pid" || true
    echo "$peak"
}

tidy_ms=$(best_ms tidy -i -q "$page")
tidy_kb=$(peak_kb tidy -i -q "$page")

echo "page: $size bytes ($page, best of $runs runs)"
printf '%-26s %10s %12s %14s %12s\n' "run" "time (ms)" "peak (MB)" "peak / input" "vs tidy"
row() {
    awk -v name="$1" -v ms="$2" -v kb="$3" -v size="$size" -v tidy="$tidy_ms" 'BEGIN {
        printf "%-26s %10d %12.1f %14.1f %11.2fx\n", name, ms, kb / 1024, kb * 1024 / size,
               (tidy > 0 ? ms / tidy : 0)
    }'
}
for mode in format compress trim; do
    ms=$(best_ms "$batch" format --mode "$mode" "$page")
    kb=$(peak_kb "$batch" format --mode "$mode" "$page")
    row "folioscope-batch $mode" "$ms" "$kb"
done
row "tidy -i -q" "$tidy_ms" "$tidy_kb"
echo "targets: format under 500 ms, peak under 50 x input"
