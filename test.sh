#!/usr/bin/env bash
# Sets up, builds and runs every test of Sealwise:
#  0. the layout of every C++ file against .clang-format;
#  1. the normal build (desktop program, command-line tool, core) with all its tests;
#  2. core, command-line tool and their tests again under AddressSanitizer and
#     UndefinedBehaviorSanitizer, which must report nothing (leaks included);
#  3. a short run of each libFuzzer target.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --tests
scripts/check-format.sh

jobs=$(nproc)
build=${SEALWISE_TEST_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEALWISE_GUI=ON >/dev/null
cmake --build "$build" -j "$jobs"
(cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)

if [ "${SEALWISE_SKIP_SANITIZERS:-0}" != 1 ]; then
    asan=${SEALWISE_ASAN_BUILD_DIR:-build/asan}
    cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSEALWISE_SANITIZE=ON \
        -DSEALWISE_GUI=OFF -DSEALWISE_BENCH=OFF >/dev/null
    cmake --build "$asan" -j "$jobs"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    (cd "$asan" && ctest --output-on-failure -j "$jobs" --timeout 900)
fi
[ "${SEALWISE_SKIP_FUZZ:-0}" = 1 ] || scripts/fuzz-smoke.sh  # short libFuzzer runs (needs clang)
