#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while from its seed corpus
# (fuzz/corpus/<target>). New inputs go to a scratch corpus in the build directory, so the
# committed seeds stay as they are. A crash stops the script with the target's reproducer.
#   SEALWISE_FUZZ_SECONDS  seconds per target (default 15)
#   SEALWISE_FUZZ_BUILD_DIR  build directory (default build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz-smoke: clang++ not found; fuzz targets skipped" >&2
    exit 0
fi
seconds=${SEALWISE_FUZZ_SECONDS:-15}
build=${SEALWISE_FUZZ_BUILD_DIR:-build/fuzz}
jobs=${SEALWISE_FUZZ_JOBS:-$(nproc)}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSEALWISE_FUZZ=ON -DSEALWISE_GUI=OFF -DSEALWISE_TESTS=OFF -DSEALWISE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_targets

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in fuzz_container_index fuzz_decrypt_container fuzz_entry_name fuzz_base64 \
              fuzz_armour fuzz_modern_records; do
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    log="$work/run.log"
    if "$build/fuzz/$target" "$work/corpus" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz-smoke: $target: ${runs:-?} executions in ${seconds} s, no failure"
    else
        echo "fuzz-smoke: $target FAILED; log: $log, reproducer in $work/artifacts/" >&2
        tail -n 40 "$log" >&2
        status=1
    fi
done
exit $status
