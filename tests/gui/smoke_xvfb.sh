#!/bin/sh
# Runs the desktop program on a real X server (Xvfb): it presses Start on the welcome window,
# then closes the main window with its close button, and must end with status 0.
program=$1
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is not installed: skipping the X11 smoke run" >&2
    exit 77
fi
SEALWISE_SMOKE_TEST=1 QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a "$program"
status=$?
if [ "$status" -ne 0 ]; then
    echo "the program ended with status $status" >&2
fi
exit "$status"
