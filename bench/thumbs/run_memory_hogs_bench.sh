#!/usr/bin/env bash
# A thumbnail batch of 50 ordinary pages with 3 pages among them whose script takes all the
# memory it gets (`let a=[];while(1)a.push(new Array(1e6).fill(1))`), made by folioscope-batch
# thumbs with the default 3 hosts. The hostile pages come one after the other, so that all
# hosts hold one at once (the worst case), or spread over the batch. Prints the peak memory of
# the whole process tree (the tool, the engine's renderers and helpers): the sum of the resident
# sets, which counts shared pages once per process, and the sum of the proportional sets, which
# shares them out; then the time, the exit status and the pages named as out of memory.
#
# Safe to run on a shared machine: should the tree ever pass GUARD_MB (default 4096), it is
# killed and the run reported as failed.
#
# usage: bench/thumbs/run_memory_hogs_bench.sh [BIN_DIR] [together|spread] [GUARD_MB]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
layout=${2:-together}
guard=${3:-4096}
batch=$bin/folioscope-batch
[[ -x $batch ]] || { echo "missing $batch: build folioscope-batch" >&2; exit 2; }
[[ $layout == together || $layout == spread ]] || { echo "layout: together or spread" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
mkdir -p "$work/site" "$work/prog"

pages=()
for i in $(seq 1 50); do
    page=$work/site/page$i.htm
    {
        echo "<html><head><title>Page $i</title></head><body style='background:#f0f0ff'>"
        echo "<h1>Page $i</h1>"
        for p in $(seq 1 40); do
            echo "<p>Paragraph $p of page $i, with <b>bold</b> and <a href='page1.htm'>a link</a>.</p>"
        done
        echo "</body></html>"
    } > "$page"
    pages+=("$page")
done
hog='<html><body>hog<script>let a=[];while(1)a.push(new Array(1e6).fill(1))</script></body></html>'
if [[ $layout == together ]]; then at=(20 21 22); else at=(5 25 45); fi
for i in "${!at[@]}"; do
    printf '%s\n' "$hog" > "$work/site/hog$i.htm"
    pages=("${pages[@]:0:${at[$i]}}" "$work/site/hog$i.htm" "${pages[@]:${at[$i]}}")
done

tree() { # pid: the pid and all its descendants
    echo "$1"
    local child
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do tree "$child"; done
}
kb_of() { # field pids...: the sum of a field of status (VmRSS) or smaps_rollup (Pss), in kB
    local field=$1 name=status; shift
    [[ $field == Pss ]] && name=smaps_rollup
    local files=("${@/#//proc/}")
    awk -v f="$field:" '$1 == f { total += $2 } END { print total + 0 }' \
        "${files[@]/%//$name}" 2>/dev/null || true
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
start=$(date +%s%N)
"$batch" thumbs --program-folder "$work/prog" "${pages[@]}" > /dev/null 2> "$work/err" &
pid=$!
peak_rss=0; peak_pss=0; killed=0
while kill -0 "$pid" 2>/dev/null; do
    mapfile -t pids < <(tree "$pid")
    rss=$(kb_of VmRSS "${pids[@]}")
    pss=$(kb_of Pss "${pids[@]}")
    (( rss > peak_rss )) && peak_rss=$rss
    (( pss > peak_pss )) && peak_pss=$pss
    if (( rss / 1024 > guard )); then
        kill -9 "${pids[@]}" 2>/dev/null || true
        killed=1
        break
    fi
    sleep 0.02
done
status=0; wait "$pid" || status=$?
seconds=$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { printf "%.1f", ns / 1e9 }')
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "pages: ${#pages[@]} (3 hostile, $layout), time: ${seconds} s, exit status: $status"
echo "peak of the process tree: resident $(( peak_rss / 1024 )) MB, proportional $(( peak_pss / 1024 )) MB"
echo "named as out of memory: $(grep -c 'ran out of memory' "$work/err" || true) of 3"
if (( killed )); then
    echo "FAILED: the tree passed ${guard} MB and was killed"
    exit 1
fi
