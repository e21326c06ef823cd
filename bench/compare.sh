#!/usr/bin/env bash
# Times sealwise-cli encrypt/decrypt against `tar | pigz | openssl enc` and 7-Zip on two
# 64 MiB trees, in alternating repetitions, and prints one table of the medians and ratios:
#   mixed  about 65 files (text, shared libraries, random data), bench/make_tree.py
#   small  about 2,250 files (headers, mail, photos with sidecars), bench/make_small_tree.py
# with the system calls per file (strace -c -f), the container's size against zlib level 6 per
# piece, the peak memory on a 1 GiB file and how long a cancel (SIGINT) takes to be answered.
#   bench/compare.sh [BUILD_DIR] [REPETITIONS]        (about 3 minutes on 2 idle cores)
# BASE_CLI=path/to/another/sealwise-cli also measures that build (before/after ratios);
# TREES="small" limits the trees (TREES="" measures none); MEMORY=0 skips the 1 GiB
# measurements; SEVENZIP=0 leaves 7-Zip out (its runs take most of the time).
#
# Fairness: every timed command starts after a `sync` (no command pays for another's dirty
# data) and restores into a directory of its own that stays until the script ends. Deleting a
# tree just before restoring one makes ext4 without a journal skip its recently freed inodes
# one by one on every file created, which turns run times into a lottery.
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
[[ ${SEVENZIP:-1} == 1 ]] && command -v 7z >/dev/null && have7z=1
havestrace=0
command -v strace >/dev/null && havestrace=1

work=$(mktemp -d "${TMPDIR:-/tmp}/sealwise-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
export P=compare-passphrase-2026
table=()  # rows of the final table, tab-separated
row() {  # cells; an empty one shows as "-"
    local cells=() c
    for c in "$@"; do cells+=("${c:--}"); done
    table+=("$(printf '%s\t' "${cells[@]}")")
}

# measure NAME COMMAND... and median (bench/lib.sh).
source "$here/lib.sh"
# A directory no run has used: see "Fairness" above.
outdirs=0
fresh() { outdirs=$((outdirs + 1)) && out="$work/out/$outdirs" && mkdir -p "$out"; }
# One row: tree, label, goal, the sealwise measurement and the one it is compared with.
compare() {  # tree label goal ours theirs
    local a b ca cb
    a=$(echo "${wall[$5]}" | median) b=$(echo "${wall[$4]}" | median)
    ca=$(echo "${cpu[$5]}" | median) cb=$(echo "${cpu[$4]}" | median)
    row "$1" "$2" "$b / $cb" "$a / $ca" "$(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.2fx", a / b}')" \
        "$(awk -v a="$ca" -v b="$cb" 'BEGIN {printf "%.2fx", a / b}')" "$3"
}
# System calls of one command per file of the tree, from strace -f -c.
syscalls_per_file() {  # files command...
    local files=$1
    shift
    ((havestrace)) || { echo "n/a"; return; }
    sync
    strace -f -c -o "$work/strace" "$@" >/dev/null 2>&1 || { echo "n/a"; return; }
    # Thread hand-offs (futex) depend on timing, more so under strace: shown apart.
    awk -v f="$files" '$NF == "futex" {futex = $4} $NF == "total" {total = $4}
        END {printf "%.1f (%.1f futex)", total / f, futex / f}' "$work/strace"
}

