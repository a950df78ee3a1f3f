#!/usr/bin/env bash
# Reads the 65,536 x 18 benchmark workbook with our reader and with libfreexl, alternating, RUNS
# times each, and reports the median time and peak memory of both and their ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build >/dev/null
runs=${RUNS:-7}
book=$(mktemp --suffix=.xls)
trap 'rm -f "$book"' EXIT
build/bin/bench_read_workbook write "$book"
ours=() ; theirs=()
for _ in $(seq "$runs"); do
    ours+=("$(build/bin/bench_read_workbook ours "$book")")
    theirs+=("$(build/bin/bench_read_workbook freexl "$book")")
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
ot=$(printf '%s\n' "${ours[@]}" | field seconds | median)
om=$(printf '%s\n' "${ours[@]}" | field peak_kib | median)
ft=$(printf '%s\n' "${theirs[@]}" | field seconds | median)
fm=$(printf '%s\n' "${theirs[@]}" | field peak_kib | median)
echo "workbook: $(du -k "$book" | cut -f1) KiB, cells: $(printf '%s\n' "${ours[0]}" | field cells) (ours) / $(printf '%s\n' "${theirs[0]}" | field cells) (libfreexl)"
echo "ours:      median ${ot} s, peak ${om} KiB"
echo "libfreexl: median ${ft} s, peak ${fm} KiB"
awk -v ot="$ot" -v ft="$ft" -v om="$om" -v fm="$fm" \
    'BEGIN { printf "time ours/libfreexl = %.2f, memory ours/libfreexl = %.2f (over %d runs)\n", ot/ft, om/fm, '"$runs"' }'
