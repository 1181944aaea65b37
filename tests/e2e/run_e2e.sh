#!/usr/bin/env bash
# Runs the end-to-end tests under Wine on a private Xvfb, in a fresh 64-bit prefix under the
# build folder, and leaves nothing running. Usage: tests/e2e/run_e2e.sh [build dir] [gtest args]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build/win32}" && pwd)"
shift || true
BIN="$BUILD/bin"
ARTIFACTS="$BUILD/artifacts"
PREFIX="$BUILD/e2e-prefix"

source "$ROOT/tools/scripts/wine_env.sh"
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
export KRY_SCREENSHOT_DIR="$(winepath -w "$ARTIFACTS")"
export KRY_X_DISPLAY="$DISPLAY"
set +e
wine "$BIN/krytray_e2e.exe" --gtest_output="xml:$(winepath -w "$ARTIFACTS/e2e.xml")" "$@"
status=$?
set -e
for shot in "$ARTIFACTS"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "end-to-end tests: exit code $status; artifacts in $ARTIFACTS"
exit $status
