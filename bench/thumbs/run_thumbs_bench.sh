#!/usr/bin/env bash
# Makes the thumbnails of 200 real pages at the 640 x 480 base with folioscope-batch thumbs,
# and renders the same pages with wkhtmltoimage and headless chromium, one process per page as
# those tools are used; prints pages per second of each and the ratios. The pages are the HTML
# manuals that Debian's packages install under /usr/share/doc, found at run time. Installs
# wkhtmltopdf and chromium with apt-get when they are missing.
#
# usage: bench/thumbs/run_thumbs_bench.sh [BIN_DIR] [PAGES] [OTHERS]
#   BIN_DIR  folder holding folioscope-batch (default: build/release/bin)
#   PAGES    how many pages (default: 200)
#   OTHERS   how many of them the other two tools render (default: PAGES; they take seconds
#            a page, and their figures are per page)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
count=${2:-200}
others=${3:-$count}
((others >= 1 && others <= count)) || { echo "OTHERS must be 1..PAGES" >&2; exit 2; }
batch=$bin/folioscope-batch
[[ -x $batch ]] || { echo "missing $batch: build folioscope-batch" >&2; exit 2; }

need=()
command -v wkhtmltoimage >/dev/null || need+=(wkhtmltopdf)
command -v chromium >/dev/null || need+=(chromium)
if ((${#need[@]})); then
    sudo=; [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

mapfile -t pages < <(find /usr/share/doc -type f \( -name '*.html' -o -name '*.htm' \) \
    -size +1k -readable 2>/dev/null | sort | head -n "$count")
((${#pages[@]} == count)) || { echo "found only ${#pages[@]} pages" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
declare -A ms

# The processor time of the tool and its engine processes, where perf can count it.
counter=()
command -v perf >/dev/null && counter=(perf stat -x, -e task-clock -o "$work/cpu")
declare -A cpu
run_ours() { # hosts
    rm -rf "$work/prog"; mkdir -p "$work/prog"
    local start; start=$(now_ms)
    "${counter[@]}" "$batch" thumbs --base-index 3 --hosts "$1" --program-folder "$work/prog" \
        "${pages[@]}" > /dev/null 2>&1 || true
    ms[ours$1]=$(( $(now_ms) - start ))
    cpu[ours$1]=$( [[ -s $work/cpu ]] && awk -F, '/task-clock/ { printf "%d", $1 }' "$work/cpu")
}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for hosts in 1 2 3 4; do run_ours "$hosts"; done

start=$(now_ms)
for page in "${pages[@]:0:others}"; do
    timeout 30 wkhtmltoimage -q --width 640 --height 480 -f png "$page" "$work/w.png" \
        > /dev/null 2>&1 || true
done
ms[wkhtml]=$(( $(now_ms) - start ))

start=$(now_ms)
for page in "${pages[@]:0:others}"; do
    timeout 30 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --screenshot="$work/c.png" --window-size=640,480 "file://$page" > /dev/null 2>&1 || true
done
ms[chromium]=$(( $(now_ms) - start ))

report() { # name key [pages]
    local t=${ms[$2]}
    awk -v n="${3:-$count}" -v t="$t" -v name="$1" \
        'BEGIN { printf "%-38s %8d ms  %6.1f ms/page  %6.2f pages/s\n", name, t, t / n, n * 1000 / t }'
}
echo "$count pages from /usr/share/doc at 640 x 480"
report "folioscope-batch thumbs (1 host)" ours1
for hosts in 2 3 4; do report "folioscope-batch thumbs ($hosts hosts)" "ours$hosts"; done
for hosts in 1 2 3 4; do
    [[ -n ${cpu[ours$hosts]:-} ]] && awk -v c="${cpu[ours$hosts]}" -v t="${ms[ours$hosts]}" \
        -v n="$count" -v h="$hosts" 'BEGIN { printf "  %d hosts: %.1f ms of processor time a page, %.2f cores busy\n", h, c / n, c / t }'
done
report "wkhtmltoimage, one per page ($others)" wkhtml "$others"
report "chromium --headless, one per page ($others)" chromium "$others"
best=${ms[ours1]}
for hosts in 2 3 4; do ((ms[ours$hosts] < best)) && best=${ms[ours$hosts]}; done
ours=${ms[ours3]} # the default
ratios() { # label ours_ms
    awk -v o="$2" -v n="$count" -v m="$others" -v w="${ms[wkhtml]}" -v c="${ms[chromium]}" \
        -v label="$1" 'BEGIN { printf "speed-up of folioscope (%s): %.1fx wkhtmltoimage, %.1fx chromium\n", label, (w / m) / (o / n), (c / m) / (o / n) }'
}
ratios "default, 3 hosts" "$ours"
ratios best "$best"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
