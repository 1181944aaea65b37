#!/usr/bin/env bash
# Builds every preset and runs every test: the native unit tests (ASan + UBSan), clang-tidy over
# the portable core, the threaded tests under ThreadSanitizer, a short run of every fuzzer, then
# the end-to-end tests of the Windows program and of its setup under Wine. Installs what is
# missing first. Prints each step's time; the logs of what runs beside it are in build/logs/.
#
# Both cores stay busy: the Linux checks (tools/scripts/linux_checks.sh) run, niced, beside the
# Windows builds, and the Wine tests, which mostly wait on Wine, run beside each other and beside
# whatever is left of the Linux checks.
set -euo pipefail
cd "$(dirname "$0")"
started=$SECONDS

tools/scripts/install_deps.sh
source tools/scripts/wine_env.sh
LOGS=build/logs
mkdir -p "$LOGS"

step() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "== $name: $((SECONDS - start)) s"
}

# wait_for <name> <pid> <log>: waits for a job started in the background, then shows its log.
wait_for() {
    local status=0
    wait "$2" || status=$?
    echo "---- $1 (log: $3)"
    cat "$3"
    [ "$status" -eq 0 ] || echo "$1: exit code $status" >&2
    return "$status"
}

linux="" template="" e2e="" setup="" wine_tests=no
finish() {
    local status=$? prefix
    # Whatever still runs after a failure: the Linux checks are a process group of their own, and
    # the Wine test runners clean up once their Wine servers are gone.
    if [ -n "$linux" ]; then
        kill -TERM -- "-$linux" 2>/dev/null || true
    fi
    if [ -n "$template" ]; then
        wait "$template" || true
    fi
    if [ -n "$e2e$setup" ]; then
        for prefix in "build/$WINE_BUILD"/{e2e,setup}-prefix*; do
            [ -d "$prefix" ] && { WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; }
        done
        kill $e2e $setup 2>/dev/null || true
    fi
    if [ "$wine_tests" = yes ]; then
        echo "The Wine tests used the $WINE_BUILD build: $WINE_BUILD_REASON."
    fi
    echo "./test.sh: exit code $status after $((SECONDS - started)) s"
}
trap finish EXIT

setsid nice -n 10 tools/scripts/linux_checks.sh >"$LOGS/linux.log" 2>&1 &
linux=$!

# The product: a 32-bit Windows GUI program needing no DLL beyond Windows' own, and its release
# (setup, portable zip, checksums), signed once with a throwaway certificate. Whether two clean
# builds are bit-identical takes two more builds: tools/scripts/repro_check.sh, not run here.
# The Wine tests run the 32-bit build where this machine's Wine runs 32-bit programs, and
# otherwise the x86-64 build of the same sources; there the 32-bit build makes only what is
# checked without Wine (its test programs are built, with the same sources, for x86-64).
cmake --preset win32 >/dev/null
[ "$WINE_BUILD" = win32 ] || cmake --preset win64 >/dev/null
# The Wine tests' prefixes are copies of one that wineboot makes meanwhile (about 20 s).
(wine_template "build/$WINE_BUILD" >"$LOGS/wine_template.log" 2>&1) &
template=$!
if [ "$WINE_BUILD" = win32 ]; then
    step "win32 build" cmake --build --preset win32
else
    step "win32 build (program and release)" cmake --build --preset win32 --target KRYTray release
fi
tools/scripts/check_pe.sh build/win32/bin/KRYTray.exe
test -s build/win32/installer/KRYTraySetup.exe
tests/installer/signing_test.sh build/win32
if [ "$WINE_BUILD" = win64 ]; then
    echo "The Wine tests run the x86-64 build: $WINE_BUILD_REASON."
    step "win64 build" cmake --build --preset win64
fi

# The end-to-end tests (in shards) and the setup tests, in prefixes and on displays of their own.
wait "$template" || cat "$LOGS/wine_template.log"
template=""
wine_tests=yes
wine_start=$SECONDS
tests/e2e/run_e2e.sh "build/$WINE_BUILD" >"$LOGS/e2e.log" 2>&1 &
e2e=$!
tests/installer/run_setup_tests.sh "build/$WINE_BUILD" >"$LOGS/setup.log" 2>&1 &
setup=$!
status=0
wait_for "Linux checks" "$linux" "$LOGS/linux.log" || status=1
linux=""
wait_for "setup tests" "$setup" "$LOGS/setup.log" || status=1
setup=""
wait_for "end-to-end tests" "$e2e" "$LOGS/e2e.log" || status=1
e2e=""
echo "== Wine tests: $((SECONDS - wine_start)) s"
exit $status
