#!/usr/bin/env bash
# Builds both presets and runs every test: the native unit tests (ASan + UBSan), then the
# end-to-end tests of the Windows program under Wine. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")"

tools/scripts/install_deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset win32
cmake --build --preset win32
tests/e2e/run_e2e.sh build/win32
