#!/usr/bin/env bash
# Checks that every C++ source and header under src, tests, bench and fuzz is laid out as
# .clang-format says; lists the files that differ and fails if there are any. Fix them with
#   clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

format=${CLANG_FORMAT:-clang-format-14}
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
        'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
else  # an unpacked source archive
    mapfile -t files < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi

existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done  # not deleted meanwhile
# One process for all files: --dry-run names each file that would change.
output=$("$format" --style=file --dry-run --ferror-limit=1 "${existing[@]}" 2>&1) || {
    echo "$output" >&2
    exit 1
}
mapfile -t differ < <(printf '%s\n' "$output" |
    sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ "${#differ[@]}" -gt 0 ]; then
    echo "These files differ from .clang-format (${#differ[@]}):" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "Formatting: ${#existing[@]} files as .clang-format says"
