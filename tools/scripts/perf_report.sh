#!/usr/bin/env bash
# Measures KRYTray.exe against a bare tray program (tools/perf/minimal_tray) side by side under
# Wine with the simulated camera, in a fresh prefix on a private Xvfb, and writes the report.
#
#   tools/scripts/perf_report.sh [report file]     (default docs/PERFORMANCE.md)
#
# PERF_IDLE_SECONDS (default 60) and PERF_STARTS (default 9) shorten a trial run. A section
# "## Earlier runs" of the existing report is carried over unchanged. Not part of ./test.sh:
# it takes about six minutes and its figures depend on the machine's load.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$ROOT"
REPORT="${1:-docs/PERFORMANCE.md}"
IDLE_SECONDS=${PERF_IDLE_SECONDS:-60}
STARTS=${PERF_STARTS:-9}
PRESSES=20
MENU_OPENS=9
WARMUP_SECONDS=10
NO_CAMERA_SECONDS=20

source tools/scripts/wine_env.sh
tools/scripts/install_deps.sh
cmake --preset "$WINE_BUILD" >/dev/null
cmake --build --preset "$WINE_BUILD" --target KRYTray kry_simcam camctl record_args \
    kry_minimal_tray kry_perf_probe kry_countdown_cost

BUILD="$ROOT/build/$WINE_BUILD"
BIN="$BUILD/bin"
PREFIX="$BUILD/perf-prefix"
WORK="$BUILD/perf"
RESULTS="$WORK/results.txt"
STAND_IN='C:\perf\quick.exe'
rm -rf "$PREFIX" "$WORK"
mkdir -p "$WORK"
: >"$RESULTS"

program_pid=""
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
    fi
    stop_wine
    [ -n "$program_pid" ] && wait "$program_pid" 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT INT TERM

note() { echo "perf_report: $*" >&2; }
probe() { $WINE "$BIN/kry_perf_probe.exe" "$@"; }
result() { { grep "^$1=" "$RESULTS" || true; } | tail -1 | cut -d= -f2; }
put() { echo "$1=$2" >>"$RESULTS"; }

# CPU time of a process in ms from /proc/<pid>/stat (utime + stime, clock ticks), and in ns from
# the scheduler's run time summed over its threads (finer than a tick).
ticks_ms() {
    local fields
    fields=$(sed 's/^.*) //' "/proc/$1/stat")
    awk -v hz="$(getconf CLK_TCK)" '{print ($12 + $13) * 1000 / hz}' <<<"$fields"
}
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }
status_kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }
# Context switches of all the process's threads, voluntary and not: each is a wake-up.
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ {s += $2} END {print s + 0}'
}

# The Wine server of our prefix: it works in its server directory, named after the prefix's
# device and inode (under /tmp/.wine-<uid>, or a temporary folder in Debian's Wine).
server_pid() {
    local name p
    name="server-$(stat -c %D "$PREFIX")-$(printf %x "$(stat -c %i "$PREFIX")")"
    for p in /proc/[0-9]*; do
        if [ "$(basename "$(readlink "$p/cwd" 2>/dev/null)")" = "$name" ] &&
            grep -q wineserver "$p/cmdline" 2>/dev/null; then
            echo "${p#/proc/}"
            return 0
        fi
    done
    note "no Wine server found for $PREFIX"
    return 1
}

# idle <label> [pid]: CPU of the process (if any) and of the Wine server over IDLE_SECONDS.
idle() {
    local label=$1 pid=${2:-} server p0 p1 n0 n1 s0 s1 m0 m1 x0 x1
    server=$(server_pid)
    [ -n "$pid" ] && p0=$(ticks_ms "$pid") && n0=$(run_ns "$pid") && x0=$(switches "$pid")
    s0=$(ticks_ms "$server")
    m0=$(run_ns "$server")
    sleep "$IDLE_SECONDS"
    [ -n "$pid" ] && p1=$(ticks_ms "$pid") && n1=$(run_ns "$pid") && x1=$(switches "$pid")
    s1=$(ticks_ms "$server")
    m1=$(run_ns "$server")
    if [ -n "$pid" ]; then
        put "idle.$label.process_ms" "$(awk -v a="$p0" -v b="$p1" 'BEGIN {print b - a}')"
        put "idle.$label.process_run_ms" "$(awk -v a="$n0" -v b="$n1" 'BEGIN {printf "%.1f", (b - a) / 1e6}')"
        put "memory.$label.rss_kb" "$(status_kb "$pid" VmRSS)"
        put "memory.$label.anon_kb" "$(status_kb "$pid" RssAnon)"
        put "memory.$label.file_kb" "$(status_kb "$pid" RssFile)"
        put "wakeups.$label.per_s" "$(awk -v a="$x0" -v b="$x1" -v s="$IDLE_SECONDS" 'BEGIN {printf "%.1f", (b - a) / s}')"
        put "threads.$label" "$(ls /proc/"$pid"/task | wc -l)"
        cp "/proc/$pid/smaps" "$WORK/smaps.$label" 2>/dev/null || true  # where the memory goes
    fi
    put "idle.$label.server_ms" "$(awk -v a="$s0" -v b="$s1" 'BEGIN {print b - a}')"
    put "idle.$label.server_run_ms" "$(awk -v a="$m0" -v b="$m1" 'BEGIN {printf "%.1f", (b - a) / 1e6}')"
}

