#!/usr/bin/env bash
# Times sealwise-cli encrypt/decrypt against `tar | pigz | openssl enc` and 7-Zip on two
# 64 MiB trees, in alternating repetitions, and prints the ratios of the medians:
#   mixed  about 65 files (text, shared libraries, random data), bench/make_tree.py
#   small  about 2,250 files (headers, mail, photos with sidecars), bench/make_small_tree.py
# Then the system calls per file of encrypt and decrypt (strace -c) and the container's size
# against zlib level 6 per piece. BASE_CLI=path/to/another/sealwise-cli measures that build in
# the same run (for before/after ratios). MEMORY=1 also measures the peak memory of both
# commands on a 1 GiB file. TREES="small" limits the trees.
#   bench/compare.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
reps=${2:-5}
cli=$(cd "$build" && pwd)/src/cli/sealwise-cli
[[ -x $cli ]] || { echo "no sealwise-cli in $build" >&2; exit 2; }
base=${BASE_CLI:-}
[[ -z $base || -x $base ]] || { echo "BASE_CLI is not executable: $base" >&2; exit 2; }
# strace and 7-Zip are optional; as root they are installed when missing.
if [[ $(id -u) == 0 ]]; then
    missing=()
    command -v strace >/dev/null || missing+=(strace)
    command -v 7z >/dev/null || missing+=(p7zip-full)
    if ((${#missing[@]})); then
        apt-get install -y -qq "${missing[@]}" >/dev/null 2>&1 || echo "could not install ${missing[*]}" >&2
    fi
fi
for tool in pigz openssl python3 tar /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done
have7z=0
command -v 7z >/dev/null && have7z=1

work=$(mktemp -d "${TMPDIR:-/tmp}/sealwise-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
export P=compare-passphrase-2026

# Runs a command; appends its wall and cpu milliseconds to the lists of the given name.
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
report() {  # name
    local w c
    w=$(echo "${wall[$1]}" | median)
    c=$(echo "${cpu[$1]}" | median)
    printf "  %-13s wall %6d ms (runs: %s) cpu %6d ms\n" "$1" "$w" "${wall[$1]% }" "$c"
}
ratio() {  # label slower faster
    local a b ca cb
    a=$(echo "${wall[$2]}" | median) b=$(echo "${wall[$3]}" | median)
    ca=$(echo "${cpu[$2]}" | median) cb=$(echo "${cpu[$3]}" | median)
    awk -v l="$1" -v a="$a" -v b="$b" -v ca="$ca" -v cb="$cb" \
        'BEGIN {printf "  %-44s %5.2fx wall  %5.2fx cpu\n", l, a / b, ca / cb}'
}
# System calls of one command per file of the tree, from strace -f -c.
syscalls_per_file() {  # files command...
    local files=$1
    shift
    strace -f -c -o "$work/strace" "$@" >/dev/null 2>&1 || { echo "n/a"; return; }
    awk -v f="$files" '$NF == "total" {printf "%.1f", $4 / f}' "$work/strace"
}

compare_tree() {  # name generator
    local name=$1 generator=$2 tree="$work/$1/tree" r
    python3 "$here/$generator" "$tree" $((64 * 1024 * 1024)) 2>/dev/null
    local files
    files=$(find "$tree" -type f | wc -l)
    echo "== tree '$name': $files files, $(du -sb "$tree" | cut -f1) bytes;" \
        "$(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
    wall=() cpu=()
    local names=(sw_enc pipe_enc sw_dec pipe_dec)
    [[ -n $base ]] && names+=(base_enc base_dec)
    ((have7z)) && names+=(zip_enc 7z_enc zip_dec 7z_dec)
    for ((r = 1; r <= reps; r++)); do
        measure sw_enc "$cli" encrypt -q --overwrite --passphrase-env P -o "$work/c.vesk" "$tree"
        measure pipe_enc bash -o pipefail -c "tar -C '$work/$name' -cf - tree | pigz -6 -p 2 |
            openssl enc -aes-256-cbc -pbkdf2 -pass env:P -out '$work/p.enc'"
        if [[ -n $base ]]; then
            measure base_enc "$base" encrypt -q --overwrite --passphrase-env P \
                -o "$work/b.vesk" "$tree"
        fi
        if ((have7z)); then
            rm -f "$work/x.zip" "$work/x.7z"
            measure zip_enc 7z a -bd -tzip -mm=Deflate -mx=5 -p"$P" -mem=AES256 "$work/x.zip" "$tree"
            measure 7z_enc 7z a -bd -t7z -m0=Deflate -mhe=on -p"$P" "$work/x.7z" "$tree"
        fi
        fresh
        measure sw_dec "$cli" decrypt -q --passphrase-env P -C "$work/out" "$work/c.vesk"
        [[ $r -eq 1 ]] && diff -r "$tree" "$work/out/tree" >/dev/null
        fresh
        measure pipe_dec bash -o pipefail -c "openssl enc -d -aes-256-cbc -pbkdf2 -pass env:P \
            -in '$work/p.enc' | pigz -d | tar -C '$work/out' -xf -"
        if [[ -n $base ]]; then
            fresh
            measure base_dec "$base" decrypt -q --passphrase-env P -C "$work/out" "$work/b.vesk"
        fi
        if ((have7z)); then
            fresh
            measure zip_dec 7z x -bd -p"$P" -o"$work/out" "$work/x.zip"
            fresh
            measure 7z_dec 7z x -bd -p"$P" -o"$work/out" "$work/x.7z"
        fi
        echo "repetition $r done" >&2
    done
    echo "medians of $reps alternating runs:"
    for n in "${names[@]}"; do report "$n"; done
    echo "speed-up of sealwise-cli (higher is better):"
    ratio "encrypt vs tar|pigz -6 -p 2|openssl enc" pipe_enc sw_enc
    ratio "decrypt vs openssl enc -d|pigz -d|tar x" pipe_dec sw_dec
    if [[ -n $base ]]; then
        ratio "encrypt vs BASE_CLI" base_enc sw_enc
        ratio "decrypt vs BASE_CLI" base_dec sw_dec
    fi
    if ((have7z)); then
        ratio "encrypt vs 7z zip Deflate -mx=5 AES-256" zip_enc sw_enc
        ratio "encrypt vs 7z 7z-format Deflate AES -mhe=on" 7z_enc sw_enc
        ratio "decrypt vs 7z x (zip)" zip_dec sw_dec
        ratio "decrypt vs 7z x (7z format)" 7z_dec sw_dec
    fi

    if command -v strace >/dev/null; then
        local enc dec
        enc=$(syscalls_per_file "$files" "$cli" encrypt -q --overwrite --passphrase-env P \
            -o "$work/c.vesk" "$tree")
        fresh
        dec=$(syscalls_per_file "$files" "$cli" decrypt -q --passphrase-env P -C "$work/out" \
            "$work/c.vesk")
        echo "system calls per file: encrypt $enc, decrypt $dec"
        if [[ -n $base ]]; then
            enc=$(syscalls_per_file "$files" "$base" encrypt -q --overwrite --passphrase-env P \
                -o "$work/b.vesk" "$tree")
            fresh
            dec=$(syscalls_per_file "$files" "$base" decrypt -q --passphrase-env P \
                -C "$work/out" "$work/b.vesk")
            echo "system calls per file of BASE_CLI: encrypt $enc, decrypt $dec"
        fi
    fi

    local raw deflated pieces container
    read -r raw deflated pieces files < <(python3 "$here/zlib_pieces.py" "$tree")
    container=$(stat -c %s "$work/c.vesk")
    echo "sizes (bytes): tree $raw, container $container, zlib level 6 per piece $deflated" \
        "($pieces pieces, $files files), tar|pigz|openssl $(stat -c %s "$work/p.enc")"
    awk -v c="$container" -v z="$deflated" \
        'BEGIN {printf "  container / zlib level 6 per piece: %.4f (%+.2f%%)\n", c / z, (c / z - 1) * 100}'
    rm -rf "$work/out" "$work/c.vesk" "$work/b.vesk" "$work/p.enc" "$work/x.zip" "$work/x.7z"
}

for tree in ${TREES:-mixed small}; do
    case $tree in
        mixed) compare_tree mixed make_tree.py ;;
        small) compare_tree small make_small_tree.py ;;
        *) echo "unknown tree $tree" >&2; exit 2 ;;
    esac
done

if [[ ${MEMORY:-0} == 1 ]]; then
    python3 "$here/make_tree.py" "$work/tree" $((64 * 1024 * 1024)) 2>/dev/null
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
