#!/bin/bash
# Translation time and automaton size of velkin-ltl for every formula of
# bench/ltl_patterns.txt and for the chains of responses, for every letter and
# with -a; the sizes for a family of 200 random formulas (bench/ltl_family.py);
# and the full word-by-word comparison (random formulas and the patterns,
# 1,000 words each, in both modes); writes bench/LTL_RESULTS.md.
# Times are the median of LTL_REPEAT runs (default 5) of CPU time (user +
# system) of the child process (bench/ltl_cpu.py). Not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
ltl=$build/velkin-ltl
words=$build/tests/ltl/ltl_words
repeat=${LTL_REPEAT:-5}
out=${LTL_OUT:-$root/bench/LTL_RESULTS.md}
[ -x "$ltl" ] && [ -x "$words" ] || { echo "build velkin-ltl and ltl_words first" >&2; exit 1; }

{
    echo "# velkin-ltl: the specification patterns"
    echo
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at start;"
    echo "CPU time, median of $repeat runs. Regenerate with \`bash bench/ltl.sh\`."
    echo
    echo "| pattern | formula | states | pairs | construction | seconds | -a states | -a pairs |"
    echo "|---|---|---:|---:|---|---:|---:|---:|"
    slowest=0
    # "N states, P pairs, by CONSTRUCTION" of velkin-ltl -v as "N|P|CONSTRUCTION".
    size() { "$ltl" -v "$@" -o /dev/null 2>&1 | sed -n 's/^velkin-ltl: \([0-9]*\) states, \([0-9]*\) pairs, by \(.*\)$/\1|\2|\3/p'; }
    row() {
        local name=$1 formula=$2
        IFS='|' read -r states pairs construction <<< "$(size "$formula")"
        IFS='|' read -r action_states action_pairs _ <<< "$(size -a "$formula")"
        local timed=()
        [ -n "$states" ] || timed=(-a -H)  # refused for every letter: time the -a run (HOA)
        median=$(python3 "$root/bench/ltl_cpu.py" "$repeat" "$ltl" "${timed[@]}" "$formula")
        slowest=$(python3 -c "print(max($slowest, $median))")
        echo "| $name | \`${formula//|/\\|}\` | $states | $pairs | $construction | $median | $action_states | $action_pairs |"
    }
    while IFS=$'\t' read -r name formula; do
        case "$name" in \#*|'') continue ;; esac
        row "$name" "$formula"
    done < "$root/bench/ltl_patterns.txt"
    echo
    echo "Slowest pattern: $slowest s."
    echo
    echo "## Chains of responses and other hard cases"
    echo
    echo "The figure in brackets after each name is the number of states a classic translator"
    echo "(Safra's construction with its usual optimisations) needs for the same formula."
    echo "Without -a at most 16 propositions are allowed, so 37 recurrences have -a figures (and time) only."
    echo
    echo "| case | formula | states | pairs | construction | seconds | -a states | -a pairs |"
    echo "|---|---|---:|---:|---|---:|---:|---:|"
    row "response chain of 3 (79)" 'G (a -> F (b & F (c & F d)))'
    row "response chain of 4 (16,620)" 'G (a -> F (b & F (c & F (d & F e))))'
    row "until chain (26)" 'G (a -> (b U (c U (d U e))))'
    row "next chain (9)" 'p U (q & X (r & F (s & X F (t & X F (u & X F v)))))'
    row "three recurrences (2)" 'G F a | G F b | G F c'
    row "nested strong release (122)" '((F (c | ! (F d)) M (c xor b)) M (G (F a) xor (X d R d)))'
    recurrences() { python3 -c "print(' & '.join('G F p%d' % i for i in range($1)))"; }
    row "16 recurrences" "$(recurrences 16)"
    row "37 recurrences (-a only)" "$(recurrences 37)"
    row "16 propositions" 'G (p0 -> X p1) & G (p2 -> F p3) & F G (p4 | p5 | p6 | p7 | p8 | p9 | p10 | p11 | p12 | p13 | p14 | p15)'
    echo
    python3 "$root/bench/ltl_family.py" "$ltl" 1 200 60
    echo
    echo "## Automata against direct evaluation on 1,000 random words u.v^omega per formula and mode"
    echo
    echo '```'
    "$words" random 1 300 1000 | tail -1 | sed 's/^/random formulas (seed 1): /'
    "$words" random 7 300 1000 | tail -1 | sed 's/^/random formulas (seed 7): /'
    "$words" patterns "$root/bench/ltl_patterns.txt" 1000 | tail -1 | sed 's/^/patterns: /'
    echo '```'
} > "$out"
echo "wrote $out"
