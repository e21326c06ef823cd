#!/usr/bin/env bash
# Sets up, builds a release and starts the Sealwise desktop program.
# Arguments are passed on to the program (for example /filed or /setdecrfile PATH).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEALWISE_GUI=ON \
    -DSEALWISE_TESTS=OFF -DSEALWISE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
if [ -x "$build/src/gui/sealwise" ]; then
    exec "$build/src/gui/sealwise" "$@"
fi
echo "The desktop program is not built yet; here is the command-line tool:"
exec "$build/src/cli/sealwise-cli" --help
