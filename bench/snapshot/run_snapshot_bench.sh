#!/usr/bin/env bash
# A snapshot batch export of real pages (the HTML manuals Debian installs under /usr/share/doc,
# found at run time as bench/thumbs/run_thumbs_bench.sh finds them) at 800 x 600, 50 %, JPG:
#   - folioscope-batch snapshot, one process for all pages, its start-up included;
#   - "Batch Export" of the snapshot window (snapshot_window_bench: the window, the browser it
#     copies its settings from, the progress window, the engine already started);
#   - wkhtmltoimage --width 800 --height 600, one process per page, as that tool is used.
# Installs wkhtmltopdf with apt-get when it is missing.
#
# usage: bench/snapshot/run_snapshot_bench.sh [BIN_DIR] [PAGES]
#   BIN_DIR  folder holding folioscope-batch and snapshot_window_bench (default: build/release/bin)
#   PAGES    how many pages (default: 100)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
count=${2:-100}
batch=$bin/folioscope-batch
window=$bin/snapshot_window_bench
for program in "$batch" "$window"; do
    [[ -x $program ]] || { echo "missing $program: build it first" >&2; exit 2; }
done

if ! command -v wkhtmltoimage >/dev/null; then
    sudo=; [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo apt-get install -y --no-install-recommends wkhtmltopdf >/dev/null
fi

mapfile -t pages < <(find /usr/share/doc -type f \( -name '*.html' -o -name '*.htm' \) \
    -size +1k -readable 2>/dev/null | sort | head -n "$count")
((${#pages[@]} == count)) || { echo "found only ${#pages[@]} pages" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
declare -A ms

# The engine's start-up alone, which a batch pays once.
start=$(now_ms)
"$batch" snapshot --size 800x600 --scale 50 --format jpg --out "$work/one" "${pages[0]}" \
    >/dev/null 2>&1 || true
ms[startup]=$(( $(now_ms) - start ))

# Pages of the same name in different folders give the same snapshot name: --force
# overwrites, as a user answering Yes would; every other problem is a line on stderr.
start=$(now_ms)
"$batch" snapshot --size 800x600 --scale 50 --format jpg --force --out "$work/ours" \
    "${pages[@]}" >"$work/ours.out" 2>"$work/ours.err" || true
ms[ours]=$(( $(now_ms) - start ))

"$window" "$work/window" "${pages[@]}" >"$work/window.out" 2>/dev/null || true
window_line=$(grep ' ms/page' "$work/window.out" || echo "did not finish")
ms[window]=$(awk '/ ms\/page/ { sub(/ s:.*/, ""); print int($4 * 1000) }' "$work/window.out")

start=$(now_ms)
for page in "${pages[@]}"; do
    timeout 30 wkhtmltoimage -q --width 800 --height 600 -f jpg "$page" "$work/w.jpg" \
        >/dev/null 2>&1 || true
done
ms[wkhtml]=$(( $(now_ms) - start ))

report() { # name milliseconds
    awk -v n="$count" -v t="$2" -v name="$1" \
        'BEGIN { printf "%-44s %8d ms  %6.1f ms/page  %6.2f pages/s\n", name, t, t / n, n * 1000 / t }'
}
echo "$count pages from /usr/share/doc at 800 x 600, 50 %, JPG"
echo "folioscope-batch start-up and first page:    ${ms[startup]} ms"
report "folioscope-batch snapshot (start-up incl.)" "${ms[ours]}"
echo "  pages done: $(grep -c ' of ' "$work/ours.out"), problems: $(wc -l <"$work/ours.err")"
if [[ -n ${ms[window]} ]]; then
    report "Batch Export of the snapshot window" "${ms[window]}"
fi
echo "  $window_line"
report "wkhtmltoimage, one per page" "${ms[wkhtml]}"
awk -v o="${ms[ours]}" -v a="${ms[window]:-0}" -v w="${ms[wkhtml]}" 'BEGIN {
    printf "wkhtmltoimage takes %.1fx as long as folioscope-batch", w / o
    if (a > 0) printf ", %.1fx as long as Batch Export", w / a
    printf "\n" }'
