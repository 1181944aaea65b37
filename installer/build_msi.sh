#!/usr/bin/env bash
# Builds KRYTray.wxs into a Windows Installer package with Debian's wixl, sets with SQL what wixl
# cannot (component conditions and attributes, the close action from the Binary table), makes the
# bytes depend on the sources only, and signs it when the build signs (sign.sh).
# Usage: build_msi.sh <wxs> <out.msi> <version> <product code> <upgrade code> <package code>
#                     <source epoch> <program exe> <close exe> <icon> <sign.sh>
set -euo pipefail
[ $# -eq 11 ] || { echo "usage: $0 wxs out version product upgrade package epoch exe close icon sign" >&2; exit 2; }
wxs=$1 out=$2 version=$3 product=$4 upgrade=$5 package=$6 epoch=$7 exe=$8 close=$9 icon=${10}
sign=${11}

# wixl stamps the summary's times, the compound file's entries and the cabinet with the clock,
# and msibuild the summary again: both run with the clock stopped at the commit's time.
stamp="$(TZ=UTC date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')"
frozen() { TZ=UTC FAKETIME_DONT_FAKE_MONOTONIC=1 faketime "$stamp" "$@"; }

# wixl takes the packed files by names relative to the folder it runs in.
tmp="$out.tmp"
parts="$out.parts"
rm -rf "$tmp" "$parts"
mkdir -p "$parts"
cp -p "$exe" "$parts/KRYTray.exe"
cp -p "$close" "$parts/close_running.exe"
cp -p "$icon" "$parts/KRYTray.ico"
(
    cd "$parts"
    frozen wixl -a x64 -o "$tmp" -D Version="$version" -D ProductCode="$product" \
        -D UpgradeCode="$upgrade" -D ProgramExe=KRYTray.exe -D CloseExe=close_running.exe \
        -D Icon=KRYTray.ico "$wxs"
)
rm -rf "$parts"

# Component attributes: 256 writes the 64-bit registry view, 16 leaves the value at uninstall.
settings() {
    printf "UPDATE \`Component\` SET \`Attributes\`=272, \`Condition\`='%s' WHERE \`Component\`='%s'" "$2" "$1"
}
# The tray switch is 1 only when no choice is stored; TRAYICON and QUICKLAUNCH are written only
# when given. Type 2: an executable from the Binary table, its exit code checked.
frozen msibuild "$tmp" \
    -q "$(settings TrayDefault 'NOT STOREDTRAY AND NOT TRAYICON')" \
    -q "$(settings TrayChoice TRAYICON)" \
    -q "$(settings QuickLaunch QUICKLAUNCH)" \
    -q "UPDATE \`Component\` SET \`Condition\`='NOT INSTALLDIRGIVEN' WHERE \`Component\`='MakerFolder'" \
    -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('EndRunningCopies', 2, 'CloseRunning', '')" \
    -s "KRYTray $version" Velmora "x64;1033" "$package"
"$sign" "$tmp"
mv -f "$tmp" "$out"
