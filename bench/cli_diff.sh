#!/bin/bash
# Byte comparison of two velkin binaries on random inputs: for each seed a
# random specification (gen.py hyper or random-idle) and a random automaton
# (gen.py automaton, chain-pairs or fairness) of 1-6 pairs, solved with -s,
# -S, -D, -s -m and -f -S by both; stdout and stderr must be identical.
# Usage: bench/cli_diff.sh OLD NEW [SEEDS]. Runs of OLD beyond 20 s are
# skipped and counted. Not part of the test suite.
set -u
old=$1 new=$2 seeds=${3:-200}
gen="python3 $(cd "$(dirname "$0")" && pwd)/gen.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compared=0 differ=0 skipped=0
for seed in $(seq 1 "$seeds"); do
    processes=$((5 + seed * 7 % 120))
    pairs=$((1 + seed % 6))
    if ((seed % 2)); then
        $gen hyper $processes a,b,c,d,idle --seed "$seed" > "$work/spec.dmts"
    else
        $gen random-idle $processes --seed "$seed" > "$work/spec.dmts"
    fi
    case $((seed % 5)) in
        0) $gen chain-pairs $pairs $((2 + seed % 7)) --seed "$seed" > "$work/a.dra" ;;
        1) $gen fairness fair$((2 + seed % 4)) > "$work/a.dra" ;;
        *) $gen automaton $pairs 4 $((2 + seed % 7)) --seed "$seed" > "$work/a.dra" ;;
    esac
    for mode in "-s P0" "-S P0" "-D P0" "-s P0 -m" "-f -S P0"; do
        # shellcheck disable=SC2086
        if ! timeout 20 "$old" -r "$work/a.dra" $mode "$work/spec.dmts" > "$work/old.out" 2> "$work/old.err"; then
            [ $? -eq 124 ] && { skipped=$((skipped + 1)); continue; }
        fi
        # shellcheck disable=SC2086
        "$new" -r "$work/a.dra" $mode "$work/spec.dmts" > "$work/new.out" 2> "$work/new.err"
        compared=$((compared + 1))
        if ! cmp -s "$work/old.out" "$work/new.out" || ! cmp -s "$work/old.err" "$work/new.err"; then
            differ=$((differ + 1))
            echo "differs: seed $seed, $mode"
        fi
    done
done
echo "$compared runs compared, $differ differ, $skipped skipped (old binary over 20 s)"
