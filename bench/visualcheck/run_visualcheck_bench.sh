#!/usr/bin/env bash
# The visual check of real pages at 1280 wide: folioscope-batch visual-check (baselines taken
# first, then the compare run timed, start-up included) against a warm headless Chromium driven
# by puppeteer-core with pixelmatch (peer.mjs, the faster of 2 and 3 tabs), side by side on the
# same pages: the HTML manuals that Debian's packages install under /usr/share/doc. Installs
# chromium with apt-get and puppeteer-core, pngjs and pixelmatch with npm when missing.
#
# usage: bench/visualcheck/run_visualcheck_bench.sh [BIN_DIR] [PAGES] [PEERS_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
count=${2:-150}
peers=${3:-${TMPDIR:-/tmp}/folioscope-peers}
batch=$bin/folioscope-batch
[[ -x $batch ]] || { echo "missing $batch: build folioscope-batch" >&2; exit 2; }
if ! command -v chromium >/dev/null; then
    sudo=; [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo apt-get install -y --no-install-recommends chromium >/dev/null
fi
if [[ ! -d $peers/node_modules/puppeteer-core || ! -d $peers/node_modules/pixelmatch ]]; then
    mkdir -p "$peers"
    (cd "$peers" && npm install --silent --no-audit --no-fund puppeteer-core@22 pngjs pixelmatch >/dev/null)
fi
mapfile -t pages < <(find /usr/share/doc -type f \( -name '*.html' -o -name '*.htm' \) \
    -size +1k -readable 2>/dev/null | sort | head -n "$count")
((${#pages[@]} == count)) || { echo "found only ${#pages[@]} pages" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$batch" visual-check --update --widths 1280 --program-folder "$work" "${pages[@]}" >/dev/null 2>&1 || true
start=$(now_ms)
"$batch" visual-check --widths 1280 --program-folder "$work" "${pages[@]}" >"$work/lines" 2>"$work/totals" || true
ours=$(( $(now_ms) - start ))
echo "folioscope-batch visual-check: $count pages in $ours ms, $(( ours / count )) ms a page; $(tail -1 "$work/totals")"
best=
for tabs in 2 3; do
    line=$(node "$here/peer.mjs" "$peers" "$(command -v chromium)" "$tabs" "${pages[@]}")
    echo "$line"
    peer=$(sed -E 's/.* in ([0-9]+) ms.*/\1/' <<<"$line")
    [[ -z $best || $peer -lt $best ]] && best=$peer
done
awk -v o="$ours" -v p="$best" 'BEGIN { printf "ratio (peer / ours): %.1f\n", p / o }'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
