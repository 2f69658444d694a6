#!/usr/bin/env bash
# The comparison of two renders against odiff (npm package odiff-bin), side by side on the same
# pairs of 1280 x 2000 pictures. Installs odiff-bin into a folder of its own when missing.
#
# usage: bench/visualcheck/run_imagediff_bench.sh [BIN_DIR] [PEERS_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../../build/release/bin}
peers=${2:-${TMPDIR:-/tmp}/folioscope-peers}
[[ -x $bin/imagediff_bench ]] || { echo "missing $bin/imagediff_bench: build it" >&2; exit 2; }
if [[ ! -x $peers/node_modules/.bin/odiff ]]; then
    mkdir -p "$peers"
    (cd "$peers" && npm install --silent --no-audit --no-fund odiff-bin >/dev/null)
fi
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bin/imagediff_bench" "$peers/node_modules/.bin/odiff" --benchmark_min_time=0.5
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
