#!/usr/bin/env bash
# Signs a Windows executable or Windows Installer package in place with Authenticode (SHA-256)
# through osslsigncode, when the environment names a certificate; without one it changes nothing,
# so an unsigned build stays byte for byte what it was.
#   KRY_SIGN_PFX            PKCS#12 file holding the code-signing certificate and its key
#   KRY_SIGN_PASSWORD       its password (handed to osslsigncode on stdin, never as an argument)
#   KRY_SIGN_TIMESTAMP_URL  optional RFC 3161 time-stamp server
# Usage: sign.sh <file> [copy]        signs <file>, then copies the result to [copy]
#        sign.sh --state <file>       says once whether the build signs, and rewrites <file> only
#                                     when that changed (the build's outputs depend on it)
set -euo pipefail

if [ "${1:-}" = --state ]; then
    if [ -n "${KRY_SIGN_PFX:-}" ]; then
        [ -f "$KRY_SIGN_PFX" ] || { echo "KRY_SIGN_PFX: no such file: $KRY_SIGN_PFX" >&2; exit 1; }
        state="signed $(sha256sum <"$KRY_SIGN_PFX" | cut -d' ' -f1) ${KRY_SIGN_TIMESTAMP_URL:-}"
        echo "Signing KRYTray.exe, the uninstaller, the setup and the package with $KRY_SIGN_PFX"
    else
        state=unsigned
        echo "Unsigned build: set KRY_SIGN_PFX and KRY_SIGN_PASSWORD to sign"
    fi
    [ "$(cat "$2" 2>/dev/null)" = "$state" ] || echo "$state" >"$2"
    exit 0
fi

file=$1
if [ -n "${KRY_SIGN_PFX:-}" ]; then
    args=(sign -pkcs12 "$KRY_SIGN_PFX" -readpass /dev/stdin -h sha256 -n KRYTray)
    [ -z "${KRY_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$KRY_SIGN_TIMESTAMP_URL")
    rm -f "$file.signed"
    printf '%s' "${KRY_SIGN_PASSWORD:-}" |
        osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv -f "$file.signed" "$file"
fi
[ -z "${2:-}" ] || cp -f "$file" "$2"
