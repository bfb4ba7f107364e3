#!/bin/bash
# Translation time and automaton size of velkin-ltl for every formula of
# bench/ltl_patterns.txt, and the full word-by-word comparison (random
# formulas and the patterns, 1,000 words each); writes bench/LTL_RESULTS.md.
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
    echo "| pattern | formula | states | pairs | seconds |"
    echo "|---|---|---:|---:|---:|"
    slowest=0
    while IFS=$'\t' read -r name formula; do
        case "$name" in \#*|'') continue ;; esac
        head=$("$ltl" "$formula" | sed -n '3,4p')
        states=$(sed -n 's/^States: //p' <<< "$head")
        pairs=$(sed -n 's/^Acceptance-Pairs: //p' <<< "$head")
        median=$(python3 "$root/bench/ltl_cpu.py" "$repeat" "$ltl" "$formula")
        slowest=$(python3 -c "print(max($slowest, $median))")
        echo "| $name | \`${formula//|/\\|}\` | $states | $pairs | $median |"
    done < "$root/bench/ltl_patterns.txt"
    echo
    echo "Slowest pattern: $slowest s."
    echo
    echo "## Automata against direct evaluation on 1,000 random words u.v^omega per formula"
    echo
    echo '```'
    "$words" random 1 300 1000 | tail -1 | sed 's/^/random formulas (seed 1): /'
    "$words" random 7 300 1000 | tail -1 | sed 's/^/random formulas (seed 7): /'
    "$words" patterns "$root/bench/ltl_patterns.txt" 1000 | tail -1 | sed 's/^/patterns: /'
    echo '```'
} > "$out"
echo "wrote $out"
