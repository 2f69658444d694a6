#!/bin/sh
# Batch export of real pages (the HTML manuals Debian installs under /usr/share/doc) at
# 800 x 600, 50 %, JPG, side by side with wkhtmltoimage --width 800 --height 600 per page.
# Usage: bench/snapshot/run_snapshot_bench.sh [BINDIR] [PAGES]   (defaults: build/release/bin 100)
set -eu
bindir=${1:-build/release/bin}
count=${2:-100}
batch="$bindir/folioscope-batch"
[ -x "$batch" ] || { echo "no $batch: build the folioscope-batch target first" >&2; exit 2; }

if ! command -v wkhtmltoimage >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y wkhtmltopdf >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find /usr/share/doc -name '*.html' -size +1k 2>/dev/null | sort | head -n "$count" >"$work/pages"
found=$(wc -l <"$work/pages")
[ "$found" -gt 0 ] || { echo "no HTML manuals under /usr/share/doc" >&2; exit 2; }

now() { date +%s.%N; }
rate() { awk -v s="$1" -v e="$2" -v n="$3" -v who="$4" \
    'BEGIN { t = e - s; printf "%-34s %7.1f ms/page  %6.2f pages/s  (%d pages, %.2f s)\n", who, 1000 * t / n, n / t, n, t }'; }

# One page alone: the start of the engine, which the batch pays once.
start=$(now)
"$batch" snapshot --size 800x600 --scale 50 --format jpg --force --out "$work/warm" \
    "$(head -n 1 "$work/pages")" >/dev/null
rate "$start" "$(now)" 1 "folioscope-batch, 1 page (start-up)"

start=$(now)
tr '\n' '\0' <"$work/pages" | xargs -0 "$batch" snapshot --size 800x600 --scale 50 \
    --format jpg --force --out "$work/ours" >/dev/null || true
ours_end=$(now)
rate "$start" "$ours_end" "$found" "folioscope-batch snapshot"
ours=$(awk -v s="$start" -v e="$ours_end" 'BEGIN { print e - s }')

mkdir -p "$work/wk"
start=$(now)
i=0
while IFS= read -r page; do
    i=$((i + 1))
    wkhtmltoimage --quiet --width 800 --height 600 --format jpg "$page" "$work/wk/$i.jpg" \
        >/dev/null 2>&1 || true
done <"$work/pages"
wk_end=$(now)
rate "$start" "$wk_end" "$found" "wkhtmltoimage per page"
awk -v o="$ours" -v s="$start" -v e="$wk_end" \
    'BEGIN { printf "wkhtmltoimage takes %.1f times as long\n", (e - s) / o }'
echo "snapshots written: $(ls "$work/ours" | wc -l) of $found"
