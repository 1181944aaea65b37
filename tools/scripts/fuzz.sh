#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset `fuzz`), replays the committed seed corpus through each,
# then fuzzes each in turn and prints runs, time and executions per second.
#
#   tools/scripts/fuzz.sh                 # 300 s per harness, corpus kept in build/fuzz/corpus/
#   tools/scripts/fuzz.sh 3600            # an hour per harness
#   tools/scripts/fuzz.sh --smoke         # ./test.sh: replay, then 5 s each in a scratch corpus
#   FUZZ_RUNS=1000000 tools/scripts/fuzz.sh 0     # stop each after that many runs instead
#   FUZZERS="command_line_fuzz" tools/scripts/fuzz.sh 600   # only these harnesses
#   tools/scripts/fuzz.sh --minimize      # rewrite tests/fuzz/corpus/ from build/fuzz/corpus/
#
# A failing input lands in build/fuzz/artifacts/; replay it with
#   build/fuzz/tests/fuzz/<harness> build/fuzz/artifacts/<file>
set -euo pipefail
cd "$(dirname "$0")/../.."

mode=long
seconds=300
case "${1:-}" in
    --smoke) mode=smoke; seconds=5 ;;
    --minimize) mode=minimize ;;
    '') ;;
    *) seconds=$1 ;;
esac
fuzzers=${FUZZERS:-"exit_command_fuzz settings_store_fuzz menu_description_fuzz command_line_fuzz shape_region_fuzz"}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/tests/fuzz
seeds=tests/fuzz/corpus
work=build/fuzz/corpus
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
# Leaks are not what these harnesses look for, and the sanitizers' own report ends the run.
common=(-timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1
        "-artifact_prefix=$artifacts/")

if [ "$mode" = minimize ]; then
    # Keeps one input per covered edge (no hit counts, no value profile): a small seed set.
    for f in $fuzzers; do
        fresh=$(mktemp -d)
        "$bin/$f" -merge=1 -use_counters=0 -use_value_profile=0 "${common[@]}" \
            "$fresh" "$seeds/$f" "$work/$f" 2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files' || true
        rm -rf "${seeds:?}/$f"
        mkdir -p "$seeds/$f"
        cp "$fresh"/* "$seeds/$f/"
        rm -rf "$fresh"
        echo "$f: $(ls "$seeds/$f" | wc -l) seed inputs"
    done
    exit 0
fi

scratch=
if [ "$mode" = smoke ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    work=$scratch
fi

summary=()
for f in $fuzzers; do
    mkdir -p "$work/$f"
    # Every committed input, once: a property broken by a past finding fails here.
    "$bin/$f" -runs=0 "${common[@]}" "$seeds/$f" >"$artifacts/$f.replay.log" 2>&1 || {
        cat "$artifacts/$f.replay.log" >&2
        echo "$f: a committed input fails" >&2
        exit 1
    }
    limits=(-max_total_time="$seconds")
    [ -n "${FUZZ_RUNS:-}" ] && limits+=(-runs="$FUZZ_RUNS")
    [ "$seconds" = 0 ] && limits=(-runs="${FUZZ_RUNS:?FUZZ_RUNS or a time is needed}")
    log=$artifacts/$f.log
    start=$(date +%s.%N)
    if ! "$bin/$f" "${limits[@]}" "${common[@]}" "$work/$f" "$seeds/$f" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "$f: property broken or sanitizer report; input saved in $artifacts/" >&2
        exit 1
    fi
    end=$(date +%s.%N)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
    rate=$(awk -v r="$runs" -v t="$elapsed" 'BEGIN { printf "%d", (t > 0 ? r / t : 0) }')
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1)
    summary+=("$(printf '%-22s %12s runs %8ss %9s exec/s  %s' "$f" "$runs" "$elapsed" "$rate" "$cov")")
done

echo "Fuzzing ($mode, ${seconds}s per harness): no property broken, no sanitizer report"
printf '  %s\n' "${summary[@]}"
