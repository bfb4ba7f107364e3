#!/bin/bash
# Runs one golden case directory against a velkin binary; see README.md here.
set -u
binary=$(realpath "$1")
case_dir=$(realpath "$2")
name=$(basename "$case_dir")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/bin"
printf '#!/bin/bash\nexec -a velkin "%s" "$@"\n' "$binary" > "$work/bin/velkin"
chmod +x "$work/bin/velkin"
# The checker is built next to velkin; cases named check_* run it.
checker="$(dirname "$binary")/velkin-check"
if [ -x "$checker" ]; then
    printf '#!/bin/bash\nexec -a velkin-check "%s" "$@"\n' "$checker" > "$work/bin/velkin-check"
    chmod +x "$work/bin/velkin-check"
fi

# So is the LTL translator, for the cases named ltl_*.
translator="$(dirname "$binary")/velkin-ltl"
if [ -x "$translator" ]; then
    printf '#!/bin/bash\nexec -a velkin-ltl "%s" "$@"\n' "$translator" > "$work/bin/velkin-ltl"
    chmod +x "$work/bin/velkin-ltl"
fi

# And the explainer, for the cases named explain_*.
explainer="$(dirname "$binary")/velkin-explain"
if [ -x "$explainer" ]; then
    printf '#!/bin/bash\nexec -a velkin-explain "%s" "$@"\n' "$explainer" > "$work/bin/velkin-explain"
    chmod +x "$work/bin/velkin-explain"
fi

stdin_file=/dev/null
[ -f "$case_dir/stdin" ] && stdin_file="$case_dir/stdin"

cd "$case_dir" || exit 1
PATH="$work/bin:$PATH" bash "$case_dir/cmd" < "$stdin_file" > "$work/stdout" 2> "$work/stderr"
status=$?

expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(cat "$case_dir/status")

failed=0
compare() {  # compare STREAM: expected file (or nothing) against what was produced
    local expected="$case_dir/$1"
    [ -f "$expected" ] || expected=/dev/null
    if ! cmp -s "$expected" "$work/$1"; then
        echo "[$name] $1 differs (expected vs actual):"
        diff <(od -c "$expected" | head -40) <(od -c "$work/$1" | head -40) | head -40
        failed=1
    fi
}
compare stdout
compare stderr
if [ "$status" != "$expected_status" ]; then
    echo "[$name] exit status $status, expected $expected_status"
    failed=1
fi

if head -c 7 "$work/stdout" | grep -q '^digraph'; then
    if command -v dot > /dev/null; then
        if ! dot -Tsvg "$work/stdout" > /dev/null 2> "$work/dot.err" || [ -s "$work/dot.err" ]; then
            echo "[$name] Graphviz rejects the DOT output:"
            cat "$work/dot.err"
            failed=1
        fi
    elif [ -n "${CI:-}" ]; then
        echo "[$name] dot is not installed, and CI requires the Graphviz check"
        failed=1
    else
        echo "[$name] note: dot not installed, Graphviz check skipped"
    fi
fi
exit $failed
