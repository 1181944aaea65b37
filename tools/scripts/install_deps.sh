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

# The 32-bit Wine only helps a kernel that runs i386 programs; elsewhere it is not even tried.
want_wine32=no
if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    kernel=0
    "$(dirname "$0")/kernel_runs_i386.sh" || kernel=$?
    if [ $kernel -eq 1 ]; then
        echo "This kernel cannot run i386 programs, so the 32-bit Wine is not installed: the Wine" \
            "tests run the x86-64 build."
    else
        want_wine32=yes
    fi
fi

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
if [ "$want_wine32" = yes ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Another apt run (a second checkout's install) may hold the lock for a while: wait for it.
lock=(-o DPkg::Lock::Timeout=120)
install=(apt-get install -y -q "${lock[@]}" --no-install-recommends)

# An index that arrives damaged (a mirror mid-sync) makes apt-get update fail although every
# other index is fresh: try three times, then name the indexes that failed and go on; the
# install that follows decides whether what it needs was there.
for attempt in 1 2 3; do
    apt-get update -q "${lock[@]}" >"$logs/update" 2>&1 && break
    if [ $attempt -lt 3 ]; then
        sleep 5
        continue
    fi
    # "Err:6 http://host/debian-security bookworm-security/main i386 Packages" -> the index;
    # "E: Failed to fetch <url>  File has unexpected size ... [IP: ...]" -> why.
    failed=$(grep -E '^Err:' "$logs/update" | sed -E 's/^Err:[0-9]+ [^ ]+ //' | paste -sd ',' -)
    why=$(grep -m 1 -E '^E: Failed to fetch' "$logs/update" |
        sed -E 's/^E: Failed to fetch [^ ]+ +//; s/ *\[IP:.*//')
    echo "apt-get update failed for ${failed:-an index}${why:+ ($why)};" \
        "going on, the install decides"
done

# apt's own reason for what it cannot install, in one line: the first unmet dependency it names,
# else its error lines ("Unable to locate package ...").
apt_reason() {
    local unmet
    unmet=$(sed -n '/unmet dependencies:$/{n;p;q}' "$1" | tr -s ' ' | sed 's/^ //')
    if [ -n "$unmet" ]; then
        echo "$unmet"
    else
        grep -E '^E: ' "$1" | head -n 3 | sed 's/^E: //' | paste -sd ' ' -
    fi
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if ! "${install[@]}" "${missing[@]}" >"$logs/install" 2>&1; then
        echo "Cannot install what every run needs (${missing[*]}):" \
            "$(apt_reason "$logs/install")" >&2
        exit 1
    fi
fi

if [ "$want_wine32" = yes ]; then
    if "${install[@]}" wine32:i386 >"$logs/wine32" 2>&1; then
        echo "Installed wine32:i386."
    else
        echo "The 32-bit Wine cannot be installed from the registry today: the Wine tests run the" \
            "x86-64 build (apt: $(apt_reason "$logs/wine32"))."
    fi
fi
