#!/bin/bash
# Explaining a NO against solving it: velkin -s and velkin-explain on the
# lossy sender (bench/gen.py lossy) with "infinitely often a" counted by an
# automaton of M states (bench/gen.py counter M), so that the product has
# about 4M states: 10^3, 10^4 and 10^5. Prints a Markdown table of median
# CPU times (bench/measure.py, BENCH_REPEAT runs, default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
repeat=${BENCH_REPEAT:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/gen.py" lossy > "$work/lossy.dmts"
cpu() {  # cpu COMMAND...: median CPU seconds
    python3 "$root/bench/measure.py" --repeat "$repeat" --timeout 120 --stdout "$work/out" --stderr "$work/err" -- "$@" \
        | cut -f2
}
echo "| product states | automaton states | velkin -s CPU s | velkin-explain CPU s | ratio | core | strategy states |"
echo "|---:|---:|---:|---:|---:|---:|---:|"
for m in 250 2500 25000; do
    python3 "$root/bench/gen.py" counter "$m" > "$work/a.dra"
    states=$("$build/velkin" -r "$work/a.dra" -p Sender "$work/lossy.dmts" | grep -c 'shape=')
    solve=$(cpu "$build/velkin" -r "$work/a.dra" -s Sender "$work/lossy.dmts")
    explain=$(cpu "$build/velkin-explain" -r "$work/a.dra" -p Sender "$work/lossy.dmts")
    "$build/velkin-explain" -r "$work/a.dra" -p Sender "$work/lossy.dmts" > "$work/why" || true
    core=$(sed -n '/^Obligations/,/^Winning/p' "$work/why" | grep -c '^  ')
    strategy=$(grep -c '^  S[0-9]* = ' "$work/why" || true)
    ratio=$(python3 -c "print(f'{$explain / max($solve, 0.001):.1f}')")
    echo "| $states | $m | $solve | $explain | $ratio | $core | $strategy |"
done
