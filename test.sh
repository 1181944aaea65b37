#!/usr/bin/env bash
# Builds both presets and runs every test: the native unit tests (ASan + UBSan), clang-tidy over
# the portable core, the threaded tests under ThreadSanitizer, a short run of every fuzzer, then
# the end-to-end tests of the Windows program and of its setup under Wine. Installs what is
# missing first.
set -euo pipefail
cd "$(dirname "$0")"

tools/scripts/install_deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

tools/scripts/tidy.sh

cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

# The committed corpus replayed through every fuzzer, then a few seconds of fuzzing each.
tools/scripts/fuzz.sh --smoke

# The product: a 32-bit Windows GUI program needing no DLL beyond Windows' own, and its release
# (setup, portable zip, checksums), signed once with a throwaway certificate. Whether two clean
# builds are bit-identical takes two more builds: tools/scripts/repro_check.sh, not run here.
# The Wine tests run the 32-bit build where this machine can execute Wine's 32-bit loader,
# and otherwise the x86-64 build of the same sources; there the 32-bit build makes only what is
# checked without Wine (its test programs are built, with the same sources, for x86-64).
source tools/scripts/wine_env.sh
cmake --preset win32
if [ "$WINE_BUILD" = win32 ]; then
    cmake --build --preset win32
else
    cmake --build --preset win32 --target KRYTray release
fi
tools/scripts/check_pe.sh build/win32/bin/KRYTray.exe
test -s build/win32/installer/KRYTraySetup.exe
tests/installer/signing_test.sh build/win32

if [ "$WINE_BUILD" = win64 ]; then
    echo "Wine cannot run 32-bit programs on this machine: the Wine tests use the x86-64 build."
    cmake --preset win64
    cmake --build --preset win64
fi
tests/e2e/run_e2e.sh "build/$WINE_BUILD"
tests/installer/run_setup_tests.sh "build/$WINE_BUILD"
