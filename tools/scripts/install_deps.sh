#!/usr/bin/env bash
# Installs the build and test dependencies on Debian when something is missing (needs root).
#
# The package registry can misbehave for a day (an index served mid-sync, an i386 package that
# cannot be resolved against its amd64 twin). Only the 32-bit Wine is optional: without it the
# Wine tests run the x86-64 build (tools/scripts/wine_env.sh decides). Every other package is
# needed, and one that cannot be installed stops the run with its name and apt's reason.
set -euo pipefail

missing=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || missing+=(cmake)
have g++ || missing+=(g++)
have make || missing+=(make)
have i686-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-i686 mingw-w64-tools)
have x86_64-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-x86-64)
have wine || missing+=(wine wine64)
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

want_wine32=no
dpkg -s wine32:i386 >/dev/null 2>&1 || want_wine32=yes

if [ ${#missing[@]} -eq 0 ] && [ "$want_wine32" = no ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    if [ ${#missing[@]} -eq 0 ]; then
        echo "The 32-bit Wine (wine32:i386) is not installed: the Wine tests run the x86-64 build."
        exit 0
    fi
    echo "Run as root (or install these packages first): ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386

# An index that arrives damaged (a mirror mid-sync) makes apt-get update fail although every
# other index is fresh: try three times, then name the indexes that failed and go on; the
# install that follows decides whether what it needs was there.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
for attempt in 1 2 3; do
    if apt-get update -q >"$update_log" 2>&1; then
        break
    fi
    if [ $attempt -eq 3 ]; then
        # "Err:6 http://host/debian-security bookworm-security/main i386 Packages" -> the index.
        failed=$(grep -E '^Err:' "$update_log" | sed -E 's/^Err:[0-9]+ [^ ]+ //' | paste -sd ',' -)
        echo "apt-get update failed for these indexes: ${failed:-unknown}; going on without them"
    else
        sleep 5
    fi
done

# apt's own reason for a package it cannot install, in one line.
apt_reason() { grep -E '^E: ' "$1" | head -n 3 | sed 's/^E: //' | tr '\n' ' '; }

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    install_log=$(mktemp)
    trap 'rm -f "$update_log" "$install_log"' EXIT
    if ! apt-get install -y -q --no-install-recommends "${missing[@]}" >"$install_log" 2>&1; then
        echo "Cannot install the packages every run needs (${missing[*]}): $(apt_reason "$install_log")" >&2
        exit 1
    fi
fi

if [ "$want_wine32" = yes ]; then
    wine32_log=$(mktemp)
    trap 'rm -f "$update_log" "${install_log:-}" "$wine32_log"' EXIT
    if apt-get install -y -q --no-install-recommends wine32:i386 >"$wine32_log" 2>&1; then
        echo "Installed wine32:i386."
    else
        echo "The 32-bit Wine cannot be installed from the registry today: the Wine tests run the" \
            "x86-64 build ($(apt_reason "$wine32_log"))."
    fi
fi
