#!/bin/bash
# A long fuzzing campaign in the background, on both cores, that keeps its
# corpus between runs.
#
#   tests/fuzz/campaign.sh start SECONDS [TARGET...]   build, then run each target for SECONDS
#   tests/fuzz/campaign.sh status                      executions, coverage and corpus per target
#   tests/fuzz/campaign.sh stop                        end the running campaign
#
# The targets (all four by default) are shared out over two lanes, one per
# core; each lane runs its targets one after the other under nice -n 19.
# CAMPAIGN_RUNS caps the executions of each target as well (-1: no cap).
# Everything lives in CAMPAIGN_DIR (default build-fuzz/campaign): bin/ holds
# copies of the binaries, so that a rebuild does not disturb a running target,
# corpus/TARGET the growing corpus (the committed seeds are read as a second
# directory and never written), logs/TARGET.log the libFuzzer output and
# artifacts/ whatever crashed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${VELKIN_FUZZ_BUILD:-$root/build-fuzz}
dir=${CAMPAIGN_DIR:-$build/campaign}
all_targets=(parser_fuzz rabin_reader_fuzz hoa_reader_fuzz pipeline_fuzz)

seeds_of() {
    case $1 in
    parser_fuzz) echo parser ;; rabin_reader_fuzz) echo rabin_reader ;;
    hoa_reader_fuzz) echo hoa_reader ;; pipeline_fuzz) echo pipeline ;;
    *) echo "unknown target $1" >&2; exit 1 ;;
    esac
}
dictionary_of() {
    case $1 in
    parser_fuzz) echo dmts.dict ;; rabin_reader_fuzz) echo rabin.dict ;;
    hoa_reader_fuzz) echo hoa.dict ;; pipeline_fuzz) echo pipeline.dict ;;
    esac
}

run_one() {  # run_one TARGET SECONDS
    local target=$1 seconds=$2
    mkdir -p "$dir/corpus/$target"
    nice -n 19 "$dir/bin/$target" -max_total_time="$seconds" -runs="${CAMPAIGN_RUNS:--1}" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -reload=0 \
        -dict="$root/tests/fuzz/$(dictionary_of "$target")" -artifact_prefix="$dir/artifacts/$target-" \
        "$dir/corpus/$target" "$root/tests/fuzz/corpus/$(seeds_of "$target")" \
        >> "$dir/logs/$target.log" 2>&1 || echo "!! $target stopped with status $?" >> "$dir/logs/$target.log"
}

start() {
    local seconds=$1
    shift
    local targets=("$@")
    [ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
    for target in "${targets[@]}"; do seeds_of "$target" > /dev/null; done
    CXX=${FUZZ_CXX:-clang++} cmake -S "$root" -B "$build" -DVELKIN_FUZZ=ON -DVELKIN_TESTS=OFF > /dev/null
    cmake --build "$build" -j 2 --target "${targets[@]}"
    mkdir -p "$dir/bin" "$dir/logs" "$dir/artifacts"
    for target in "${targets[@]}"; do cp "$build/tests/fuzz/$target" "$dir/bin/"; done
    local lane
    for lane in 0 1; do
        local mine=() k
        for ((k = lane; k < ${#targets[@]}; k += 2)); do mine+=("${targets[k]}"); done
        [ ${#mine[@]} -gt 0 ] || continue
        (
            for target in "${mine[@]}"; do run_one "$target" "$seconds"; done
        ) < /dev/null > /dev/null 2>&1 &
        echo $! >> "$dir/lanes.pid"
    done
    echo "campaign started: ${targets[*]}, ${seconds}s each; logs in $dir/logs"
}

# The last progress line of each log: executions, coverage, features, corpus.
status() {
    local log
    for log in "$dir"/logs/*.log; do
        [ -e "$log" ] || continue
        local last
        last=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/^(#[0-9]+)[[:space:]]+[A-Z]+[[:space:]]+/\1 /' || true)
        echo "$(basename "$log" .log): ${last:-no progress yet}"
        grep -E '^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|!!)' "$log" | tail -4 || true
    done
}

stop() {
    [ -e "$dir/lanes.pid" ] || { echo "no campaign running"; return; }
    local pid
    while read -r pid; do
        # Each lane is a subshell whose children are the fuzzers it started.
        pkill -P "$pid" 2> /dev/null || true
        kill "$pid" 2> /dev/null || true
    done < "$dir/lanes.pid"
    rm -f "$dir/lanes.pid"
}

case ${1:-} in
start) [ $# -ge 2 ] || { echo "usage: $0 start SECONDS [TARGET...]" >&2; exit 2; }
       shift; start "$@" ;;
status) status ;;
stop) stop ;;
*) echo "usage: $0 start SECONDS [TARGET...] | status | stop" >&2; exit 2 ;;
esac
