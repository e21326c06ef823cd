#!/usr/bin/env bash
# Runs zstd_frontier on the mixed 64 MiB benchmark tree (bench/make_tree.py): logs and docs as
# text, lib as binaries (the random third is stored by both formats). Takes a few minutes.
#   bench/zstd_frontier.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
tool=$(cd "$build" && pwd)/bench/zstd_frontier
[[ -x $tool ]] || { echo "no bench/zstd_frontier in $build" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/sealwise-frontier-XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 "$here/make_tree.py" "$work/tree" $((64 * 1024 * 1024)) >/dev/null
"$tool" --reps "${2:-2}" --text "$work/tree/logs" "$work/tree/docs" --binary "$work/tree/lib"
