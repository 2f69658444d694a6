#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed program and batch
# tool find their folder and its data files.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
pid=
# Ends the program started below, itself and not a wrapper, and waits until it is gone.
stop_program() {
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}
trap 'stop_program; rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

folder="$prefix/lib/folioscope"
for file in bin/folioscope bin/folioscope-batch lib/folioscope/folioscope-render \
            share/applications/folioscope.desktop \
            share/icons/hicolor/scalable/apps/folioscope.svg lib/folioscope/trim.ini \
            lib/folioscope/STYLES/THUMBS/options.ini lib/folioscope/STYLES/THUMBS/tag.ini; do
    [ -e "$prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done

# The batch tool reads the style beside itself: the same result as the build tree's.
page='<html><body><table><tr><td>cell</td></tr></table></body></html>'
expected=$(printf '%s' "$page" | "$build/bin/folioscope-batch" format)
got=$(printf '%s' "$page" | "$prefix/bin/folioscope-batch" format)
[ "$got" = "$expected" ] || { echo "installed batch tool formats differently"; exit 1; }

# Through its launcher, the batch tool still finds the renderer beside itself.
help=$("$prefix/bin/folioscope-batch" thumbs --help)
[[ $help == "Usage: folioscope-batch thumbs"* ]] \
    || { echo "installed batch tool cannot hand rendering over"; exit 1; }

# The program starts from its launcher and creates its data folders beside itself.
QT_QPA_PLATFORM=offscreen "$prefix/bin/folioscope" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 200); do
    [ -d "$folder/THUMBS" ] && [ -d "$folder/FILELISTS" ] && break
    sleep 0.1
done
stop_program
[ -d "$folder/THUMBS" ] && [ -d "$folder/FILELISTS" ] || { echo "program did not start in $folder"; exit 1; }
echo "install tree works"
