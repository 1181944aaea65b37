#!/usr/bin/env bash
# Checks that a program is a 32-bit Windows GUI executable importing only Windows' own DLLs.
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
echo "$exe: PE32 GUI, i386, imports only Windows' own DLLs"
