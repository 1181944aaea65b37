#!/bin/bash
# Runs camera_check.exe under Wine on its own Xvfb display and Wine prefix, then stops both.
#   run_camera_check.sh <bin dir with camera_check.exe and kry_simcam.dll> [display] [prefix]
# The exit code is camera_check's (the number of failed checks), or 3 when it did not finish.
set -u

BIN_DIR=$(realpath "${1:?usage: $0 <bin dir> [display] [prefix]}")
DISPLAY_NUMBER=${2:-72}
PREFIX=$(realpath -m "${3:-$BIN_DIR/../cam-check-prefix}")
EXE="$BIN_DIR/camera_check.exe"

# A 64-bit program runs under wine64 directly; a 32-bit one needs the 32-bit loader, which in
# turn needs a kernel that runs 32-bit Linux binaries.
if file "$EXE" | grep -q 'PE32+'; then
    WINE=/usr/lib/wine/wine64
else
    WINE=wine
fi
WINESERVER=/usr/lib/wine/wineserver

export WINEPREFIX="$PREFIX" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=":$DISPLAY_NUMBER"

Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
cleanup() {
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

if [ ! -d "$PREFIX/drive_c" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1
fi
"$WINESERVER" -p

timeout 120 "$WINE" "$EXE"
RESULT=$?
[ "$RESULT" -eq 124 ] && RESULT=3
exit "$RESULT"