compare_tree() {  # name generator
    local name=$1 generator=$2 tree="$work/$1/tree" r
    python3 "$here/$generator" "$tree" $((64 * 1024 * 1024)) 2>/dev/null
    local files
    files=$(find "$tree" -type f | wc -l)
    echo "== tree '$name': $files files, $(du -sb "$tree" | cut -f1) bytes;" \
        "$(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)" >&2
    wall=() cpu=()
    local names=(sw_enc pipe_enc sw_dec sw_dec_ns pipe_dec)
    [[ -n $base ]] && names+=(base_enc base_dec base_dec_ns)
    ((have7z)) && names+=(zip_enc 7z_enc zip_dec 7z_dec)
    local decrypt=(decrypt -q --passphrase-env P)
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
        measure sw_dec "$cli" "${decrypt[@]}" -C "$out" "$work/c.vesk"
        [[ $r -eq 1 ]] && diff -r "$tree" "$out/tree" >/dev/null
        fresh
        measure sw_dec_ns "$cli" "${decrypt[@]}" --no-sync -C "$out" "$work/c.vesk"
        fresh
        measure pipe_dec bash -o pipefail -c "openssl enc -d -aes-256-cbc -pbkdf2 -pass env:P \
            -in '$work/p.enc' | pigz -d | tar -C '$out' -xf -"
        if [[ -n $base ]]; then
            fresh
            measure base_dec "$base" "${decrypt[@]}" -C "$out" "$work/b.vesk"
            fresh
            measure base_dec_ns "$base" "${decrypt[@]}" --no-sync -C "$out" "$work/b.vesk"
        fi
        if ((have7z)); then
            fresh
            measure zip_dec 7z x -bd -p"$P" -o"$out" "$work/x.zip"
            fresh
            measure 7z_dec 7z x -bd -p"$P" -o"$out" "$work/x.7z"
        fi
        echo "repetition $r done" >&2
    done
    for n in "${names[@]}"; do
        echo "  $n wall ms: ${wall[$n]% }; cpu ms: ${cpu[$n]% }" >&2
    done
    local pipe="tar|pigz -6 -p 2|openssl enc" unpipe="openssl enc -d|pigz -d|tar x"
    compare "$name" "encrypt vs $pipe" ">= 2.5x" sw_enc pipe_enc
    compare "$name" "decrypt vs $unpipe" ">= 1.5x" sw_dec pipe_dec
    compare "$name" "decrypt --no-sync vs $unpipe" ">= 2x" sw_dec_ns pipe_dec
    if ((have7z)); then
        compare "$name" "encrypt vs 7z format, Deflate, AES, -mhe=on" ">= 10x" sw_enc 7z_enc
        compare "$name" "encrypt vs 7z zip format, Deflate -mx=5, AES-256" "" sw_enc zip_enc
        compare "$name" "decrypt vs 7z x (7z format)" "" sw_dec 7z_dec
        compare "$name" "decrypt vs 7z x (zip format)" "" sw_dec zip_dec
    fi
    if [[ -n $base ]]; then
        compare "$name" "encrypt vs BASE_CLI" "" sw_enc base_enc
        compare "$name" "decrypt vs BASE_CLI" "" sw_dec base_dec
        compare "$name" "decrypt --no-sync vs BASE_CLI --no-sync" "" sw_dec_ns base_dec_ns
    fi

    local enc dec decns tarx
    enc=$(syscalls_per_file "$files" "$cli" encrypt -q --overwrite --passphrase-env P \
        -o "$work/c.vesk" "$tree")
    fresh
    dec=$(syscalls_per_file "$files" "$cli" "${decrypt[@]}" -C "$out" "$work/c.vesk")
    fresh
    decns=$(syscalls_per_file "$files" "$cli" "${decrypt[@]}" --no-sync -C "$out" "$work/c.vesk")
    fresh
    openssl enc -d -aes-256-cbc -pbkdf2 -pass env:P -in "$work/p.enc" | pigz -d >"$work/p.tar"
    tarx=$(syscalls_per_file "$files" tar -C "$out" -xf "$work/p.tar")
    row "$name" "system calls per file: encrypt / decrypt / --no-sync" "$enc / $dec / $decns" \
        "tar x: $tarx" "-" "-" "-"
    if [[ -n $base ]]; then
        enc=$(syscalls_per_file "$files" "$base" encrypt -q --overwrite --passphrase-env P \
            -o "$work/b.vesk" "$tree")
        fresh
        dec=$(syscalls_per_file "$files" "$base" "${decrypt[@]}" -C "$out" "$work/b.vesk")
        fresh
        decns=$(syscalls_per_file "$files" "$base" "${decrypt[@]}" --no-sync -C "$out" \
            "$work/b.vesk")
        row "$name" "BASE_CLI system calls per file" "$enc / $dec / $decns" "" "-" "-" "-"
    fi

    local raw deflated pieces container
    read -r raw deflated pieces files < <(python3 "$here/zlib_pieces.py" "$tree")
    container=$(stat -c %s "$work/c.vesk")
    row "$name" "container bytes vs zlib level 6 per piece" "$container" "$deflated" \
        "$(awk -v c="$container" -v z="$deflated" 'BEGIN {printf "%+.2f%%", (c / z - 1) * 100}')" \
        "" "<= +2%"
    rm -f "$work/c.vesk" "$work/b.vesk" "$work/p.enc" "$work/p.tar" "$work/x.zip" "$work/x.7z"
}

