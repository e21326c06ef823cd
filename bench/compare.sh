#!/usr/bin/env bash
# Times sealwise-cli encrypt/decrypt against `tar | pigz | openssl enc` and 7-Zip on the same
# mixed 64 MiB tree (text, shared libraries, random data), in alternating repetitions, and
# prints the ratios of the medians; then the container's size against zlib level 6 per piece.
# MEMORY=1 also measures the peak memory of both commands on a 1 GiB file.
#   bench/compare.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
reps=${2:-5}
cli=$(cd "$build" && pwd)/src/cli/sealwise-cli
[[ -x $cli ]] || { echo "no sealwise-cli in $build" >&2; exit 2; }
for tool in pigz openssl 7z python3 tar /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sealwise-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
export P=compare-passphrase-2026
python3 "$here/make_tree.py" "$work/tree" $((64 * 1024 * 1024))
echo "tree: $(find "$work/tree" -type f | wc -l) files, $(du -sb "$work/tree" | cut -f1) bytes;" \
    "$(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"

# Runs a command; appends "wall cpu" seconds to the file named by the first argument.
declare -A wall cpu
measure() {
    local name=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f "%U %S" -o "$work/cpu" "$@" >/dev/null 2>"$work/err" ||
        { echo "failed: $*" >&2; cat "$work/err" >&2; exit 1; }
    end=$(date +%s%N)
    wall[$name]+="$(((end - start) / 1000000)) "
    cpu[$name]+="$(awk '{printf "%d", ($1 + $2) * 1000}' "$work/cpu") "
}
median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
fresh() { rm -rf "$work/out" && mkdir "$work/out"; }

for ((r = 1; r <= reps; r++)); do
    measure sw_enc "$cli" encrypt -q --overwrite --passphrase-env P -o "$work/c.vesk" "$work/tree"
    measure pipe_enc bash -o pipefail -c "tar -C '$work' -cf - tree | pigz -6 -p 2 |
        openssl enc -aes-256-cbc -pbkdf2 -pass env:P -out '$work/p.enc'"
    rm -f "$work/x.zip"
    measure zip_enc 7z a -bd -tzip -mm=Deflate -mx=5 -p"$P" -mem=AES256 "$work/x.zip" "$work/tree"
    rm -f "$work/x.7z"
    measure 7z_enc 7z a -bd -t7z -m0=Deflate -mhe=on -p"$P" "$work/x.7z" "$work/tree"
    fresh
    measure sw_dec "$cli" decrypt -q --passphrase-env P -C "$work/out" "$work/c.vesk"
    [[ $r -eq 1 ]] && diff -r "$work/tree" "$work/out/tree" >/dev/null
    fresh
    measure pipe_dec bash -o pipefail -c "openssl enc -d -aes-256-cbc -pbkdf2 -pass env:P \
        -in '$work/p.enc' | pigz -d | tar -C '$work/out' -xf -"
    fresh
    measure zip_dec 7z x -bd -p"$P" -o"$work/out" "$work/x.zip"
    fresh
    measure 7z_dec 7z x -bd -p"$P" -o"$work/out" "$work/x.7z"
    echo "repetition $r done" >&2
done

report() {  # name
    local w c
    w=$(echo "${wall[$1]}" | median)
    c=$(echo "${cpu[$1]}" | median)
    printf "  %-9s wall %6d ms (runs: %s) cpu %6d ms\n" "$1" "$w" "${wall[$1]% }" "$c"
}
ratio() {  # label slower faster
    local a b ca cb
    a=$(echo "${wall[$2]}" | median) b=$(echo "${wall[$3]}" | median)
    ca=$(echo "${cpu[$2]}" | median) cb=$(echo "${cpu[$3]}" | median)
    awk -v l="$1" -v a="$a" -v b="$b" -v ca="$ca" -v cb="$cb" \
        'BEGIN {printf "  %-40s %5.2fx wall  %5.2fx cpu\n", l, a / b, ca / cb}'
}
echo "medians of $reps alternating runs:"
for name in sw_enc pipe_enc zip_enc 7z_enc sw_dec pipe_dec zip_dec 7z_dec; do report $name; done
echo "speed-up of sealwise-cli (higher is better):"
ratio "encrypt vs tar|pigz -6 -p 2|openssl enc" pipe_enc sw_enc
ratio "encrypt vs 7z zip Deflate -mx=5 AES-256" zip_enc sw_enc
ratio "encrypt vs 7z 7z-format Deflate AES -mhe=on" 7z_enc sw_enc
ratio "decrypt vs openssl enc -d|pigz -d|tar x" pipe_dec sw_dec
ratio "decrypt vs 7z x (zip)" zip_dec sw_dec
ratio "decrypt vs 7z x (7z format)" 7z_dec sw_dec

read -r raw deflated pieces files < <(python3 "$here/zlib_pieces.py" "$work/tree")
container=$(stat -c %s "$work/c.vesk")
echo "sizes (bytes): tree $raw, container $container, zlib level 6 per piece $deflated" \
    "($pieces pieces, $files files), tar|pigz|openssl $(stat -c %s "$work/p.enc")," \
    "7z zip $(stat -c %s "$work/x.zip"), 7z $(stat -c %s "$work/x.7z")"
awk -v c="$container" -v z="$deflated" \
    'BEGIN {printf "  container / zlib level 6 per piece: %.4f (%+.2f%%)\n", c / z, (c / z - 1) * 100}'

if [[ ${MEMORY:-0} == 1 ]]; then
    rm -rf "$work/out" "$work/p.enc" "$work/x.zip"
    # 1 GiB of the same mix: the tree's files over and over.
    python3 - "$work/tree" "$work/big.bin" <<'PY'
import os, sys
files = sorted(os.path.join(d, n) for d, _, ns in os.walk(sys.argv[1]) for n in ns)
left = 1 << 30
with open(sys.argv[2], "wb") as out:
    while left > 0:
        for path in files:
            data = open(path, "rb").read()[:left]
            out.write(data)
            left -= len(data)
            if left == 0:
                break
PY
    peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident/ {print $6}'; }
    enc=$(peak "$cli" encrypt -q --overwrite --passphrase-env P -o "$work/big.vesk" "$work/big.bin")
    mkdir -p "$work/out"
    dec=$(peak "$cli" decrypt -q --passphrase-env P -C "$work/out" "$work/big.vesk")
    cmp "$work/big.bin" "$work/out/big.bin"
    echo "peak memory on a 1 GiB file: encrypt $((enc / 1024)) MiB, decrypt $((dec / 1024)) MiB"
fi
