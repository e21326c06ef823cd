#!/bin/sh
# Writes a picture of every window and state of the desktop program (welcome panels, each tab
# and sub-tab, shared keys, busy with progress, each kind of message box, the file dialog,
# the e-mail window, the keyboard at single and double size) in German, English, Spanish and
# French at 100 %, and in German at 200 %, each set into OUTDIR/<language>-<scale>/.
# Usage: scripts/screenshots.sh OUTDIR   (SEALWISE_BUILD_DIR picks the build directory)
set -eu

out=${1:?usage: scripts/screenshots.sh OUTDIR}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SEALWISE_BUILD_DIR:-$root/build/dev}

command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEALWISE_GUI=ON
fi
cmake --build "$build" --target sealwise_screenshot_tour
tour="$build/tests/gui/sealwise_screenshot_tour"

# One run: language, scale factor, screen size in physical pixels.
shoot() {
    dir="$out/$1-$2x"
    rm -rf "$dir"
    QT_SCALE_FACTOR=$2 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 SEALWISE_SMOKE_TEST= \
        xvfb-run -a -s "-screen 0 $3x24 -nolisten tcp" "$tour" "$dir" "$1"
    echo "screenshots: $(ls "$dir" | wc -l) pictures in $dir"
}

for language in de en es fr; do
    shoot "$language" 1 1366x768
done
shoot de 2 2732x1536
