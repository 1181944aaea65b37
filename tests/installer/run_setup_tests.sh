#!/usr/bin/env bash
# Runs the setup tests under Wine on a private Xvfb, in a fresh 64-bit prefix with the simulated
# camera registered but no language file (the setup places it), and leaves nothing running.
# Usage: tests/installer/run_setup_tests.sh [build dir] [gtest args]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
source "$ROOT/tools/scripts/wine_env.sh"
BUILD="$(cd "${1:-$ROOT/build/$WINE_BUILD}" && pwd)"
shift || true
BIN="$BUILD/bin"
SETUP="$BUILD/installer/KRYTraySetup.exe"
ARTIFACTS="$BUILD/artifacts"
PREFIX="$BUILD/setup-prefix"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT INT TERM

[ -f "$SETUP" ] || { echo "no setup at $SETUP: build the installer target" >&2; exit 1; }
rm -rf "$PREFIX"
mkdir -p "$ARTIFACTS"
start_xvfb
wine_prefix "$PREFIX" "$BIN" no-language-file
KRY_SETUP="$($WINE winepath -w "$SETUP")"
KRY_DEFAULT_INI="$($WINE winepath -w "$ROOT/res/LUMA64.ini")"
export KRY_SETUP KRY_DEFAULT_INI
set +e
$WINE "$BIN/krysetup_e2e.exe" --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/setup.xml")" "$@"
status=$?
set -e
echo "setup tests: exit code $status; setup $(stat -c %s "$SETUP") bytes"
exit $status
