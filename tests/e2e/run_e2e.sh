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
for shot in "$ARTIFACTS"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "end-to-end tests: exit code $status; artifacts in $ARTIFACTS"
exit $status
