#!/usr/bin/env bash
# Builds the release twice from fresh clones of one commit, in two folders of different depth, one
# after the other and in different time zones, and compares the bytes of KRYTray.exe as linked and
# as shipped (stripped), the uninstaller as the setup writes it, the setup, the Windows Installer
# package, the portable zip and the symbols zip. Exit code 1 when any differ.
# About 6 minutes on two cores; not part of ./test.sh (docs/RELEASE.md has its last result).
# Usage: tools/scripts/repro_check.sh [commit]    (default: HEAD)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
commit="$(git -C "$ROOT" rev-parse "${1:-HEAD}")"
version="$(sed -n 's/^project(KRYTray VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
unset SOURCE_DATE_EPOCH KRY_SIGN_PFX KRY_SIGN_PASSWORD KRY_SIGN_TIMESTAMP_URL
work="$(mktemp -d /tmp/kry-repro.XXXXXX)"
trap 'rm -rf "$work"' EXIT

outputs=(bin/KRYTray.exe installer/stage/KRYTray.exe installer/uninstall.exe
         "dist/KRYTraySetup-$version.exe" "dist/KRYTray-$version.msi"
         "dist/KRYTray-$version-portable.zip" "dist/KRYTray-$version-symbols.zip")

# build_once <clone folder> <time zone>: prints "<sha256>  <output>" for each output.
build_once() {
    local src=$1 start=$SECONDS
    git clone -q --no-checkout "$ROOT" "$src"
    git -C "$src" checkout -q "$commit"
    (
        cd "$src"
        export TZ=$2
        cmake --preset win32 >"$work/configure.log" 2>&1
        cmake --build --preset win32 -j2 --target release >"$work/build.log" 2>&1
    ) || { tail -20 "$work/build.log" "$work/configure.log" >&2; exit 1; }
    echo "built $commit in $src (TZ=$2) in $((SECONDS - start)) s" >&2
    (cd "$src/build/win32" && sha256sum "${outputs[@]}")
}

first="$(build_once "$work/a" UTC)"
second="$(build_once "$work/second/clone/of/KRYTray" Pacific/Auckland)"
echo "$first"
if [ "$first" = "$second" ]; then
    echo "reproducible: both builds of $commit are bit-identical"
else
    echo "NOT reproducible; the second build gave:"
    echo "$second"
    exit 1
fi
