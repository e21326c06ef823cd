#!/usr/bin/env bash
# Sets up, builds and runs every test of Sealwise.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=${SEALWISE_TEST_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEALWISE_GUI=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