# start <exe> <probe name>: starts the program from here (the Linux pid of a backgrounded wine
# is the program's own) and waits for its icon and the warm-up.
start() {
    $WINE "$BIN/$1" >/dev/null 2>&1 &
    program_pid=$!
    probe wait-icon "$2" 20000 || { note "$1 shows no tray icon"; exit 1; }
    grep -q "$1" "/proc/$program_pid/cmdline" || { note "pid $program_pid is not $1"; exit 1; }
    sleep "$WARMUP_SECONDS"
}

stop() {
    probe stop "$1"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
started_at=$(date -u '+%Y-%m-%d %H:%M UTC')
start_xvfb
wine_prefix "$PREFIX" "$BIN"
settings_key 1 0
$WINE reg add 'HKLM\SOFTWARE\Velmora\QXLUMA64\Current' /v QuickLaunch /t REG_SZ /d "$STAND_IN" \
    /f /reg:64 >/dev/null 2>&1
mkdir -p "$PREFIX/drive_c/perf"
cp "$BIN/record_args.exe" "$PREFIX/drive_c/perf/quick.exe"
$WINE "$BIN/camctl.exe" plug
$WINE "$BIN/camctl.exe" active on

note "start-up: $STARTS starts of each program, in turn"
probe startup --runs "$STARTS" >>"$RESULTS"

note "idle: ${IDLE_SECONDS} s with neither program, then each alone after ${WARMUP_SECONDS} s of warm-up"
idle none
start kry_minimal_tray.exe minimal
idle minimal "$program_pid"
stop minimal
start KRYTray.exe krytray
idle krytray "$program_pid"

note "latency: $PRESSES button presses, $MENU_OPENS menu opens"
probe press "$STAND_IN" --count "$PRESSES" >>"$RESULTS"
probe menu --count "$MENU_OPENS" >>"$RESULTS"
stop krytray

note "at rest without a camera: $NO_CAMERA_SECONDS s after the warm-up"
$WINE "$BIN/camctl.exe" unplug
start KRYTray.exe krytray
x0=$(switches "$program_pid")
sleep "$NO_CAMERA_SECONDS"
x1=$(switches "$program_pid")
put "wakeups.nocamera.count" "$((x1 - x0))"
put "wakeups.nocamera.per_s" "$(awk -v n="$((x1 - x0))" -v s="$NO_CAMERA_SECONDS" 'BEGIN {printf "%.2f", n / s}')"
stop krytray
$WINE "$BIN/camctl.exe" plug

note "countdown step; the simulated driver's share"
$WINE "$BIN/kry_countdown_cost.exe" --steps 100 >>"$RESULTS"
probe driver-call --count 1000 >>"$RESULTS"
load_end=$(cut -d' ' -f1-3 /proc/loadavg)
tr -d '\r' <"$RESULTS" >"$RESULTS.tmp" && mv "$RESULTS.tmp" "$RESULTS"

# Resident memory by mapping (file, or [anon]/[heap]) where KRYTray holds more than the bare
# program, from the two smaps taken at the end of the idle windows: "kB name" lines, largest first.
memory_diff() {
    awk '
        FNR == 1 { side = (FILENAME ~ /krytray$/) ? 1 : 0 }
        /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anon]"; sub(/.*\//, "", name); next }
        /^Rss:/ { rss[name, side] += $2; names[name] = 1 }
        END {
            for (n in names) {
                d = rss[n, 1] - rss[n, 0]
                if (d >= 32) printf "%d %s\n", d, n
            }
        }' "$WORK/smaps.minimal" "$WORK/smaps.krytray" | sort -rn | head -8 |
        awk '{printf "%s%s KiB %s", (NR > 1 ? ", " : ""), $1, $2} END {print ""}'
}

