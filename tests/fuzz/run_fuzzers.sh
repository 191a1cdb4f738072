#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a given time, one after another, starting from the
# seeds in tests/data/fuzz/<target> (new inputs go to a scratch corpus, not into the repository).
# Prints one line per target and a summary; exits 1 when any target found a crash, a hang or a
# broken invariant (its input is kept as <work>/<target>/crash-*, ready to become a test case).
#
# Usage: tests/fuzz/run_fuzzers.sh [SECONDS_PER_TARGET] [BUILD_DIR] [WORK_DIR]
#   defaults: 20 s, build/fuzz (cmake --workflow --preset fuzz), a fresh temporary folder
# FUZZ_SEED and FUZZ_RUNS, when set, fix libFuzzer's random seed and cap the inputs per target.
# The seed does not make a run repeatable: the coverage each input reaches varies a little from run
# to run (with and without address randomisation), and two runs part ways after a few hundred inputs.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
seconds=${1:-20}
build=$(cd "${2:-$source_dir/build/fuzz}" && pwd)
work=${3:-$(mktemp -d)}
targets=(fuzz_overlay fuzz_repair fuzz_split fuzz_host_records fuzz_geojson fuzz_multi fuzz_shapes)
fixed=()
[[ -n "${FUZZ_SEED:-}" ]] && fixed+=("-seed=$FUZZ_SEED")
[[ -n "${FUZZ_RUNS:-}" ]] && fixed+=("-runs=$FUZZ_RUNS")

failed=()
for target in "${targets[@]}"; do
    program=$build/tests/fuzz/$target
    if [[ ! -x "$program" ]]; then
        echo "fuzz: $target not built in $build" >&2
        failed+=("$target(missing)")
        continue
    fi
    mkdir -p "$work/$target/corpus"
    # -timeout: any single input running this long is a hang; -rss_limit_mb bounds memory.
    if (cd "$work/$target" &&
        nice "$program" corpus "$source_dir/tests/data/fuzz/$target" \
            -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
            -print_final_stats=1 -artifact_prefix="$work/$target/" "${fixed[@]}" \
            >"$work/$target/log" 2>&1); then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$target/log" | grep -o '[0-9]*$')
        echo "fuzz: $target ok, ${runs:-?} inputs in at most ${seconds} s"
    else
        echo "fuzz: $target FAILED, see $work/$target/log:"
        grep -m1 -E 'INVARIANT BROKEN|ERROR: (AddressSanitizer|libFuzzer)|runtime error' \
            "$work/$target/log" | sed 's/^/    /'
        failed+=("$target")
    fi
done
if ((${#failed[@]} > 0)); then
    echo "fuzz summary: ${#failed[@]} of ${#targets[@]} targets failed: ${failed[*]}"
    exit 1
fi
echo "fuzz summary: all ${#targets[@]} targets ran (at most ${seconds} s each) without a finding"
