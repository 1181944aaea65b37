#!/usr/bin/env bash
# Runs the end-to-end tests under Wine on a private Xvfb, in a fresh 64-bit prefix under the
# build folder, and leaves nothing running. Usage: tests/e2e/run_e2e.sh [build dir] [gtest args]
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
# Then the screen at 150 %: every process of the restarted prefix sees 144 DPI.
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
