#!/bin/bash
# Whole-process cost of saving the combined report of a full cabinet as PDF
# with helmwise-cli: start-up, reading the file, laying out and writing.
# Prints pages per second of wall time and of processor time (the machine
# may be shared, so the processor figure is the steadier one).
#   bench/reports/report_process.sh [BUILD_DIR] [RUNS] [--profile]
# --profile also records one run with perf and lists where the time goes.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
cli=$build/src/cli/helmwise-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}

"$build/bench/reports/bench_reports" --save "$work/full.TWZ"
report=(report "$work/full.TWZ" --number 0 --options 1,2,3,4,5 --pdf "$work/full.pdf")
pages=$("$cli" "${report[@]}" | sed -n 's/.*: \([0-9]*\) pages.*/\1/p')

TIMEFORMAT='%R %U %S'
total=$( { time (for ((i = 0; i < runs; ++i)); do "$cli" "${report[@]}" >/dev/null; done) ; } 2>&1 )
read -r wall user sys <<<"$total"
awk -v p="$pages" -v n="$runs" -v w="$wall" -v u="$user" -v s="$sys" 'BEGIN {
    printf "combined report, full cabinet: %d pages, %d runs\n", p, n
    printf "per run: %.2f s wall, %.2f s processor\n", w / n, (u + s) / n
    printf "pages per second: %.1f wall, %.1f processor\n", p * n / w, p * n / (u + s) }'

if [[ ${3:-} == --profile ]]; then
    perf record -q --call-graph dwarf,32768 -F 500 -o "$work/perf.data" "$cli" "${report[@]}" >/dev/null
    perf report -i "$work/perf.data" --children --sort symbol -g none --stdio 2>/dev/null |
        grep -E '^ +[0-9]' | grep -v '0x0000' | head -40
fi
