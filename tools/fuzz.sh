#!/usr/bin/env bash
# Runs every libFuzzer target (built by tools/build.sh into build/sanitize) on its seed corpus.
#   tools/fuzz.sh --smoke       a fixed number of runs each, as the test command does
#   tools/fuzz.sh [SECONDS [TARGET...]]
#                               a long campaign, SECONDS per target (default 3600); findings go to
#                               build/fuzz-findings/TARGET, the corpus grown so far to build/fuzz-corpus/TARGET
# Prints, per target, the executions and the crashes, hangs and leaks found; exits non-zero on any finding.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=""
seconds=3600
if [ "${1:-}" = "--smoke" ]; then
    runs=20000
    shift
elif [ -n "${1:-}" ]; then
    seconds=$1
    shift
fi
targets=()
for name in "$@"; do targets+=("build/sanitize/fuzz_$name"); done
[ ${#targets[@]} -gt 0 ] || targets=(build/sanitize/fuzz_*)
findings=0
for target in "${targets[@]}"; do
    name=$(basename "$target")
    seeds="tests/fuzz/corpus/${name#fuzz_}"
    corpus="build/fuzz-corpus/${name#fuzz_}"
    out="build/fuzz-findings/${name#fuzz_}"
    mkdir -p "$corpus" "$out"
    if [ -n "$runs" ]; then
        limit=(-runs="$runs")
    else
        limit=(-max_total_time="$seconds")
    fi
    log=$(mktemp)
    "$target" "${limit[@]}" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$out/" \
        "$corpus" "$seeds" >"$log" 2>&1
    status=$?
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    crashes=$(ls "$out" 2>/dev/null | grep -c '^crash-' || true)
    hangs=$(ls "$out" 2>/dev/null | grep -c '^timeout-' || true)
    leaks=$(ls "$out" 2>/dev/null | grep -c '^leak-' || true)
    printf '%-18s executions %-10s crashes %s  hangs %s  leaks %s\n' "$name" "${execs:-0}" "$crashes" "$hangs" "$leaks"
    if [ "$status" -ne 0 ] || [ $((crashes + hangs + leaks)) -gt 0 ]; then
        findings=1
        tail -n 30 "$log"
    fi
    rm -f "$log"
done
exit $findings
