#!/usr/bin/env bash
# Checks that a program is a 32-bit Windows GUI executable importing only Windows' own DLLs, with
# the PE checksum the linker computed matching its bytes.
set -euo pipefail
exe=$1
headers=$(i686-w64-mingw32-objdump -f -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || { echo "$exe: not PE32 i386" >&2; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "$exe: not a GUI program" >&2; exit 1; }
allowed='^(ADVAPI32|COMDLG32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|USER32|COMCTL32)\.dll$'
bad=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}' | grep -viE "$allowed" || true)
if [ -n "$bad" ]; then
    echo "$exe needs DLLs beyond Windows' own: $bad" >&2
    exit 1
fi
# The PE checksum: the file's 16-bit little-endian words summed with the carry folded back (the
# checksum field counted as zero, an odd last byte padded with zero), plus the file's length.
field=$(($(od -An -tu4 -j60 -N4 "$exe") + 24 + 64))
stored=$(($(od -An -tu4 -j"$field" -N4 "$exe")))
size=$(stat -c %s "$exe")
computed=$({ cat "$exe"; [ $((size % 2)) -eq 0 ] || printf '\0'; } | od -An -v -tu2 |
    awk -v skip=$((field / 2)) -v size="$size" '
        { for (i = 1; i <= NF; i++) { if (n != skip && n != skip + 1) { s += $i; if (s > 65535) s -= 65535 } n++ } }
        END { print s + size }')
if [ "$stored" -eq 0 ] || [ "$stored" -ne "$computed" ]; then
    echo "$exe: PE checksum $stored, but the file's is $computed" >&2
    exit 1
fi
echo "$exe: PE32 GUI, i386, imports only Windows' own DLLs, valid PE checksum"
