#!/usr/bin/env bash
# Times `sealwise-cli envelope` against `openssl enc -aes-256-cbc` (no padding, zero IV) on one
# file of random bytes, both reading a file and writing one on tmpfs, repetitions alternating.
# Prints the medians of wall time and of CPU time (user + system; steadier on a busy machine)
# and the ratios openssl / ours: above 1 means faster than openssl.
# Usage: bench/envelope_compare.sh [sealwise-cli] [MiB] [repetitions]
set -euo pipefail
cli=${1:-build/release/src/cli/sealwise-cli}
mib=${2:-256}
reps=${3:-5}
work=$(mktemp -d "${TMPDIR:-/dev/shm}/envelope-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
key=$(head -c 32 /dev/urandom | od -An -tx1 | tr -d ' \n')
iv=00000000000000000000000000000000
head -c $((mib << 20)) /dev/urandom >"$work/plain"
openssl enc -aes-256-cbc -nopad -K "$key" -iv "$iv" -in "$work/plain" -out "$work/o.enc"
"$cli" envelope encrypt --key-hex "$key" <"$work/plain" >"$work/s.enc"

declare -A commands=(
    [ossl_enc]="openssl enc -aes-256-cbc -nopad -K $key -iv $iv -in '$work/plain' -out '$work/out'"
    [sw_enc]="'$cli' envelope encrypt --key-hex $key <'$work/plain' >'$work/out'"
    [ossl_dec]="openssl enc -d -aes-256-cbc -nopad -K $key -iv $iv -in '$work/o.enc' -out '$work/out'"
    [sw_dec]="'$cli' envelope decrypt --key-hex $key <'$work/s.enc' >'$work/out'"
)
names=(ossl_enc sw_enc ossl_dec sw_dec)
for ((r = 0; r < reps; ++r)); do
    for name in "${names[@]}"; do
        /usr/bin/time -a -o "$work/$name.times" -f "%e %U %S" bash -c "${commands[$name]}"
    done
done
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
declare -A wall cpu
for name in "${names[@]}"; do
    wall[$name]=$(awk '{print $1}' "$work/$name.times" | median)
    cpu[$name]=$(awk '{print $2 + $3}' "$work/$name.times" | median)
    printf '%-9s wall %.3f s  cpu %.3f s\n' "$name" "${wall[$name]}" "${cpu[$name]}"
done
for op in enc dec; do
    printf '%s: wall %.2fx, cpu %.2fx openssl\n' "$op" \
        "$(echo "${wall[ossl_$op]} / ${wall[sw_$op]}" | bc -l)" \
        "$(echo "${cpu[ossl_$op]} / ${cpu[sw_$op]}" | bc -l)"
done
