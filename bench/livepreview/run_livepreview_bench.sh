#!/bin/sh
# The internal browser following the disk (livepreview_bench) and, side by side in the same run,
# live-server with its defaults shown by the system's headless Chromium (peer.mjs): the time from
# a write of the page to the first painted frame that shows it.
#   bench/livepreview/run_livepreview_bench.sh build/release/bin [WRITES]
# live-server is installed with npm into build/livepreview-peer on the first run.
set -eu
bin=${1:?usage: run_livepreview_bench.sh BIN_FOLDER [WRITES]}
writes=${2:-200}
here=$(cd "$(dirname "$0")" && pwd)
peer=$(cd "$bin/.." && pwd)/livepreview-peer
chromium=${CHROMIUM:-/usr/bin/chromium}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen "$bin/livepreview_bench" "$writes" 2>/dev/null
if ! command -v node >/dev/null || [ ! -x "$chromium" ]; then
    echo "live-server: skipped (needs node and $chromium)"
    exit 0
fi
if [ ! -f "$peer/node_modules/live-server/live-server.js" ]; then
    mkdir -p "$peer"
    npm install --no-audit --no-fund --prefix "$peer" live-server >/dev/null
fi
node "$here/peer.mjs" "$peer/node_modules/live-server/live-server.js" "$chromium" "$writes"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
