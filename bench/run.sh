#!/bin/bash
# Scaling runs of every stage on generated inputs; writes bench/RESULTS.md.
# Each run is repeated BENCH_REPEAT times (default 3) by bench/measure.py,
# which reports the run of median CPU time and the highest peak memory, and
# is bounded by BENCH_TIMEOUT seconds (default 60); a run that hits the bound
# is recorded as such rather than waited for. Not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
velkin=${VELKIN:-$root/build/velkin}
limit=${BENCH_TIMEOUT:-60}
repeat=${BENCH_REPEAT:-3}
out=${BENCH_OUT:-$root/bench/RESULTS.md}
gen="python3 $root/bench/gen.py"
[ -x "$velkin" ] || { echo "no binary at $velkin (run make first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows="$work/rows.tsv"
: > "$rows"
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

# measure FAMILY SCALE SIZE STATES STAGE ARGS...: one measured run, one row.
# SCALE is the power of ten of the product (or model) size the run belongs
# to, which the summary uses to pair runs for the scaling ratios. Standard
# output goes to /dev/null except for the solving stages, whose verdict is
# recorded.
measure() {
    local family=$1 scale=$2 size=$3 states=$4 stage=$5
    shift 5
    local sink=/dev/null
    case "$stage" in *-s*) sink="$work/stdout" ;; esac
    : > "$work/stdout"
    local result wall cpu rss status note
    result=$(python3 "$root/bench/measure.py" --repeat "$repeat" --timeout "$limit" --stdout "$sink" \
        --stderr "$work/stderr" -- "$velkin" "$@")
    if [ "$result" = timeout ]; then
        wall=">$limit"; cpu="-"; rss="-"; note="stopped at the time bound"
    else
        IFS=$'\t' read -r wall cpu rss status <<< "$result"
        note="exit $status"
        if grep -q '^The answer is YES' "$work/stdout"; then note="$note, YES"
        elif grep -q '^The answer is NO' "$work/stdout"; then note="$note, NO"; fi
    fi
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$family" "$scale" "$size" "$states" "$stage" "$wall" "$cpu" \
        "$rss" "$note" >> "$rows"
    echo "$family $size $stage: ${wall}s wall ${cpu}s cpu ${rss}MiB ($note)"
}

# product_states SPEC AUTOMATON PROCESS: the number of product states (node lines of -p).
product_states() {
    timeout "$limit" "$velkin" -r "$2" -p "$3" "$1" 2>/dev/null | grep -c 'shape=' || true
}

# every_stage FAMILY SCALE SIZE SPEC AUTOMATON PROCESS: parsing alone (no
# output option), -d, -f -d, -p, -s, -s -m and -f -s on one input.
every_stage() {
    local family=$1 scale=$2 size=$3 spec=$4 automaton=$5 process=$6
    local states
    states=$(product_states "$spec" "$automaton" "$process")
    measure "$family" "$scale" "$size" - "parse" "$spec"
    measure "$family" "$scale" "$size" - "-d $process" -d "$process" "$spec"
    measure "$family" "$scale" "$size" - "-f -d $process" -f -d "$process" "$spec"
    measure "$family" "$scale" "$size" "$states" "-p $process" -r "$automaton" -p "$process" "$spec"
    measure "$family" "$scale" "$size" "$states" "-s $process" -r "$automaton" -s "$process" "$spec"
    measure "$family" "$scale" "$size" "$states" "-s $process -m" -r "$automaton" -s "$process" -m "$spec"
    measure "$family" "$scale" "$size" "$states" "-f -s $process" -r "$automaton" -f -s "$process" "$spec"
}

# "Infinitely often a": one pair, one proposition.
$gen gfa 1 > "$work/gfa.dra"

# 1. Long chains of processes: N processes, N + 1 product states.
for scale in 4 5 6; do
    n=$((10 ** scale))
    $gen chain $n > "$work/chain.dmts"
    every_stage chain $scale "$n processes" "$work/chain.dmts" "$work/gfa.dra" P0
done

