#!/bin/bash
# Every shipped automaton examples/NAME.dra or NAME.hoa has its formula in
# examples/NAME.ltl. Regenerates each with velkin-ltl (both output formats,
# for every letter and with -a for one action per step)
# and checks that velkin -s answers the same as with the shipped automaton,
# for every process of every example specification that uses one of the
# formula's propositions as an action, with and without -f.
# usage: regenerate_examples.sh VELKIN VELKIN_LTL EXAMPLES_DIR
set -u
velkin=$1
velkin_ltl=$2
examples=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

compared=0
failed=0
for automaton in "$examples"/*.dra "$examples"/*.hoa; do
    name=$(basename "${automaton%.*}")
    formula="$examples/$name.ltl"
    if [ ! -f "$formula" ]; then
        echo "no formula $formula for $automaton"
        failed=1
        continue
    fi
    generated_files=()
    for mode in "" "-a"; do
        for format in dra hoa; do
            out="$work/$name$mode.$format"
            option=""
            [ "$format" = hoa ] && option="-H"
            if "$velkin_ltl" $mode $option -f "$formula" -o "$out"; then
                generated_files+=("$out")
            else
                echo "velkin-ltl $mode $option failed on $formula"
                failed=1
            fi
        done
    done
    # An automaton for one action per step is never larger than the shipped one.
    shipped_states=$(sed -n 's/^States: //p' "$automaton")
    for out in "$work/$name-a.dra" "$work/$name-a.hoa"; do
        states=$(sed -n 's/^States: //p' "$out")
        if [ -n "$states" ] && [ "$states" -gt "$shipped_states" ]; then
            echo "$(basename "$out"): $states states, the shipped $(basename "$automaton") has $shipped_states"
            failed=1
        fi
    done
    props=$(sed -n 's/^AP: [0-9]* //p' "$work/$name.dra" | tr -d '"')
    for spec in "$examples"/*.dmts; do
        shared=0
        for prop in $props; do grep -qw -- "$prop" "$spec" && shared=1; done
        [ "$shared" = 1 ] || continue
        for process in $(sed -nE 's/^([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*=.*/\1/p' "$spec"); do
            for deadlock in "" "-f"; do
                expected=$("$velkin" -r "$automaton" $deadlock -s "$process" "$spec" 2>&1 | head -1)
                for generated in "${generated_files[@]}"; do
                    actual=$("$velkin" -r "$generated" $deadlock -s "$process" "$spec" 2>&1 | head -1)
                    compared=$((compared + 1))
                    if [ "$expected" != "$actual" ]; then
                        echo "$(basename "$automaton") vs $(basename "$generated"), $process $deadlock in $(basename "$spec"):"
                        echo "  shipped:   $expected"
                        echo "  generated: $actual"
                        failed=1
                    fi
                done
            done
        done
    done
done
echo "$compared verdicts compared"
[ "$compared" -gt 0 ] || failed=1
exit $failed
