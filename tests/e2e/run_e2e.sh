#!/usr/bin/env bash
# Runs the end-to-end tests and the layer checks under Wine and leaves nothing running. The tests
# wait on Wine far more than they compute, so they run in shards at once, each on a private Xvfb
# in a fresh 64-bit prefix of its own under the build folder.
# Usage: tests/e2e/run_e2e.sh [build dir] [gtest args]
#   KRY_E2E_SHARDS=N      shards without gtest args (default 3); with gtest args there is one
#   KRY_E2E_HIGH_DPI=1    the 144 DPI cases after a run with gtest args too
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
source "$ROOT/tools/scripts/wine_env.sh"
BUILD="$(cd "${1:-$ROOT/build/$WINE_BUILD}" && pwd)"
shift || true
BIN="$BUILD/bin"
ARTIFACTS="$BUILD/artifacts"

shards=${KRY_E2E_SHARDS:-3}
high_dpi=yes
if [ $# -gt 0 ]; then
    shards=1
    [ "${KRY_E2E_HIGH_DPI:-}" = 1 ] || high_dpi=no
fi

# Checks of single layers, in a shard's prefix after its tests: the resources compiled into the
# program, the overlay's window regions (the benchmark's equality check and the model check), and
# the camera layer against the simulated driver (it leaves the driver's settings changed, so it
# comes after the end-to-end tests). Each exits non-zero on a failure.
layer_checks() {
    local failed="" check
    for check in "kry_rescheck.exe KRYTray.exe" "region_bench.exe --reps 1 KRYTray.exe" \
        "region_check.exe KRYTray.exe" "camera_check.exe"; do
        echo "== $check"
        # shellcheck disable=SC2086 # the check's words
        (cd "$BIN" && $WINE $check) || failed="$failed ${check%% *}"
    done
    [ -z "$failed" ] || { echo "failed checks:$failed"; return 1; }
}

# The screen at 150 %: every process of the restarted prefix sees 144 DPI.
high_dpi_cases() {
    $WINE reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
    wineserver -p
    $WINE "$BIN/krytray_e2e.exe" --gtest_filter='HighDpi.*:TrayIcon.*' \
        --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/e2e_144dpi.xml")"
}

# shard <index> [gtest args]: that shard's tests; then the first shard runs the layer checks and
# the last the high-DPI cases. Exits non-zero on any failure.
shard() {
    local index=$1 status=0
    shift
    trap 'stop_wine; stop_xvfb' EXIT
    trap 'exit 1' INT TERM
    start_xvfb
    wine_prefix "$BUILD/e2e-prefix-$index" "$BIN"
    # Screenshots are taken by the test program through this helper.
    KRY_SCREENSHOT_DIR="$($WINE winepath -w "$ARTIFACTS")"
    export KRY_SCREENSHOT_DIR KRY_X_DISPLAY="$DISPLAY"
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$index $WINE "$BIN/krytray_e2e.exe" \
        --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/e2e_$index.xml")" "$@" || status=1
    if [ "$index" -eq 0 ]; then
        layer_checks || status=1
    fi
    if [ "$index" -eq $((shards - 1)) ] && [ "$high_dpi" = yes ]; then
        high_dpi_cases || status=1
    fi
    return $status
}

# The timed case runs alone once the shards have ended: its limit is about the program, not about
# a machine busy with the other shards.
TIMED='StatusTest.ButtonPressToProgramStartDelay'
timed() {
    trap 'stop_wine; stop_xvfb' EXIT
    trap 'exit 1' INT TERM
    start_xvfb
    wine_prefix "$BUILD/e2e-prefix-timed" "$BIN"
    KRY_SCREENSHOT_DIR="$($WINE winepath -w "$ARTIFACTS")"
    export KRY_SCREENSHOT_DIR KRY_X_DISPLAY="$DISPLAY"
    $WINE "$BIN/krytray_e2e.exe" --gtest_filter="$TIMED" \
        --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/e2e_timed.xml")"
}

pids=()
cleanup() {
    local pid prefix
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for prefix in "$BUILD"/e2e-prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup INT TERM

rm -rf "$BUILD"/e2e-prefix*
mkdir -p "$ARTIFACTS"
wine_template "$BUILD"
# Each shard runs in a background shell of its own, where a failed step still ends it; with more
# than one, each writes its own log, shown whole when all have ended.
status=0
if [ "$shards" -eq 1 ]; then
    (shard 0 "$@") &
    pids+=($!)
    wait "${pids[0]}" || status=1
else
    for index in $(seq 0 $((shards - 1))); do
        (shard "$index" --gtest_filter="-$TIMED") >"$ARTIFACTS/e2e_$index.log" 2>&1 &
        pids+=($!)
    done
    for index in "${!pids[@]}"; do
        wait "${pids[$index]}" || status=1
        echo "---- end-to-end shard $((index + 1)) of $shards"
        cat "$ARTIFACTS/e2e_$index.log"
    done
    echo "---- end-to-end, the timed case alone"
    (timed) &
    pids+=($!)
    wait "${pids[-1]}" || status=1
fi
for shot in "$ARTIFACTS"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "end-to-end tests: exit code $status; artifacts in $ARTIFACTS"
exit $status
