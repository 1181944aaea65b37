#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) over the portable core's sources and headers, with the
# native preset's compile database. Any finding fails. Usage: tools/scripts/tidy.sh [file...]
set -euo pipefail
cd "$(dirname "$0")/../.."

db=build/native/compile_commands.json
[ -f "$db" ] || cmake --preset native >/dev/null
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)

if [ $# -gt 0 ]; then
    files=("$@")
else
    # The core library's sources: the subsystem folders, no Win32 adapter, no test or tool.
    root=$PWD/
    mapfile -t files < <(sed -n 's/^ *"file": *"\(.*\)",\{0,1\}$/\1/p' "$db" | sed "s|^$root||" |
        grep -E '^(app|camera|diag|overlay|settings|tray)/[^/]+\.cpp$' | grep -v '_win32\.cpp$' |
        sort -u)
fi
[ ${#files[@]} -gt 0 ] || { echo "tidy: no source in $db" >&2; exit 1; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${files[@]}" | xargs -P 2 -n 1 "$tidy" -p build/native --quiet >"$log" 2>/dev/null ||
    status=$?
if [ "$status" -ne 0 ] || grep -qE '(warning|error):' "$log"; then
    cat "$log" >&2
    echo "clang-tidy: findings in the portable core (see above)" >&2
    exit 1
fi
echo "clang-tidy: ${#files[@]} portable sources and their headers, no finding"
