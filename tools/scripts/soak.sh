#!/usr/bin/env bash
# Soak under Wine: the program runs with the simulated camera while krytray_soak plugs it out and
# in again CYCLES times (the tray menu opened and closed every 25 cycles). Checks that the program
# lives throughout, ends the run with the camera open and its resident memory (VmRSS of its Linux
# process) within 1 MB of where it stood after a warm-up of 25 cycles, then ends it with "EXIT".
# Not part of ./test.sh: 500 cycles take about 17 minutes (two status ticks per cycle).
#
#   tools/scripts/soak.sh [cycles]          # default 500; builds what it needs first
# Runs the 32-bit build where Wine can run 32-bit programs, else the x86-64 build (wine_env.sh).
# The RSS samples of the run are left in build/<preset>/soak-rss.txt.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
CYCLES="${1:-500}"
WARMUP=25
source "$ROOT/tools/scripts/wine_env.sh"
BUILD="$ROOT/build/$WINE_BUILD"
SLACK_KB=1024

cmake --preset "$WINE_BUILD" >/dev/null
cmake --build "$BUILD" -j2 --target KRYTray kry_simcam camctl krytray_soak kry_send_exit >/dev/null
BIN="$BUILD/bin"
PREFIX="$BUILD/soak-prefix"
SAMPLES="$BUILD/soak-rss.txt"

TRAY_PID=""
SAMPLER_PID=""
cleanup() {
    [ -n "$SAMPLER_PID" ] && kill "$SAMPLER_PID" 2>/dev/null && wait "$SAMPLER_PID" 2>/dev/null
    [ -n "$TRAY_PID" ] && kill -0 "$TRAY_PID" 2>/dev/null && kill "$TRAY_PID" 2>/dev/null
    stop_wine
    stop_xvfb
}
trap cleanup EXIT INT TERM

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$TRAY_PID/status"; }

# Resident memory once it has held still for two seconds (or after ten), in kB.
settled_rss_kb() {
    local previous=-1 current deadline=$((SECONDS + 10))
    while :; do
        sleep 2
        current="$(rss_kb)"
        [ "$current" = "$previous" ] || [ $SECONDS -ge $deadline ] && break
        previous="$current"
    done
    echo "$current"
}

rm -rf "$PREFIX" "$SAMPLES"
start_xvfb
wine_prefix "$PREFIX" "$BIN"
settings_key 1 103
$WINE "$BIN/camctl.exe" journal-clear
$WINE "$BIN/camctl.exe" active on
$WINE "$BIN/camctl.exe" plug

cd "$BIN"
$WINE KRYTray.exe &
TRAY_PID=$!
echo "KRYTray.exe runs as Linux process $TRAY_PID"

echo "warm-up: $WARMUP cycles"
$WINE krytray_soak.exe --cycles "$WARMUP"
WARM_KB="$(settled_rss_kb)"
echo "resident after warm-up: $WARM_KB kB"

( while kill -0 "$TRAY_PID" 2>/dev/null; do rss_kb >>"$SAMPLES" || true; sleep 1; done ) &
SAMPLER_PID=$!
STARTED=$SECONDS
set +e
$WINE krytray_soak.exe --cycles "$CYCLES"
SOAK_STATUS=$?
set -e
DURATION=$((SECONDS - STARTED))
ALIVE=yes
kill -0 "$TRAY_PID" 2>/dev/null || ALIVE=no
END_KB=0
[ "$ALIVE" = yes ] && END_KB="$(settled_rss_kb)"
kill "$SAMPLER_PID" 2>/dev/null
wait "$SAMPLER_PID" 2>/dev/null || true
SAMPLER_PID=""
PEAK_KB="$(sort -n "$SAMPLES" | tail -1)"

EXIT_CODE=none
if [ "$ALIVE" = yes ]; then
    $WINE kry_send_exit.exe
    for _ in $(seq 100); do kill -0 "$TRAY_PID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$TRAY_PID" 2>/dev/null; then
        EXIT_CODE="still running"
    else
        wait "$TRAY_PID" && EXIT_CODE=0 || EXIT_CODE=$?
    fi
    TRAY_PID=""
fi

GROWTH=$((END_KB - WARM_KB))
echo "soak: $CYCLES cycles in $DURATION s; driver exit code $SOAK_STATUS; program alive: $ALIVE"
echo "resident memory: warm start $WARM_KB kB, end $END_KB kB (growth $GROWTH kB), peak $PEAK_KB kB"
echo "program exit code after EXIT: $EXIT_CODE"
[ "$SOAK_STATUS" -eq 0 ] && [ "$ALIVE" = yes ] && [ "$GROWTH" -le "$SLACK_KB" ] &&
    [ "$EXIT_CODE" = 0 ] && { echo "soak passed"; exit 0; }
echo "soak FAILED"
exit 1
