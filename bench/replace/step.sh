#!/bin/sh
# One timed step of the replace bench on SITE, turning "alpha" into "omega" and back on the
# next call (SITE/.turned says which way is next), so that every run has the same work.
#   step.sh preview BATCH PROGRAM SITE   the diff of folioscope-batch replace, thrown away
#   step.sh apply   BATCH PROGRAM SITE   folioscope-batch replace --apply (with its undo record)
#   step.sh both    BATCH PROGRAM SITE   the preview, then the apply: what a careful user runs
#   step.sh sed     -     -       SITE   GNU sed -i on the same files
set -e
mode=$1 batch=$2 program=$3 site=$4
if [ -e "$site/.turned" ]; then
    from=omega to=alpha
    [ "$mode" = preview ] || rm "$site/.turned"
else
    from=alpha to=omega
    [ "$mode" = preview ] || : > "$site/.turned"
fi
case $mode in
preview) exec "$batch" replace --find "$from" --with "$to" --case --program-folder "$program" \
    "$site" > /dev/null 2>&1 ;;
apply) exec "$batch" replace --find "$from" --with "$to" --case --apply --program-folder "$program" \
    "$site" > /dev/null 2>&1 ;;
both)
    "$batch" replace --find "$from" --with "$to" --case --program-folder "$program" "$site" > /dev/null 2>&1
    exec "$batch" replace --find "$from" --with "$to" --case --apply --program-folder "$program" \
        "$site" > /dev/null 2>&1 ;;
sed) find "$site" -name '*.html' -exec sed -i "s/$from/$to/g" {} + ;;
esac
