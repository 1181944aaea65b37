#!/usr/bin/env bash
# Installs the build and test dependencies on Debian when something is missing (needs root).
set -euo pipefail

missing=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || missing+=(cmake)
have g++ || missing+=(g++)
have make || missing+=(make)
have i686-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-i686 mingw-w64-tools)
have x86_64-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-x86-64)
have wine || missing+=(wine wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
have Xvfb || missing+=(xvfb xauth)
have import || missing+=(imagemagick)
have xwd || missing+=(x11-apps)
have makensis || missing+=(nsis)
# The Windows Installer package: wixl builds it, msibuild patches it, faketime stops the clock
# for both so that the bytes depend on the sources only.
have wixl || missing+=(wixl)
have msibuild || missing+=(msitools)
have faketime || missing+=(faketime)
# The release: the portable zip, signing, and the tests that unpack and verify them.
have zip || missing+=(zip)
have unzip || missing+=(unzip)
have osslsigncode || missing+=(osslsigncode)
have openssl || missing+=(openssl)
# The sources of the locales the setup tests generate (German, Japanese).
[ -f /usr/share/i18n/locales/ja_JP ] && [ -f /usr/share/i18n/charmaps/UTF-8.gz ] || missing+=(locales)
[ -f /usr/src/googletest/CMakeLists.txt ] && [ -f /usr/include/gtest/gtest.h ] ||
    missing+=(googletest libgtest-dev libgmock-dev)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
# Fuzzing (clang with libFuzzer) and the static checks.
have clang++ || missing+=(clang)
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
    missing+=(libfuzzer-14-dev)
have clang-tidy || missing+=(clang-tidy)

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages first)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
