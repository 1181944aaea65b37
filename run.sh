#!/usr/bin/env bash
# Builds KRYTray.exe and runs it under Wine with the simulated camera plugged in and active.
#
#   ./run.sh                  build, start, print the debug records; Ctrl+C ends it
#   ./run.sh --seconds N      the same, ending by itself after N seconds
#   ./run.sh ctl <command>    drive the simulated camera of a running ./run.sh, in another
#                             terminal: press, unplug, plug, active on|off, pixels N, journal ...
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
# What is missing first: whether the 32-bit Wine is there decides the build below.
[ "${1:-}" = ctl ] || tools/scripts/install_deps.sh
source tools/scripts/wine_env.sh
BIN="$ROOT/build/$WINE_BUILD/bin"
PREFIX="$ROOT/build/run-prefix-$WINE_BUILD"
STATE="$PREFIX/.run-display"

if [ "${1:-}" = ctl ]; then
    shift
    export WINEPREFIX="$PREFIX"
    [ -f "$STATE" ] && export DISPLAY="$(cat "$STATE")"
    exec $WINE "$BIN/camctl.exe" "$@"
fi

seconds=0
if [ "${1:-}" = --seconds ]; then
    seconds=$2
fi

targets=(KRYTray kry_simcam camctl kry_msgbox kry_send_exit)
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target "${targets[@]}"
if [ "$WINE_BUILD" = win64 ]; then
    echo "Running the x86-64 build: $WINE_BUILD_REASON."
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target "${targets[@]}"
fi
own_xvfb=0
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    own_xvfb=1
fi
viewer_pid=""
app_pid=""
cleanup() {
    trap - EXIT INT TERM
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        $WINE "$BIN/kry_send_exit.exe" >/dev/null 2>&1 || true
        for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    fi
    stop_wine
    [ -n "$viewer_pid" ] && wait "$viewer_pid" 2>/dev/null || true
    [ -n "$app_pid" ] && wait "$app_pid" 2>/dev/null || true
    rm -f "$STATE"
    [ "$own_xvfb" = 1 ] && stop_xvfb
    exit 0
}
trap cleanup EXIT INT TERM

wine_prefix "$PREFIX" "$BIN"
echo "$DISPLAY" > "$STATE"
settings_key 1 103
# A program a person sees start when the snapshot button is pressed (./run.sh ctl press).
$WINE reg add 'HKLM\SOFTWARE\Velmora\QXLUMA64\Current' /v QuickLaunch /t REG_SZ \
    /d 'C:\windows\system32\winver.exe' /f /reg:64 >/dev/null 2>&1
$WINE "$BIN/camctl.exe" plug
$WINE "$BIN/camctl.exe" active on

$WINE "$BIN/kry_msgbox.exe" &
viewer_pid=$!
$WINE "$BIN/KRYTray.exe" &
app_pid=$!
cat <<MSG
KRYTray runs under Wine on DISPLAY=$DISPLAY with the simulated camera; debug records follow.
In another terminal: ./run.sh ctl press   (snapshot button)    ./run.sh ctl unplug | plug
                     ./run.sh ctl active off|on                  ./run.sh ctl journal
                     ./run.sh ctl fault hang|fail|crash|none     (a misbehaving driver)
MSG
if [ "$seconds" -gt 0 ]; then
    sleep "$seconds"
else
    wait "$app_pid" || true
fi