# ---- the report ----
ratio() { awk -v k="$1" -v m="$2" -v d="${3:-2}" 'BEGIN {if (m > 0) printf "%.*fx", d, k / m; else print "n/a"}'; }
verdict() {
    awk -v k="$1" -v m="$2" -v g="$3" \
        'BEGIN {if (m <= 0) print "n/a"; else if (k / m <= g) print "met"; else print "missed"}'
}
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f MiB", kb / 1024}'; }
sum() { awk -v a="$1" -v b="$2" 'BEGIN {print a + b}'; }

s_min=$(result startup.minimal.icon_ms.median)
s_kry=$(result startup.krytray.icon_ms.median)
c_min=$(result startup.minimal.camera_ms.median)
c_kry=$(result startup.krytray.camera_ms.median)
i_min=$(result idle.minimal.process_run_ms)
i_kry=$(result idle.krytray.process_run_ms)
w_none=$(result idle.none.server_run_ms)
w_min=$(result idle.minimal.server_run_ms)
w_kry=$(result idle.krytray.server_run_ms)
t_min=$(sum "$i_min" "$w_min")
t_kry=$(sum "$i_kry" "$w_kry")
d_call=$(result driver_call.cpu_ms)
r_min=$(result memory.minimal.rss_kb)
r_kry=$(result memory.krytray.rss_kb)
a_min=$(result memory.minimal.anon_kb)
a_kry=$(result memory.krytray.anon_kb)
x_min=$(result wakeups.minimal.per_s)
x_kry=$(result wakeups.krytray.per_s)
n_kry=$(result wakeups.nocamera.per_s)
n_count=$(result wakeups.nocamera.count)
p_kry=$(result press.delay_ms.median)
q_kry=$(result press.delay_ms.worst)
limit() { awk -v v="$1" -v l="$2" 'BEGIN {print (v <= l) ? "met" : "missed"}'; }
cpu_model=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
mem_total=$(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)
commit=$(git rev-parse --short HEAD)
git diff --quiet HEAD -- . ':!docs/PERFORMANCE.md' 2>/dev/null || commit="$commit with uncommitted changes"
if [ "$WINE_BUILD" = win64 ]; then
    build_note="x86-64 build (\`win64\` preset, Release) under \`wine64\`: this machine cannot run 32-bit code under Wine, so the 32-bit product itself was not measured"
else
    build_note="32-bit build (\`win32\` preset, Release), the product itself"
fi
earlier=""
if [ -f "$REPORT" ]; then
    earlier=$(sed -n '/^## Earlier runs/,$p' "$REPORT")
fi

mkdir -p "$(dirname "$REPORT")"
cat >"$REPORT" <<EOF
# Performance

