#!/usr/bin/env bash
# Signs a release with a throwaway self-signed code-signing certificate made here, and checks that
# osslsigncode accepts KRYTray.exe, the uninstaller as the setup writes it, the setup and the
# Windows Installer package with that
# certificate as the trusted root, rejects each with one byte changed, and that building again
# without the certificate gives back the unsigned release byte for byte. No Wine needed.
# Usage: tests/installer/signing_test.sh [build dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build/win32}" && pwd)"
work="$(mktemp -d /tmp/kry-signing.XXXXXX)"
unset KRY_SIGN_PFX KRY_SIGN_PASSWORD KRY_SIGN_TIMESTAMP_URL

release() {
    cmake --build "$BUILD" --target release >"$work/build.log" 2>&1 ||
        { cat "$work/build.log" >&2; return 1; }
}
unsigned_hashes() { (cd "$BUILD" && sha256sum "${signed[@]}" dist/*); }

release
signed=(installer/stage/KRYTray.exe installer/uninstall.exe installer/KRYTraySetup.exe
        "$(cd "$BUILD" && ls installer/KRYTray-*.msi)")
before="$(unsigned_hashes)"
# Whatever happens below, the build folder is left unsigned.
trap 'release || true; rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=KRYTray test signer" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway \
    -out "$work/cert.pfx"
KRY_SIGN_PFX="$work/cert.pfx" KRY_SIGN_PASSWORD=throwaway release

failures=0
for file in "${signed[@]}"; do
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$BUILD/$file" >"$work/verify.log" 2>&1; then
        echo "signed and verified: $file"
    else
        echo "FAILED: $file does not verify" && cat "$work/verify.log" && failures=$((failures + 1))
    fi
    # One byte in the middle of the signed content changed.
    cp "$BUILD/$file" "$work/changed.exe"
    size=$(stat -c %s "$work/changed.exe")
    printf '\xA5' | dd of="$work/changed.exe" bs=1 seek=$((size / 2)) conv=notrunc status=none
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed.exe" >/dev/null 2>&1; then
        echo "FAILED: $file verifies with a byte changed" && failures=$((failures + 1))
    fi
done

release
if [ "$(unsigned_hashes)" != "$before" ]; then
    echo "FAILED: the unsigned release changed after a signed build"
    failures=$((failures + 1))
fi
echo "signing test: $failures failure(s)"
[ "$failures" -eq 0 ]
