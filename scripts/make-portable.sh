#!/usr/bin/env bash
# Builds the portable archive: one folder that runs from a USB stick without installation,
# with the Qt libraries and plugins beside the programs and launchers that set the paths, and
# the licence of Sealwise and of every bundled library (licenses/PACKAGE/copyright).
# Usage: make-portable.sh BUILD_DIR OUTPUT_DIR   -> OUTPUT_DIR/sealwise-portable-VERSION-ARCH.tar.gz
set -euo pipefail
build=$(realpath "$1")
outdir=$(realpath -m "$2")
mkdir -p "$outdir"

version=$("$build/src/cli/sealwise-cli" --version | awk '{print $2}')
name=sealwise-portable-$version-$(uname -m)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root/lib" "$root/plugins"

cmake --install "$build" --prefix "$stage/install" --strip >/dev/null
cp "$stage/install/bin/sealwise" "$stage/install/bin/sealwise-cli" "$root/lib/"
cp "$stage/install/share/doc/sealwise-cli/README.md" "$(dirname "$0")/../LICENSE" "$root/"
bundled=$stage/bundled-files  # every file copied from the system, for the licence texts
cp "$stage/install/share/icons/hicolor/scalable/apps/"*.svg "$root/sealwise.svg"

# Qt plugins the program needs on an X11 or Wayland desktop.
qt_plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
for group in platforms xcbglintegrations platforminputcontexts imageformats iconengines; do
    [ -d "$qt_plugins/$group" ] || continue
    mkdir -p "$root/plugins/$group"
    cp "$qt_plugins/$group"/*.so "$root/plugins/$group/" 2>/dev/null || true
    ls "$qt_plugins/$group"/*.so >>"$bundled" 2>/dev/null || true
done
# Keep only the platforms that work without extra services.
find "$root/plugins/platforms" -name '*.so' ! -name 'libqxcb.so' ! -name 'libqoffscreen.so' \
    ! -name 'libqminimal.so' ! -name 'libqwayland*.so' -delete

# Libraries every Linux desktop has and that must match the running system stay outside:
# the C library family, the graphics drivers, the X connection and the font configuration.
system_lib='^(libc|libm|libdl|librt|libpthread|libresolv|libutil|ld-linux.*|libGL|libGLX|libEGL|libOpenGL|libGLdispatch|libgbm|libdrm|libX11|libX11-xcb|libxcb|libfontconfig|libfreetype|libexpat|libudev|libsystemd)\.so'
collect() {
    ldd "$1" | awk '/=> \//{print $3}' | while read -r lib; do
        base=$(basename "$lib")
        if [[ ! $base =~ $system_lib ]] && [ ! -e "$root/lib/$base" ]; then
            cp -L "$lib" "$root/lib/$base"
            echo "$lib" >>"$bundled"
        fi
    done
}
for f in "$root/lib/sealwise" "$root/lib/sealwise-cli" $(find "$root/plugins" -name '*.so'); do
    collect "$f"
done
# libcurl is loaded only when a mail goes out, so no program names it: bundled by its name.
curl_lib=$(c++ -print-file-name=libcurl.so.4)
[[ $curl_lib == /* ]] || { echo "libcurl.so.4 not found" >&2; exit 1; }
cp -L "$curl_lib" "$root/lib/libcurl.so.4"
echo "$curl_lib" >>"$bundled"
# Libraries pulled in by the copied ones.
for lib in "$root"/lib/*.so*; do collect "$lib"; done

# The licence of every Debian package a bundled file comes from.
mkdir -p "$root/licenses"
while read -r file; do
    [ -e "$root/lib/$(basename "$file")" ] || [ -n "$(find "$root/plugins" -name "$(basename "$file")")" ] ||
        continue  # dropped again (platform plugins that need extra services)
    owner=$(dpkg -S "$file" 2>/dev/null || dpkg -S "$(realpath "$file")" 2>/dev/null ||
        dpkg -S "/usr$file" 2>/dev/null) || { echo "no package owns $file" >&2; exit 1; }
    package=${owner%%:*}
    package=${package%%,*}
    if [ ! -e "$root/licenses/$package/copyright" ]; then
        mkdir -p "$root/licenses/$package"
        cp "/usr/share/doc/$package/copyright" "$root/licenses/$package/copyright"
    fi
done < <(sort -u "$bundled")

cat > "$root/lib/qt.conf" <<'CONF'
[Paths]
Prefix = ..
Plugins = plugins
CONF

for program in sealwise sealwise-cli; do
    cat > "$root/$program" <<LAUNCH
#!/bin/sh
# Starts $program from this folder with the libraries and plugins beside it.
here=\$(cd "\$(dirname "\$0")" && pwd)
LD_LIBRARY_PATH="\$here/lib\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}" \\
QT_PLUGIN_PATH="\$here/plugins" \\
exec "\$here/lib/$program" "\$@"
LAUNCH
    chmod +x "$root/$program"
done
cat > "$root/PORTABLE.txt" <<'TXT'
Sealwise, portable edition
==========================
Unpack this folder anywhere (a USB stick works) and start ./sealwise for the desktop program
or ./sealwise-cli for the command-line tool. Nothing is installed and no settings are kept.
Sealwise is under the MIT licence (LICENSE); the libraries in lib/ and plugins/ come with
their own licences, one folder per Debian package in licenses/.
TXT

tar -C "$stage" -czf "$outdir/$name.tar.gz" "$name"
echo "$outdir/$name.tar.gz"