\`KRYTray.exe\` against a bare tray program, measured side by side in one run of
\`tools/scripts/perf_report.sh\` (rerun it to refresh this file).

- Date: $started_at; source: $commit
- Machine: $cpu_model, $(nproc) cores, $mem_total memory; $($WINE --version)
- Build: $build_note
- Load: load average $load_start at the start, $load_end at the end. The machine is shared
  with other builds, so absolute times vary from run to run; the ratios compare the two programs
  under the same conditions.

The bare program (\`tools/perf/minimal_tray\`, built by the same preset and flags) has one hidden
window and one icon, initialises COM, opens the camera's capture filter in a filter graph (the
first video input device of the system device enumerator: the simulated camera) and, in each tick
of one one-second timer, reads \`CameraStatus\` (64-bit view) and sends the driver's snapshot-button
poll; nothing else. Both run in a fresh Wine prefix
on a private Xvfb with the simulated camera plugged in and active, \`debug\` 0 and no debug viewer.

## Goals (KRYTray / bare program)

| | Bare program | KRYTray | Ratio | Goal |
|---|---:|---:|---:|---|
| Start-up to tray icon, median of $STARTS | $s_min ms | $s_kry ms | $(ratio "$s_kry" "$s_min" 3) | at most 1.2x: $(verdict "$s_kry" "$s_min" 1.2) |
| Idle CPU over $IDLE_SECONDS s, process + Wine server | $t_min ms | $t_kry ms | $(ratio "$t_kry" "$t_min" 3) | at most 1.2x: $(verdict "$t_kry" "$t_min" 1.2) |
| Idle CPU over $IDLE_SECONDS s, the process alone | $i_min ms | $i_kry ms | $(ratio "$i_kry" "$i_min" 3) | at most 1.2x: $(verdict "$i_kry" "$i_min" 1.2) |
| Resident memory (VmRSS) after warm-up | $(mb "$r_min") | $(mb "$r_kry") | $(ratio "$r_kry" "$r_min" 3) | at most 1.10x: $(verdict "$r_kry" "$r_min" 1.10) |
| Wake-ups a second at rest (context switches, all threads) | $x_min | $x_kry | $(ratio "$x_kry" "$x_min" 3) | at most 1.1x: $(verdict "$x_kry" "$x_min" 1.1) |
| At rest without a camera: wake-ups a second ($n_count in $NO_CAMERA_SECONDS s) | - | $n_kry | | at most 4 in 20 s: $(limit "$n_count" 4) |
| Snapshot button to program start, median / worst of $PRESSES | - | $p_kry / $q_kry ms | | at most 550 / 1050 ms: $(limit "$p_kry" 550) / $(limit "$q_kry" 1050) |

Both programs make the button poll, a call into the camera's driver in their own process, once a
second. The simulated driver answers it by reading its settings from the registry and appending a
line to its journal file, $d_call ms of CPU per call (\`kry_perf_probe driver-call\`, 1000 calls; a
\`CameraStatus\` read costs $(result status_read.cpu_ms) ms), in both figures alike. KRYTray makes
the call on a thread of its own (a driver call may hang, and its window thread never waits on
one), which takes its second from a timer of its own and wakes the window thread only for news
(and, every 5 s, to see whether a call is stuck). It costs the thread's own memory (about 1 MiB
resident under Wine for any thread) and the wake-ups of two threads where the bare program has
one. Without a camera nothing periodic runs at all.

The button's delay is bounded below by the poll: a press waits for the next tick, 500 ms in the
median and up to 1000 ms, and then for the quick-launch program's process to start, which under
Wine takes about as long as a program's start-up above.

## All figures

| | Bare program | KRYTray | Ratio |
|---|---:|---:|---:|
| Start-up to tray icon: median / worst (ms) | $s_min / $(result startup.minimal.icon_ms.worst) | $s_kry / $(result startup.krytray.icon_ms.worst) | $(ratio "$s_kry" "$s_min") |
| Start-up to camera filter created: median / worst (ms) | $c_min / $(result startup.minimal.camera_ms.worst) | $c_kry / $(result startup.krytray.camera_ms.worst) | $(ratio "$c_kry" "$c_min") |
| Idle CPU of the process over $IDLE_SECONDS s: run time (ticks) | $i_min ms ($(result idle.minimal.process_ms) ms) | $i_kry ms ($(result idle.krytray.process_ms) ms) | $(ratio "$i_kry" "$i_min") |
| Idle CPU of the Wine server meanwhile: run time (ticks) | $w_min ms ($(result idle.minimal.server_ms) ms) | $w_kry ms ($(result idle.krytray.server_ms) ms) | $(ratio "$w_kry" "$w_min") |
| Resident memory: VmRSS (anonymous + file) | $(mb "$r_min") ($(mb "$a_min") + $(mb "$(result memory.minimal.file_kb)")) | $(mb "$r_kry") ($(mb "$a_kry") + $(mb "$(result memory.krytray.file_kb)")) | $(ratio "$r_kry" "$r_min") |
| Private memory: resident anonymous mappings and heap (RssAnon) | $(mb "$a_min") | $(mb "$a_kry") | $(ratio "$a_kry" "$a_min") |
| Wake-ups a second at rest: context switches of all threads (threads) | $x_min ($(result threads.minimal)) | $x_kry ($(result threads.krytray)) | $(ratio "$x_kry" "$x_min") |
| Snapshot button to program start: median / worst of $PRESSES (ms) | no button handling | $(result press.delay_ms.median) / $(result press.delay_ms.worst) | |
| Right-click to menu shown: median / worst of $MENU_OPENS (ms) | no menu | $(result menu.open_ms.median) / $(result menu.open_ms.worst) | |
| Countdown step, once a second for 5 s: median / worst (ms) | no countdown | $(result step.median) / $(result step.worst) | |

Where KRYTray's resident memory over the bare program's lies, mapping by mapping
(\`/proc/<pid>/smaps\`): $(memory_diff). The anonymous part is chiefly the poller thread (about
1 MiB resident under Wine for any thread, whatever its stack size); the rest are the libraries
only KRYTray uses (the shell's and the registry's, for its menu, tip and settings). At rest KRYTray
holds no capture graph builder (made at the first still, with its DLL), no countdown pictures or
shape (made for a countdown, released when it ends) and no iostreams.

With neither program running, the Wine server used $w_none ms ($(result idle.none.server_ms) ms in
ticks) over the same $IDLE_SECONDS s: the prefix's own services and the notification area. That
background varies by tens of ms from one window to the next, so the process figures are the
steadier measure of what each program itself does when idle.

Single starts (ms to icon), in order: bare program $(result startup.minimal.icon_ms.all);
KRYTray $(result startup.krytray.icon_ms.all).
Button presses (ms), in order: $(result press.delay_ms.all) (seed $(result press.seed); the stand-in
started $(result press.starts) times for $PRESSES presses).

## How each figure is taken

- **Start-up**: \`kry_perf_probe startup\` (tools/perf/probe) starts each program with
  \`CreateProcess\` from inside the prefix, $STARTS times each, taking turns (which one goes first
  alternates), after one untimed start of each. It polls every 2 ms for the program's first icon
  in the notification area (\`Shell_NotifyIconA(NIM_MODIFY)\` with no flags on each window of the
  icon's class in that process: it succeeds exactly when that icon is shown) and for the line
  \`filter-created\` in the simulated driver's journal. Then it ends the program as its users do
  (KRYTray: the "EXIT" record; the bare program: \`WM_CLOSE\`) and waits for the process to end.
  KRYTray shows its unplugged icon before it looks for the camera, and the bare program adds its
  icon before it opens the camera, so both rows time the same order of work.
- **Idle CPU**: each program is started from the shell, waits for its icon, gets
  ${WARMUP_SECONDS} s of warm-up, and is then left alone for $IDLE_SECONDS s, one program at a
  time (one Wine server serves both, so running them together would mix their server time).
  Process: \`/proc/<pid>/stat\` utime + stime (10 ms ticks, in brackets) and the scheduler's run
  time summed over its threads (\`/proc/<pid>/task/*/schedstat\`, the figure compared). Wine server:
  the same for the prefix's \`wineserver\`, which also serves the prefix's other processes (see the
  idle line above). Each second KRYTray reads \`CameraStatus\` on its status tick and after its
  button poll, and makes the poll's driver call; the simulated driver answers it in KRYTray's
  process and appends a line to its journal file, work a real driver does in the kernel.
- **Memory**: \`VmRSS\` and \`RssAnon\` from \`/proc/<pid>/status\` at the end of the idle window.
  Under Wine this includes Wine's own libraries mapped into every process, the same for both.
- **Wake-ups**: the voluntary and involuntary context switches of every thread of the process
  (\`/proc/<pid>/task/*/status\`) over the idle window, a second. Wine's own threads of the process
  count too, the same for both.
- **Button to program**: with KRYTray running and its quick-launch program set to a stand-in
  (\`record_args.exe\`, which writes its \`GetTickCount64\` at start), \`kry_perf_probe press\` waits
  a random 0 to 999 ms (a random phase of the one-second poll), reads \`GetTickCount64\`, presses
  the simulated button (what \`camctl press\` does, called directly so no process start is timed)
  and waits for the stand-in's line. The bare program has no button handling: KRYTray only.
- **Right-click to menu**: \`kry_perf_probe menu\` posts KRYTray's icon callback as the shell
  reports a right-click (\`WM_RBUTTONUP\`, then \`WM_CONTEXTMENU\`) at a random phase and polls
  every 1 ms until a visible \`#32768\` window of the process shows; then Escape closes it.
- **Countdown step**: \`kry_countdown_cost\` (tools/perf/countdown_cost) links KRYTray's overlay
  window and resources and makes, $(result steps) times, the calls of one countdown tick
  (\`Reshape\`, a full redraw, show), timing each in-process with the steady clock. Xvfb's share of
  drawing the shaped window is not included. For comparison, the same step with the shape's
  region rebuilt from the bitmap each time (as before the region was kept):
  $(result rebuilding_step.median) ms median, of which the rebuild alone is
  $(result region_build.median) ms. The overlay's first step (creating the window and its region)
  took $(result first_step_ms) ms. Process CPU per step (\`GetProcessTimes\`):
  $(result step.cpu_ms_per_step) ms kept region, $(result rebuilding_step.cpu_ms_per_step) ms rebuilt.
EOF
if [ -n "$earlier" ]; then
    printf '\n%s\n' "$earlier" >>"$REPORT"
fi
note "wrote $REPORT"
cat "$RESULTS"
