# Sourced by run.sh and the end-to-end runner: a headless X server and a 64-bit Wine prefix
# prepared for the program (simulated camera registered, settings key, language file).

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

XVFB_PID=""

# Wine's 32-bit loader is an i386 Linux program. Where the kernel cannot run those, or the 32-bit
# Wine could not be installed, only the 64-bit loader works, and the Wine tests use the x86-64
# build of the same sources; WINE_BUILD_REASON says which.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINE=wine
    WINE_BUILD=win32
    WINE_BUILD_REASON="Wine runs 32-bit programs here"
else
    WINE=/usr/lib/wine/wine64
    WINE_BUILD=win64
    kernel_i386=0
    "$(dirname "${BASH_SOURCE[0]}")/kernel_runs_i386.sh" || kernel_i386=$?
    if [ $kernel_i386 -eq 1 ]; then
        WINE_BUILD_REASON="this kernel cannot run i386 programs, and Wine's 32-bit loader is one"
    elif [ ! -e /usr/lib/wine/wine ]; then
        WINE_BUILD_REASON="the 32-bit Wine (package wine32:i386) is not installed"
    else
        WINE_BUILD_REASON="Wine's 32-bit loader (/usr/lib/wine/wine) does not start"
    fi
    unset kernel_i386
fi
export WINE WINE_BUILD WINE_BUILD_REASON

# Starts Xvfb on the first free display from 90 up and exports DISPLAY. Several runs may start
# theirs at once: a display is ours only once its lock file holds our Xvfb's process id.
start_xvfb() {
    local n deadline
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        deadline=$((SECONDS + 10))
        while kill -0 "$XVFB_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
            if [ -e "/tmp/.X11-unix/X$n" ] &&
                [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$XVFB_PID" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        stop_xvfb
    done
    echo "no free X display for Xvfb" >&2
    return 1
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# wine_template <build dir>: a pristine 64-bit prefix, wineboot's result alone, made once per
# build folder (wineboot takes about 20 s, a copy of its result about 4). Runs at once may ask.
wine_template() {
    local template="$1/wine-template"
    (
        flock 9
        [ -f "$template/.complete" ] && exit 0
        rm -rf "$template"
        mkdir -p "$template"
        export WINEPREFIX="$template"
        WINEARCH=win64 $WINE wineboot -i >/dev/null 2>&1
        wineserver -w
        touch "$template/.complete"
    ) 9>"$1/wine-template.lock"
}

# wine_prefix <dir> <bin dir> [no-language-file]: creates the prefix when missing, as a copy of
# the build folder's template, then registers the simulated camera and installs the language
# file (not with no-language-file, for tests of a setup that places it). Idempotent.
wine_prefix() {
    export WINEPREFIX="$1"
    local bin="$2" language_file=yes root build
    [ "${3:-}" = no-language-file ] && language_file=no
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
    build="$(cd "$bin/.." && pwd)"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_template "$build"
        rm -rf "$WINEPREFIX"
        cp -a "$build/wine-template" "$WINEPREFIX"
        rm -f "$WINEPREFIX/.complete"
    fi
    ${WINESERVER:-wineserver} -p
    # Without the 32-bit loader, wineboot leaves the registry's 32-bit view without the folder
    # values every 64-bit Windows has there; a 64-bit setup asking for the 32-bit program folder
    # would be told "C:\Program Files".
    if [ "$WINE_BUILD" = win64 ]; then
        $WINE reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir \
            /d 'C:\Program Files (x86)' /f /reg:32 >/dev/null 2>&1
    fi
    # Without a window manager, hiding a managed window costs about two seconds.
    $WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    $WINE regsvr32 /s "$($WINE winepath -w "$bin/kry_simcam.dll")" >/dev/null 2>&1
    [ "$language_file" = yes ] || return 0
    # A 32-bit program's system directory is syswow64 in a 64-bit prefix.
    local dir
    for dir in syswow64 system32; do
        [ -d "$WINEPREFIX/drive_c/windows/$dir" ] || continue
        [ -f "$root/res/LUMA64.ini" ] && cp "$root/res/LUMA64.ini" "$WINEPREFIX/drive_c/windows/$dir/LUMA64.ini"
    done
}

# settings_key <KRYTray> <debug>: the program's settings in the 64-bit registry view.
settings_key() {
    local key='HKLM\SOFTWARE\Velmora\QXLUMA64\Current'
    $WINE reg add "$key" /v KRYTray /t REG_DWORD /d "$1" /f /reg:64 >/dev/null 2>&1
    $WINE reg add "$key" /v debug /t REG_DWORD /d "$2" /f /reg:64 >/dev/null 2>&1
}

stop_wine() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
}
