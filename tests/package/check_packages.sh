#!/usr/bin/env bash
# Builds the Debian package and the portable archive from a finished build, then uses both as a
# user would: the package unpacked into a scratch root (dpkg -x) and the archive unpacked into a
# fresh folder each encrypt and decrypt a small tree; the desktop files, the metainfo and the
# manual page are validated; the portable desktop program starts under Xvfb.
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/../..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

roundtrip() {  # roundtrip CLI: encrypt a small tree and restore it elsewhere
    local cli=$1 dir=$work/rt-$RANDOM
    mkdir -p "$dir/in/tree/sub" "$dir/out"
    printf 'Grüße aus dem Paket\n' > "$dir/in/tree/a.txt"
    head -c 300000 /dev/urandom > "$dir/in/tree/sub/b.bin"
    SEALWISE_PASS='package test' "$cli" encrypt -q --passphrase-env SEALWISE_PASS \
        -o "$dir/box.vesk" "$dir/in/tree" || fail "$cli encrypt"
    SEALWISE_PASS='package test' "$cli" decrypt -q --passphrase-env SEALWISE_PASS \
        -C "$dir/out" "$dir/box.vesk" || fail "$cli decrypt"
    diff -r "$dir/in/tree" "$dir/out/tree" || fail "$cli round trip differs"
}

# Debian package.
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/sealwise_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libdeflate0 libcurl4; do
    grep -q "$library" <<<"$depends" || { cat "$work/cpack.log"; fail "package dependencies: $depends"; }
done
dpkg -x "$deb" "$work/root"
roundtrip "$work/root/usr/bin/sealwise-cli"
share=$work/root/usr/share
desktop-file-validate "$share/applications/io.github.sealwise.Sealwise.desktop" || fail "desktop file"
appstreamcli validate --no-net --pedantic "$share/metainfo/io.github.sealwise.Sealwise.metainfo.xml" \
    >/dev/null || fail "metainfo"
for page in sealwise-cli sealwise; do
    text=$(MANWIDTH=80 man -l "$share/man/man1/$page.1" 2>"$work/man.err") || fail "man $page"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man $page warnings"; }
    grep -q "$page" <<<"$text" || fail "man $page content"
done
grep -q 'decrypt-text' <<<"$(man -l "$share/man/man1/sealwise-cli.1")" || fail "man commands"
bash -c "source '$share/bash-completion/completions/sealwise-cli'" || fail "bash completion"

# Portable archive.
archive=$("$source_dir/scripts/make-portable.sh" "$build" "$work/portable" | tail -n 1)
mkdir "$work/stick" && tar -C "$work/stick" -xzf "$archive"
portable=$(ls -d "$work"/stick/sealwise-portable-*)
roundtrip "$portable/sealwise-cli"
if command -v xvfb-run >/dev/null 2>&1; then
    SEALWISE_SMOKE_TEST=1 QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a "$portable/sealwise" ||
        fail "portable desktop program under Xvfb"
else
    echo "xvfb-run missing: the portable desktop program was not started" >&2
fi
echo "packages ok: $(basename "$deb"), $(basename "$archive")"