# How long the command takes to end after SIGINT, sent once it has run for a second; the
# output it was making must not be left behind.
cancel_ms() {  # leftover command...
    local leftover=$1
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$! start end status=0
    sleep 1
    start=$(date +%s%N)
    kill -INT "$pid" 2>/dev/null || { wait "$pid" || true; echo "ended before the signal"; return; }
    wait "$pid" || status=$?
    end=$(date +%s%N)
    if [[ -e $leftover ]]; then
        echo "FAILED: $leftover left behind"
    elif ((status == 0)); then
        echo "ended before the signal"
    else
        echo "$(((end - start) / 1000000)) ms (exit $status)"
    fi
}

memory_and_cancel() {
    python3 "$here/make_tree.py" "$work/mem/tree" $((64 * 1024 * 1024)) 2>/dev/null
    # 1 GiB of the same mix: the tree's files over and over.
    python3 - "$work/mem/tree" "$work/big.bin" <<'PY'
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
    local enc dec
    enc=$(peak "$cli" encrypt -q --overwrite --passphrase-env P -o "$work/big.vesk" "$work/big.bin")
    fresh
    dec=$(peak "$cli" decrypt -q --no-sync --passphrase-env P -C "$out" "$work/big.vesk")
    cmp "$work/big.bin" "$out/big.bin"
    row "1 GiB" "peak memory, MiB: encrypt / decrypt" "$((enc / 1024)) / $((dec / 1024))" "" "" "" \
        "< 64"
    local cenc cdec
    cenc=$(cancel_ms "$work/cancelled.vesk" "$cli" encrypt -q --passphrase-env P \
        -o "$work/cancelled.vesk" "$work/big.bin")
    fresh
    cdec=$(cancel_ms "$out/big.bin" "$cli" decrypt -q --passphrase-env P -C "$out" \
        "$work/big.vesk")
    row "1 GiB" "cancel (SIGINT after 1 s) answered in: encrypt" "$cenc" "decrypt: $cdec" "" "" \
        "< 500 ms"
}

started=$(date +%s)
for tree in ${TREES-mixed small}; do
    case $tree in
        mixed) compare_tree mixed make_tree.py ;;
        small) compare_tree small make_small_tree.py ;;
        *) echo "unknown tree $tree" >&2; exit 2 ;;
    esac
done
[[ ${MEMORY:-1} == 1 ]] && memory_and_cancel

echo "sealwise-cli against other tools: medians of $reps alternating runs, $(nproc) cores," \
    "load $(cut -d' ' -f1 /proc/loadavg) at the end, $(($(date +%s) - started)) s in all."
echo "Ratios: the other tool's time / sealwise-cli's (higher is better). Times in ms, wall / cpu."
{
    printf 'tree\tcomparison\tsealwise\tother\tratio wall\tratio cpu\tgoal\n'
    printf '%s\n' "${table[@]}"
} | column -t -s $'\t'
