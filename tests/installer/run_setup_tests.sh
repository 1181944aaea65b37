#!/usr/bin/env bash
# Runs the setup tests under Wine on a private Xvfb, in a fresh 64-bit prefix with the simulated
# camera registered but no language file (the setup places it), and leaves nothing running; the
# portable zip's program runs there too, unpacked into a folder with blanks. Then, without gtest
# args, the language test once per locale below.
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
LOCALES="$BUILD/locales"

# Wine gives each process the UI language of its LC_MESSAGES and the ANSI code page of its
# LC_CTYPE, but only for a locale the C library has: those the tests use are generated here, in
# the build folder (LOCPATH), from the locales package's sources. The general tests run in the
# C locale (US English, code page 1252) whatever the caller's is.
unset LC_ALL LANGUAGE LC_CTYPE LC_MESSAGES
export LANG=C.UTF-8
mkdir -p "$LOCALES"
for locale in de_DE de_CH ja_JP; do
    [ -d "$LOCALES/$locale.UTF-8" ] || localedef -i "$locale" -f UTF-8 "$LOCALES/$locale.UTF-8" ||
        [ -d "$LOCALES/$locale.UTF-8" ]
done

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT INT TERM

[ -f "$SETUP" ] || { echo "no setup at $SETUP: build the installer target" >&2; exit 1; }
PORTABLE_ZIP="$(ls "$BUILD"/dist/KRYTray-*-portable.zip 2>/dev/null | head -n 1)"
[ -n "$PORTABLE_ZIP" ] || { echo "no portable zip in $BUILD/dist: build the release target" >&2; exit 1; }
rm -rf "$PREFIX"
mkdir -p "$ARTIFACTS"
start_xvfb
wine_prefix "$PREFIX" "$BIN" no-language-file
# The portable copy, unpacked into a folder with blanks as a user would.
PORTABLE_DIR="$PREFIX/drive_c/users/Public/Downloads/KRYTray portable copy"
mkdir -p "$PORTABLE_DIR"
unzip -q -o "$PORTABLE_ZIP" -d "$PORTABLE_DIR"
KRY_PORTABLE_DIR="$($WINE winepath -w "$PORTABLE_DIR")"
KRY_SETUP="$($WINE winepath -w "$SETUP")"
KRY_DEFAULT_INI="$($WINE winepath -w "$ROOT/res/LUMA64.ini")"
KRY_SCREENSHOT_DIR="$($WINE winepath -w "$ARTIFACTS")"
KRY_PACKAGE="$($WINE winepath -w "$(ls "$BUILD"/installer/KRYTray-*.msi)")"
KRY_OLD_PACKAGE="$($WINE winepath -w "$BUILD/installer/test/KRYTray-0.9.0.msi")"
export KRY_SETUP KRY_DEFAULT_INI KRY_SCREENSHOT_DIR KRY_PORTABLE_DIR KRY_PACKAGE KRY_OLD_PACKAGE

# language_case <LANG> <LC_MESSAGES> <UI language> <code page> <file the setup must place>
#               [screenshot]: the language test in that locale, which must give Wine that UI
# language and code page.
language_case() {
    echo "setup under LANG=$1 LC_MESSAGES=$2: UI language $3, code page $4, expecting $5"
    local expected
    expected="$($WINE winepath -w "$ROOT/$5")"
    # Through env: this shell need not know the locales.
    env LOCPATH="$LOCALES" LANG="$1" LC_MESSAGES="$2" KRY_UI_LANGUAGE="$3" KRY_CODE_PAGE="$4" \
        KRY_EXPECTED_INI="$expected" KRY_LANGUAGE_SHOT="${6:-}" \
        $WINE "$BIN/krysetup_e2e.exe" --gtest_filter='SetupLanguageTest.*' \
        --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/setup_language_${3}_$4.xml")"
}

set +e
$WINE "$BIN/krysetup_e2e.exe" --gtest_output="xml:$($WINE winepath -w "$ARTIFACTS/setup.xml")" "$@"
status=$?
if [ $# -eq 0 ]; then
    # German on a Western system: the German file, shown in the menu.
    language_case de_DE.UTF-8 de_DE.UTF-8 0x0407 1252 res/lang/LUMA64.deu.ini tray_menu_german ||
        status=1
    # Japanese UI language on a Western system, which cannot show Japanese text: English.
    language_case de_DE.UTF-8 ja_JP.UTF-8 0x0411 1252 res/LUMA64.ini || status=1
    # Japanese on a Japanese system: the file in code page 932.
    language_case ja_JP.UTF-8 ja_JP.UTF-8 0x0411 932 res/lang/LUMA64.jpn.ini || status=1
    # Swiss German: the German file serves every German-speaking country.
    language_case de_CH.UTF-8 de_CH.UTF-8 0x0807 1252 res/lang/LUMA64.deu.ini || status=1
fi
set -e
for shot in "$ARTIFACTS"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "setup tests: exit code $status; setup $(stat -c %s "$SETUP") bytes"
exit $status
