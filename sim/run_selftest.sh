#!/bin/sh
# Runs simcam_selftest.exe under Wine: registers kry_simcam.dll in the prefix and runs the smoke
# test on a private Xvfb display; leaves no wineserver or Xvfb behind.
#
#   sim/run_selftest.sh <bin-dir> [prefix] [display]
#
# bin-dir  folder with kry_simcam.dll, camctl.exe and simcam_selftest.exe
# prefix   Wine prefix, created when missing (default: <bin-dir>/../simcam-prefix)
# display  X display number for Xvfb (default: 71)
# WINE     Wine loader (default: wine; /usr/lib/wine/wine64 runs an x86_64 build)
set -eu

bin_dir=$(cd "$1" && pwd)
prefix=${2:-$bin_dir/../simcam-prefix}
display=${3:-71}
wine=${WINE:-wine}

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=":$display"

xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT INT TERM

if [ -e "/tmp/.X11-unix/X$display" ]; then
    echo "run_selftest: display $DISPLAY is in use; pick another" >&2
    exit 2
fi
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
tries=0
until [ -e "/tmp/.X11-unix/X$display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 50 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "run_selftest: Xvfb did not start on $DISPLAY" >&2
        exit 2
    fi
    sleep 0.1
done

if [ ! -f "$prefix/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    # Without a window manager, hiding a window costs seconds unless Wine manages none.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
fi
wineserver -p

cd "$bin_dir"
"$wine" regsvr32 /s kry_simcam.dll
status=0
"$wine" simcam_selftest.exe || status=$?
exit "$status"
