#!/usr/bin/env bash
# Fails when a process started by the tests of this build still runs: the programs, the test
# programs, and the engine processes they started. The tests mark their environment with
# FOLIOSCOPE_TEST_RUN=<build folder>, which every process they start inherits. Those found are
# named and then ended, so that they do not outlive the run either.
set -uo pipefail
marker="FOLIOSCOPE_TEST_RUN=$1"

leftovers() {
    grep -lzxF -- "$marker" /proc/[0-9]*/environ 2>/dev/null | sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p'
}

# Processes of the last test may still be on their way out.
for _ in $(seq 1 100); do
    [ -z "$(leftovers)" ] && exit 0
    sleep 0.1
done
pids=$(leftovers)
[ -z "$pids" ] && exit 0
echo "processes of the tests still run after them:"
for pid in $pids; do
    printf '  %s %s\n' "$pid" "$(tr '\0' ' ' 2>/dev/null </proc/"$pid"/cmdline)"
done
kill -KILL $pids 2>/dev/null
exit 1