# 2. Random branching specifications with must hypertransitions of 2-3
#    alternatives: about 4 product states per process.
for scale in 4 5 6; do
    n=$((25 * 10 ** (scale - 2)))
    $gen random $n --seed 7 > "$work/random.dmts"
    every_stage random $scale "$n processes" "$work/random.dmts" "$work/gfa.dra" P0
done

# 3. A token ring of N stations (a realistic protocol scaled by N) against a
#    random two-pair automaton over request, grant, deny.
$gen automaton 2 3 4 --seed 3 | sed 's/"a" "b" "c"/"request" "grant" "deny"/' > "$work/ring.dra"
for scale in 4 5 6; do
    n=$((125 * 10 ** (scale - 3)))
    $gen ring $n > "$work/ring.dmts"
    states=$(product_states "$work/ring.dmts" "$work/ring.dra" Station0)
    measure ring $scale "$n stations" "$states" "-p Station0" -r "$work/ring.dra" -p Station0 "$work/ring.dmts"
    measure ring $scale "$n stations" "$states" "-s Station0" -r "$work/ring.dra" -s Station0 "$work/ring.dmts"
    measure ring $scale "$n stations" "$states" "-s Station0 -m" -r "$work/ring.dra" -s Station0 -m \
        "$work/ring.dmts"
done

# 4. A small specification with a large product: 10^4 random processes
#    against one-pair automata of 1, 10 and 100 states.
$gen random 10000 --seed 3 > "$work/random10k.dmts"
for scale in 4 5 6; do
    automaton_states=$((10 ** (scale - 4)))
    $gen automaton 1 1 $automaton_states --seed 5 > "$work/wide.dra"
    states=$(product_states "$work/random10k.dmts" "$work/wide.dra" P0)
    label="10000 processes, $automaton_states-state automaton"
    measure small-spec $scale "$label" "$states" "-p P0" -r "$work/wide.dra" -p P0 "$work/random10k.dmts"
    measure small-spec $scale "$label" "$states" "-s P0" -r "$work/wide.dra" -s P0 "$work/random10k.dmts"
done

# 5. Acceptance pairs 1-3 and propositions 1-4 on one random specification:
#    the solver explores every order of the pairs.
$gen random 5000 --seed 11 > "$work/random5k.dmts"
for pairs in 1 2 3; do
    for props in 1 2 4; do
        $gen automaton $pairs $props 5 --seed $((pairs * 10 + props)) > "$work/auto.dra"
        states=$(product_states "$work/random5k.dmts" "$work/auto.dra" P0)
        measure "$pairs pairs, $props props" - "5000 processes" "$states" "-s P0" \
            -r "$work/auto.dra" -s P0 "$work/random5k.dmts"
    done
done

# 6. Random branching specifications of seeds 1-8 at 10^5 and 10^6 product
#    states: whether P0 wins depends on the seed, and a losing P0 takes the
#    fixpoint many more rounds, so one seed alone compares unlike instances.
for seed in 1 2 3 4 5 6 7 8; do
    for scale in 5 6; do
        n=$((25 * 10 ** (scale - 2)))
        $gen random $n --seed $seed > "$work/seeded.dmts"
        states=$(product_states "$work/seeded.dmts" "$work/gfa.dra" P0)
        measure "random seed $seed" $scale "$n processes" "$states" "-s P0" -r "$work/gfa.dra" -s P0 \
            "$work/seeded.dmts"
    done
done

# 7. Parsing a 100 MB specification of repeated redefinitions.
$gen redefine 100 > "$work/redefine.dmts"
measure redefine - "100 MB" - "-d P" -d P "$work/redefine.dmts"

# The section that bench/multi_pair.sh writes stays at the end of the file.
kept="$work/several_pairs.md"
: > "$kept"
[ -f "$out" ] && awk '/^## Several acceptance pairs/{keep=1} keep' "$out" > "$kept"
python3 "$root/bench/summarize.py" "$rows" \
    --binary "${velkin#$root/}" --limit "$limit" --repeat "$repeat" --load "$load_at_start" > "$out"
# The with/without measurements of the performance tricks come from
# bench/compare.py runs, not from this script; they are carried over.
cat "$root/bench/tricks.md" >> "$out"
[ -s "$kept" ] && { echo; cat "$kept"; } >> "$out"
echo "wrote $out"
