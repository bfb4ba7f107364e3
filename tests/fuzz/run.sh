#!/bin/bash
# Builds the libFuzzer targets with clang in build-fuzz and gives each a short,
# bounded, reproducible run: a fixed seed and a fixed number of executions
# (FUZZ_RUNS, default 30000), with a wall-clock cap per target as a safety net.
# New inputs go to a scratch corpus; the committed seeds are only read.
# A crash, leak, timeout or broken invariant makes the script fail and leaves
# the input in build-fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${VELKIN_FUZZ_BUILD:-$root/build-fuzz}
runs=${FUZZ_RUNS:-30000}
seconds=${FUZZ_SECONDS:-15}

CXX=${FUZZ_CXX:-clang++} cmake -S "$root" -B "$build" -DVELKIN_FUZZ=ON -DVELKIN_TESTS=OFF > /dev/null
cmake --build "$build" -j 2 --target parser_fuzz rabin_reader_fuzz hoa_reader_fuzz pipeline_fuzz

artifacts="$build/artifacts"
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
run_target() {  # run_target TARGET CORPUS DICTIONARY MAX_LEN
    local target=$1 corpus=$2 dictionary=$3 max_len=$4
    mkdir -p "$scratch/$target"
    echo "== $target: $runs runs (at most ${seconds}s)"
    if ! "$build/tests/fuzz/$target" -seed=1 -runs="$runs" -max_total_time="$seconds" \
            -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -dict="$root/tests/fuzz/$dictionary" -artifact_prefix="$artifacts/$target-" \
            "$scratch/$target" "$root/tests/fuzz/corpus/$corpus" > "$scratch/$target.log" 2>&1; then
        echo "!! $target failed; last lines of its log:"
        tail -40 "$scratch/$target.log"
        status=1
    else
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$scratch/$target.log" || true
    fi
}

run_target parser_fuzz parser dmts.dict 4096
run_target rabin_reader_fuzz rabin_reader rabin.dict 4096
run_target hoa_reader_fuzz hoa_reader hoa.dict 4096
run_target pipeline_fuzz pipeline pipeline.dict 4096

if [ $status -eq 0 ]; then echo "fuzz: 4 passed, 0 failed"; else echo "fuzz: failures, see $artifacts"; fi
exit $status
