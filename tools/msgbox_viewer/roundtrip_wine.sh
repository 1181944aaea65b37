#!/usr/bin/env bash
# Round trip through the debug viewer under Wine: starts kry_msgbox, sends records with
# send_record (plain, "%", empty, embedded NUL and newline, 2047 bytes) and compares the lines.
# Needs DISPLAY and WINEPREFIX set (a running `wineserver -p` makes it quick).
# Usage: tools/msgbox_viewer/roundtrip_wine.sh <bin dir>   (WINE=wine64 for a 64-bit build)
set -euo pipefail
BIN="$(cd "$1" && pwd)"
WINE="${WINE:-wine}"
OUT="$(mktemp -d)"
trap 'rm -rf "$OUT"' EXIT

LOG="$("$WINE" winepath -w "$OUT/log.txt")"
"$WINE" "$BIN/kry_msgbox.exe" --out "$LOG" --seconds 60 &
VIEWER=$!

send() { "$WINE" "$BIN/send_record.exe" "$@"; }

deadline=$((SECONDS + 30))
until send 100 "hello viewer"; do  # exit code 1 while no window is there yet
    kill -0 "$VIEWER" 2>/dev/null || { echo "viewer ended early"; exit 1; }
    [ $SECONDS -lt $deadline ] || { echo "viewer window never appeared"; kill "$VIEWER"; exit 1; }
    sleep 0.2
done
long="$(head -c 2047 /dev/zero | tr '\0' 'x')"
send 103 "ClearCameraStatus 0x9"
send 100 'C:\Apps\100% sure.exe'
send 102 ""
send --hex 101 41004243
send --hex 100 6C696E65310A6C696E6532
send 100 "$long"
send --close
deadline=$((SECONDS + 30))
while kill -0 "$VIEWER" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { echo "viewer did not close"; kill "$VIEWER"; exit 1; }
    sleep 0.2
done
wait "$VIEWER"

printf '%s\n' "100 hello viewer" "103 ClearCameraStatus 0x9" '100 C:\Apps\100% sure.exe' \
    "102 " '101 A\0BC' '100 line1\nline2' "100 $long" > "$OUT/expected.txt"
if cmp -s "$OUT/expected.txt" "$OUT/log.txt"; then
    echo "viewer round trip: OK ($(wc -l < "$OUT/log.txt") records)"
else
    echo "viewer round trip: MISMATCH"
    diff "$OUT/expected.txt" "$OUT/log.txt" | head -20
    exit 1
fi
