#!/usr/bin/env bash
# The portable core's checks on Linux, as ./test.sh runs them: the unit tests (ASan + UBSan),
# clang-tidy, the threaded tests under ThreadSanitizer and a short run of every fuzzer. Stops at
# the first failure; prints each step's time.
set -euo pipefail
cd "$(dirname "$0")/../.."

step() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "== $name: $((SECONDS - start)) s"
}

cmake --preset native >/dev/null
step "native build" cmake --build --preset native
step "unit tests" ctest --preset native
step "clang-tidy" tools/scripts/tidy.sh
cmake --preset tsan >/dev/null
step "ThreadSanitizer build" cmake --build --preset tsan
step "ThreadSanitizer tests" ctest --preset tsan
# The committed corpus replayed through every fuzzer, then a few seconds of fuzzing each.
step "fuzzing" tools/scripts/fuzz.sh --smoke
