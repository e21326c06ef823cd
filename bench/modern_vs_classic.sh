#!/usr/bin/env bash
# Modern against classic format on the same mixed 64 MiB tree (bench/make_tree.py): encrypt and
# decrypt times in alternating repetitions (medians), the ratios, and the container sizes. The
# modern runs use the smallest key derivation cost, so the fixed cost of the derivation (timed
# on its own at the default cost) is left out of the ratio. Last, the sizes per kind of data.
#   bench/modern_vs_classic.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
reps=${2:-5}
cli=$(cd "$build" && pwd)/src/cli/sealwise-cli
[[ -x $cli ]] || { echo "no sealwise-cli in $build" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/sealwise-modern-XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'bench-passphrase-2026-modern\n' >"$work/pw"
python3 "$here/make_tree.py" "$work/tree" $((64 * 1024 * 1024))
echo "tree: $(find "$work/tree" -type f | wc -l) files; $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"

# measure NAME COMMAND... and median (bench/lib.sh); times is the wall time.
SYNC_BEFORE=0
source "$here/lib.sh"
declare -n times=wall
run() { measure "$@"; }
keys=(--passphrase-file "$work/pw" -q)
for ((r = 1; r <= reps; r++)); do
    rm -f "$work/c.vesk" "$work/m.vesk"
    run classic_enc "$cli" encrypt "${keys[@]}" -o "$work/c.vesk" "$work/tree"
    run modern_enc "$cli" encrypt "${keys[@]}" --format modern --kdf-memory 1 --kdf-ops 1 \
        -o "$work/m.vesk" "$work/tree"
    rm -rf "$work/oc" "$work/om"
    mkdir "$work/oc" "$work/om"
    run classic_dec "$cli" decrypt "${keys[@]}" -C "$work/oc" "$work/c.vesk"
    run modern_dec "$cli" decrypt "${keys[@]}" -C "$work/om" "$work/m.vesk"
done
diff -r "$work/tree" "$work/om/tree" >/dev/null || { echo "modern round trip differs" >&2; exit 1; }
for ((r = 1; r <= reps; r++)); do
    run kdf_default sh -c "printf x | '$cli' encrypt-text --format modern --passphrase-file '$work/pw'"
done
ce=$(echo "${times[classic_enc]}" | median) me=$(echo "${times[modern_enc]}" | median)
cd_=$(echo "${times[classic_dec]}" | median) md=$(echo "${times[modern_dec]}" | median)
cs=$(stat -c %s "$work/c.vesk") ms=$(stat -c %s "$work/m.vesk")
echo "encrypt: classic ${ce} ms, modern ${me} ms -> modern is $(awk "BEGIN{printf \"%.2f\", $ce/$me}")x as fast"
echo "decrypt: classic ${cd_} ms, modern ${md} ms -> modern is $(awk "BEGIN{printf \"%.2f\", $cd_/$md}")x as fast"
ratio() { awk "BEGIN{printf \"%.2f\", $1/$2}"; }
cce=$(echo "${cpu[classic_enc]}" | median) cme=$(echo "${cpu[modern_enc]}" | median)
ccd=$(echo "${cpu[classic_dec]}" | median) cmd=$(echo "${cpu[modern_dec]}" | median)
echo "cpu encrypt: classic ${cce} ms, modern ${cme} ms -> $(ratio "$cce" "$cme")x; cpu decrypt: classic ${ccd} ms, modern ${cmd} ms -> $(ratio "$ccd" "$cmd")x"
echo "size: classic ${cs} B, modern ${ms} B -> modern/classic $(awk "BEGIN{printf \"%.4f\", $ms/$cs}")"
echo "key derivation at the default cost (one encrypt-text of 1 byte): $(echo "${times[kdf_default]}" | median) ms"
# Sizes per kind of data (the tree's thirds), one run each: where the compression settings of
# the two formats differ.
for kind in "text:logs docs" "binaries:lib" "random:data"; do
    name=${kind%%:*} dirs=(${kind#*:})
    rm -f "$work/kc.vesk" "$work/km.vesk"
    (cd "$work/tree" && "$cli" encrypt "${keys[@]}" -o "$work/kc.vesk" "${dirs[@]}" &&
        "$cli" encrypt "${keys[@]}" --format modern --kdf-memory 1 --kdf-ops 1 \
            -o "$work/km.vesk" "${dirs[@]}") >/dev/null 2>&1 ||
        { echo "failed: sizes of $name" >&2; exit 1; }
    kc=$(stat -c %s "$work/kc.vesk") km=$(stat -c %s "$work/km.vesk")
    echo "size of $name: classic ${kc} B, modern ${km} B -> modern/classic $(awk "BEGIN{printf \"%.4f\", $km/$kc}")"
done
