#!/usr/bin/env bash
# Builds the Debian packages and the portable archive from a finished build, then uses both as
# a user would: the packages unpacked into a scratch root (dpkg -x) and the archive unpacked
# into a fresh folder each encrypt and decrypt a small tree; the split dependencies are checked
# (the command-line package pulls in no Qt), lintian must report no error or warning, the
# desktop files, the metainfo and the manual pages are validated, every package and the archive
# carry their licences; the portable desktop program starts under Xvfb.
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

# Debian packages.
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb_of() { ls "$work"/deb/"$1"_*.deb; }
depends_of() { dpkg-deb --field "$(deb_of "$1")" Depends; }
requires() {  # requires PACKAGE LIBRARY...
    local package=$1 depends
    depends=$(depends_of "$package")
    shift
    for library in "$@"; do
        grep -q "$library" <<<"$depends" || { cat "$work/cpack.log"; fail "$package depends: $depends"; }
    done
}
requires sealwise-cli libdeflate0 libcurl4
requires sealwise libqt6widgets6 libdeflate0 qt6-qpa-plugins libcurl4
requires sealwise-mail-service libcurl4
! grep -qi 'qt' <<<"$(depends_of sealwise-cli)" || fail "sealwise-cli pulls in Qt: $(depends_of sealwise-cli)"
for package in sealwise-cli sealwise sealwise-mail-service; do
    deb=$(deb_of "$package")
    contents=$(dpkg-deb --contents "$deb")
    grep -q "usr/share/doc/$package/copyright$" <<<"$contents" || fail "$package: no copyright"
    grep -q "usr/share/doc/$package/changelog.gz$" <<<"$contents" || fail "$package: no changelog"
    ! grep -E 'share/man/man[1-8]/[^ ]+\.[1-8]$' <<<"$contents" ||
        fail "$package: uncompressed manual page"
    dpkg -x "$deb" "$work/root"
    if command -v lintian >/dev/null 2>&1; then
        # Errors and warnings fail; information tags are shown.
        suppress=()
        if [ "$package" = sealwise-mail-service ] &&
            [ ! -e "$source_dir/resources/man/sealwise-mail-service.1" ]; then
            echo "note: the mail service has no manual page in this tree yet" >&2
            suppress=(--suppress-tags no-manual-page)
        fi
        lintian --fail-on error,warning --info "${suppress[@]}" "$deb" >"$work/lintian.log" 2>&1 ||
            { cat "$work/lintian.log"; fail "lintian $package"; }
        cat "$work/lintian.log"
    else
        echo "lintian missing: the packages were not checked by it" >&2
    fi
done
roundtrip "$work/root/usr/bin/sealwise-cli"
share=$work/root/usr/share
desktop-file-validate "$share/applications/io.github.sealwise.Sealwise.desktop" || fail "desktop file"
appstreamcli validate --no-net --pedantic "$share/metainfo/io.github.sealwise.Sealwise.metainfo.xml" \
    >/dev/null || fail "metainfo"
for page in sealwise-cli sealwise; do
    text=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>"$work/man.err") || fail "man $page"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man $page warnings"; }
    grep -q "$page" <<<"$text" || fail "man $page content"
done
bash -c "source '$share/bash-completion/completions/sealwise-cli'" || fail "bash completion"

# Portable archive.
archive=$("$source_dir/scripts/make-portable.sh" "$build" "$work/portable" | tail -n 1)
mkdir "$work/stick" && tar -C "$work/stick" -xzf "$archive"
portable=$(ls -d "$work"/stick/sealwise-portable-*)
[ -s "$portable/LICENSE" ] || fail "portable archive without LICENSE"
[ -e "$portable/lib/libcurl.so.4" ] || fail "portable archive without libcurl (loaded for mail)"
for library in "$portable"/lib/*.so* $(find "$portable/plugins" -name "*.so"); do
    owner=$(dpkg -S "*/$(basename "$library")" 2>/dev/null | head -n 1) || continue
    package=${owner%%:*}
    package=${package%%,*}
    [ -s "$portable/licenses/$package/copyright" ] ||
        fail "portable archive bundles $(basename "$library") without the licence of $package"
done
roundtrip "$portable/sealwise-cli"
if command -v xvfb-run >/dev/null 2>&1; then
    SEALWISE_SMOKE_TEST=1 QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a "$portable/sealwise" ||
        fail "portable desktop program under Xvfb"
else
    echo "xvfb-run missing: the portable desktop program was not started" >&2
fi
echo "packages ok: $(cd "$work/deb" && ls ./*.deb | tr '\n' ' ')$(basename "$archive")"
