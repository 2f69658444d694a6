#!/usr/bin/env bash
# Runs folioscope-batch in each mode and "tidy -i -q" on the same inputs, whole processes,
# and prints each one's median wall time, its peak resident memory and the ratios.
#
# Inputs:
#   real   about 2,000,000 bytes of real pages: the HTML manuals that Debian packages install
#          under /usr/share/doc, each below 64 KB, in path order, concatenated. On a bare
#          Debian 12 with the project's tools these come from valgrind, libffi8, libxslt1-dev,
#          nodejs, libexpat1-dev, shared-mime-info and a few others; with too few installed,
#          "apt-get install valgrind libxslt1-dev nodejs" gives plenty.
#   page   the generated 2,000,000-character page of formatter_bench_page
#   real20 those real pages repeated up to 20,000,000 bytes
#   plain  20,000,000 bytes of text without any tag (guards against time that grows faster
#          than the input)
# The runs of the four commands alternate (format, compress, trim, tidy, format, ...), so that
# a drift of the machine's speed falls on all of them alike.
# It also checks, page by page, that formatting the output of format mode again changes
# nothing.
#
# usage: bench/formatter/run_format_bench.sh [BIN_DIR] [RUNS]
#   BIN_DIR  folder holding folioscope-batch and formatter_bench_page (default: build/release/bin)
#   RUNS     timed runs per tool and input; the median counts (default: 5)
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
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The real pages, in a fixed order so that two runs on one machine read the same input.
mapfile -t pages < <(find /usr/share/doc -type f \( -name '*.html' -o -name '*.htm' \) \
    -size -65536c | LC_ALL=C sort)
real=$work/real.html
: > "$real"
used=()
for page in "${pages[@]}"; do
    cat "$page" >> "$real"
    used+=("$page")
    (( $(stat -c %s "$real") >= 2000000 )) && break
done
if (( $(stat -c %s "$real") < 2000000 )); then
    echo "too few HTML manuals under /usr/share/doc for 2,000,000 bytes; see the notes" >&2
    exit 2
fi
while (( $(stat -c %s "$work/real20.html" 2>/dev/null || echo 0) < 20000000 )); do
    cat "$real" >> "$work/real20.html"
done
"$makepage" "$work/page.html" 2000000
# yes ends on the closed pipe, which pipefail would take for a failure.
{ yes "plain words of a long text without any markup at all, line after line" || true; } \
    | head -c 20000000 > "$work/plain.txt"

# The wall time of one run in ms.
run_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

median() {
    printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

peak_kb() {
    /usr/bin/time -f '%M' -o "$work/mem" "$@" > /dev/null 2>&1 || true
    tail -n 1 "$work/mem"
}

packages=$(printf '%s\n' "${used[@]}" | cut -d/ -f5 | sort -u | tr '\n' ' ')
echo "real: $(stat -c %s "$real") bytes, ${#used[@]} pages of /usr/share/doc ($packages)"
echo "median of $runs alternating runs, whole processes; \"x tidy\" = tidy's time / this time"
printf '%-7s %-24s %10s %10s %12s %9s\n' input run "time (ms)" "peak (MB)" "peak/input" "x tidy"
for input in real real20 page plain; do
    file=$work/$input.html
    [[ $input == plain ]] && file=$work/plain.txt
    size=$(stat -c %s "$file")
    declare -A times=()
    for ((r = 0; r < runs; r++)); do
        for mode in format compress trim; do
            times[$mode]+=" $(run_ms "$batch" format --mode "$mode" "$file")"
        done
        times[tidy]+=" $(run_ms tidy -i -q "$file")"
    done
    tidy_ms=$(median ${times[tidy]})
    row() {
        awk -v input="$input" -v name="$1" -v ms="$2" -v kb="$3" -v size="$size" \
            -v tidy="$tidy_ms" 'BEGIN {
            printf "%-7s %-24s %10d %10.1f %11.1fx %8.1fx\n", input, name, ms, kb / 1024,
                   kb * 1024 / size, (ms > 0 ? tidy / ms : 0)
        }'
    }
    for mode in format compress trim; do
        row "folioscope-batch $mode" "$(median ${times[$mode]})" \
            "$(peak_kb "$batch" format --mode "$mode" "$file")"
    done
    row "tidy -i -q" "$tidy_ms" "$(peak_kb tidy -i -q "$file")"
    unset times
done

same=0
for page in "${used[@]}"; do
    "$batch" format "$page" > "$work/once.html"
    "$batch" format "$work/once.html" > "$work/twice.html"
    cmp -s "$work/once.html" "$work/twice.html" && same=$((same + 1))
done
echo "format twice = format once: $same of ${#used[@]} real pages"
echo "targets: every mode at least 5x faster than tidy on the real pages and 8x on real20; format peak at most 8x the input"
