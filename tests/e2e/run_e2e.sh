#!/usr/bin/env bash
# Runs the end-to-end tests and the layer checks under Wine on a private Xvfb, in a fresh 64-bit
# prefix under the build folder, and leaves nothing running.
# Usage: tests/e2e/run_e2e.sh [build dir] [gtest args]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
source "$ROOT/tools/scripts/wine_env.sh"
BUILD="$(cd "${1:-$ROOT/build/$WINE_BUILD}" && pwd)"
shift || true
BIN="$BUILD/bin"
ARTIFACTS="$BUILD/artifacts"
PREFIX="$BUILD/e2e-prefix"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT INT TERM

rm -rf "$PREFIX"
mkdir -p "$ARTIFACTS"
start_xvfb
wine_prefix "$PREFIX" "$BIN"
# Screenshots are taken by the test program through this helper.
export KRY_SCREENSHOT_DIR="$($WINE winepath -w "$ARTIFACTS")"
export KRY_X_DISPLAY="$DISPLAY"

set +e
$WINE "$BIN/krytray_e2e.exe" --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/e2e.xml")" "$@"
status=$?
set -e

# Then checks of single layers, in the same prefix: the resources compiled into the program, the
# overlay's window regions (the benchmark's equality check and the model check), and the camera
# layer against the simulated driver (it leaves the driver's settings changed, so it comes after
# the end-to-end tests). Each exits non-zero on a failure.
checks_failed=""
run_check() {
    echo "== $*"
    (cd "$BIN" && $WINE "$@") || checks_failed="$checks_failed $1"
}
run_check kry_rescheck.exe KRYTray.exe
run_check region_bench.exe --reps 1 KRYTray.exe
run_check region_check.exe KRYTray.exe
run_check camera_check.exe
if [ -n "$checks_failed" ]; then
    echo "failed checks:$checks_failed"
    [ "$status" -ne 0 ] || status=1
fi

# Last, the screen at 150 %: every process of the restarted prefix sees 144 DPI.
if [ $# -eq 0 ] || [ "${KRY_E2E_HIGH_DPI:-}" = 1 ]; then
    $WINE reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
    wineserver -p
    set +e
    $WINE "$BIN/krytray_e2e.exe" --gtest_filter='HighDpi.*:TrayIcon.*' \
        --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/e2e_144dpi.xml")"
    dpiStatus=$?
    set -e
    [ $status -ne 0 ] || status=$dpiStatus
fi
for shot in "$ARTIFACTS"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "end-to-end tests: exit code $status; artifacts in $ARTIFACTS"
exit $status
