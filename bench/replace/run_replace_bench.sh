#!/usr/bin/env bash
# Times folioscope-batch replace on a generated site of 10,000 pages (200 MB), side by side
# with GNU sed -i doing the same plain replacement in the same files, with farm-bench:
#   1. the preview (the unified diff of every change, thrown away);
#   2. the apply (each file written atomically and synced, the undo record written);
#   3. preview and apply together against sed -i (A/B ratio pair by pair).
# Each run turns "alpha" into "omega" (five a page, 50,000 in all), the next run back.
#
# usage: bench/replace/run_replace_bench.sh [BIN_DIR] [RUNS] [WORK]
#   BIN_DIR  folder holding folioscope-batch (default: build/release/bin)
#   RUNS     timed runs of each command (default: 5)
#   WORK     where the sites are written (default: ${TMPDIR:-/tmp}/folioscope-replace-bench)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
runs=${2:-5}
work=${3:-${TMPDIR:-/tmp}/folioscope-replace-bench}
batch=$bin/folioscope-batch
[[ -x $batch ]] || { echo "missing $batch: build folioscope-batch" >&2; exit 2; }
command -v farm-bench >/dev/null || { echo "farm-bench is missing" >&2; exit 2; }

for site in ours sed; do
    if [[ ! -f $work/$site/d99/p9999.html ]]; then
        rm -rf "${work:?}/$site"
        echo "generating $work/$site (10,000 pages)"
        python3 "$here/generate_site.py" 10000 "$work/$site"
    fi
done
du -sh "$work/ours"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
step="sh $here/step.sh"
echo "== preview"
farm-bench -n "$runs" --timeout 600 -- $step preview "$batch" "$work/program" "$work/ours"
echo "== apply"
farm-bench -n "$runs" --timeout 600 -- $step apply "$batch" "$work/program" "$work/ours"
echo "== preview and apply (A) against sed -i (B)"
farm-bench -n "$runs" --timeout 900 --vs "$step sed - - $work/sed" -- \
    $step both "$batch" "$work/program" "$work/ours"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
