#!/usr/bin/env bash
# Times the link check against its peer on generated sites, side by side in one run:
#   1. a fresh "folioscope-batch check-links" on 10,000 pages: wall time, user + system time
#      (both cores busy: their sum near twice the wall time) and peak memory, RUNS times;
#   2. the update of one edited page in that site (sitecheck_update_bench);
#   3. "linkchecker --no-status -o none --recursion-level=-1 START.html" against
#      "folioscope-batch check-links" on 2,000 pages, and the ratio of their wall times.
# Sites: generate_site.py, N pages of 50 links (10 % with fragments, 10 % pictures, a few
# broken), kept in WORK between runs.
#
# usage: bench/sitecheck/run_sitecheck_bench.sh [BIN_DIR] [RUNS] [WORK]
#   BIN_DIR  folder holding folioscope-batch and sitecheck_update_bench (default: build/release/bin)
#   RUNS     timed runs of each command (default: 3)
#   WORK     where the sites are written (default: ${TMPDIR:-/tmp}/folioscope-sitecheck-bench)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
runs=${2:-3}
work=${3:-${TMPDIR:-/tmp}/folioscope-sitecheck-bench}
batch=$bin/folioscope-batch
update=$bin/sitecheck_update_bench
for tool in "$batch" "$update"; do
    if [[ ! -x $tool ]]; then
        echo "missing $tool: build folioscope-batch and sitecheck_update_bench" >&2
        exit 2
    fi
done
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed (Debian package time)" >&2; exit 2; }
if ! command -v linkchecker >/dev/null; then
    echo "linkchecker is missing: installing the Debian package linkchecker with apt-get"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get install -y linkchecker >/dev/null
fi

for pages in 10000 2000; do
    if [[ ! -f $work/s$pages/START.html ]]; then
        rm -rf "$work/s$pages"
        python3 "$here/generate_site.py" "$pages" "$work/s$pages"
    fi
done

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"

# One timed run: "wall user sys peakKB" on stdout.
timed() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    tail -1 "$work/time.txt"
}

echo
echo "folioscope-batch check-links, 10,000 pages:"
for ((i = 0; i < runs; ++i)); do
    read -r wall user sys peak < <(timed "$batch" check-links "$work/s10000")
    awk -v w="$wall" -v u="$user" -v s="$sys" -v m="$peak" 'BEGIN {
        printf "  %.2f s wall, %.2f s user + system (%.2f cores busy), %.0f MB peak\n",
            w, u + s, (u + s) / (w > 0 ? w : 1), m / 1024 }'
done
{ "$batch" check-links "$work/s10000" 2>&1 >/dev/null || true; } | tail -1 | sed 's/^/  /'

echo
echo "update of one edited page, 10,000 pages:"
"$update" "$work/s10000" 25 | sed 's/^/  /'

echo
echo "2,000 pages, side by side:"
for ((i = 0; i < runs; ++i)); do
    read -r ours _ _ _ < <(timed "$batch" check-links "$work/s2000")
    read -r theirs _ _ _ < <(cd "$work/s2000" && timed linkchecker --no-status -o none \
        --recursion-level=-1 START.html)
    awk -v a="$ours" -v b="$theirs" 'BEGIN {
        printf "  check-links %.2f s, linkchecker %.2f s: %.0f times as fast\n",
            a, b, b / (a > 0 ? a : 0.01) }'
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
