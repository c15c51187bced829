#!/usr/bin/env bash
# Measures the Linux program against the least Qt tray (bench/linux.sh), then
# pellux.exe against the floor (bench/floor: the least a tray program
# can be, built with the same toolchain and flags) and prints one table:
#
#   - executable size, and the DLLs each one imports;
#   - start-up, process start to the icon in the tray, under Wine on a
#     virtual display: median of alternating runs;
#   - memory (working set and private pages) after start-up and after 1,000
#     poll cycles, the cycles delivered as timer ticks to the main window;
#     beside the floor, a reference that also looks the address up at every
#     tick (floor_lookup) shows what the sockets library itself costs;
#   - cost of one poll cycle on the native build: instructions counted by
#     callgrind over 10,000 cycles with the real POSIX sockets, the resolver's
#     calls counted apart from the program's own work.
#
# Usage: bench/run.sh
# Settings (environment): BENCH_STARTUP_RUNS (default 31 each), BENCH_TICKS
# (1000), BENCH_CYCLES (10000), BENCH_BUILD (win32 or win64: which Windows
# build to measure; by default the 32-bit one where the host can run 32-bit
# code, else the 64-bit one). The floors are built with the same toolchain as
# the build measured, so like is always compared with like.
#
# Builds what it needs (that Windows preset and bench), runs in a Wine prefix
# of its own (build/bench/wineprefix-<build>) on a private Xvfb, and leaves
# nothing running.
# Exits non-zero only when a measurement could not be made; a missed target
# is reported in the table.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

RUNS=${BENCH_STARTUP_RUNS:-31}
TICKS=${BENCH_TICKS:-1000}
CYCLES=${BENCH_CYCLES:-10000}

scripts/install-deps.sh
# The native program against the least Qt tray first: a table of its own.
bench/linux.sh
# shellcheck source-path=SCRIPTDIR/.. source=scripts/wine-session.sh
source scripts/wine-session.sh
BUILD=$(wine_session_pick_build "${BENCH_BUILD:-}")
case $BUILD in
win32) BITS=32 OBJDUMP=i686-w64-mingw32-objdump ;;
win64) BITS=64 OBJDUMP=x86_64-w64-mingw32-objdump ;;
esac
for tool in valgrind callgrind_annotate; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is not installed" >&2; exit 1; }
done

echo "Building..." >&2
cmake --preset "$BUILD" >/dev/null
cmake --build --preset "$BUILD" --target pellux floor floor_std floor_lookup bench_probe >/dev/null
cmake --preset bench >/dev/null
cmake --build --preset bench --target poll_cost >/dev/null

WIN=$PWD/build/$BUILD
PELLUX=$WIN/pellux.exe
FLOOR=$WIN/bench/floor.exe
FLOOR_STD=$WIN/bench/floor_std.exe
FLOOR_LOOKUP=$WIN/bench/floor_lookup.exe
PROBE=$WIN/bench/probe.exe
POLL_COST=$PWD/build/bench/bench/poll_cost
WORK=$PWD/build/bench/results
mkdir -p "$WORK"

# ---------------------------------------------------------------------------
# Helpers

# ratio <a> <b>: a/b with three decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

# verdict <ratio> <limit>: "met" or "MISSED".
verdict() { awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l ? "met" : "MISSED") }'; }

# median: of the numbers on stdin, one a line.
median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "nan"; exit }
    if (NR % 2) printf "%.1f", v[(NR + 1) / 2]; else printf "%.1f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# imports <exe>: the DLLs the executable imports, one line.
imports() {
  "$OBJDUMP" -p "$1" | awk '/DLL Name:/ { printf "%s%s", sep, $3; sep = " " }'
}

# Windows' own DLLs, which any Windows has: a program may import these only.
SYSTEM_DLLS=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll version.dll ws2_32.dll "

# foreign_imports <exe>: imported DLLs that are not Windows' own.
foreign_imports() {
  local dll foreign=""
  for dll in $(imports "$1"); do
    [[ $SYSTEM_DLLS == *" ${dll,,} "* ]] || foreign+=" $dll"
  done
  echo "${foreign# }"
}

# ---------------------------------------------------------------------------
# Sizes

pellux_size=$(stat -c %s "$PELLUX")
floor_size=$(stat -c %s "$FLOOR")
floor_std_size=$(stat -c %s "$FLOOR_STD")
for exe in "$PELLUX" "$FLOOR" "$FLOOR_STD" "$FLOOR_LOOKUP"; do
  foreign=$(foreign_imports "$exe")
  [[ -z $foreign ]] || { echo "bench: $(basename "$exe") imports $foreign" >&2; exit 1; }
done

# ---------------------------------------------------------------------------
# The Wine session

# The stored interval is set long, so that only the ticks this script delivers
# run poll cycles.
bench_prefix_hook() {
  wine reg add 'HKCU\Software\Pellux\Options' /v Interval /t REG_SZ /d 30000 /f \
    </dev/null >/dev/null 2>&1
}
echo "Starting Wine..." >&2
WINE_SESSION_ARCH=$BUILD WINE_SESSION_XVFB=1 WINE_SESSION_PREFIX_HOOK=bench_prefix_hook \
  wine_session_start "$PWD/build/bench/wineprefix-$BUILD"
wine_session_install_trap
wine_version=$(wine --version)

probe() { wine "$PROBE" "$@" </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# ---------------------------------------------------------------------------
# Start-up: alternating runs, each from CreateProcess to a visible tray icon.

echo "Start-up: $RUNS runs each..." >&2
probe startup "$RUNS" "$PELLUX" "$FLOOR" >"$WORK/startup.txt"
pellux_start=$(awk '$1 == 0 { print $2 }' "$WORK/startup.txt" | median)
floor_start=$(awk '$1 == 1 { print $2 }' "$WORK/startup.txt" | median)
start_count=$(awk '$1 == 0' "$WORK/startup.txt" | wc -l)
((start_count == RUNS)) || { echo "bench: only $start_count start-up runs" >&2; exit 1; }

# ---------------------------------------------------------------------------
# Memory and the DLLs loaded while running

# private_kib <pid>: pages of the process that no other process shares.
private_kib() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }

# working_set_kib <class>: the working set GetProcessMemoryInfo reports for
# the process of the window (under Wine: its resident set).
working_set_kib() { probe memory "$1" | awk '/^working-set/ { print int($2 / 1024) }'; }

# Memory figures by program and moment: MEMORY[<name>,ws0] and so on.
declare -A MEMORY

# measure <name> <exe> <window-class>: working set (ws) and private pages
# (priv) after start-up (0) and after $TICKS cycles (1).
measure() {
  local name=$1 exe=$2 class=$3 pid
  wine "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  probe wait-icon >/dev/null || { echo "bench: $name showed no icon" >&2; exit 1; }
  sleep 1 # the start-up lookup and whatever the program does once
  MEMORY[$name,ws0]=$(working_set_kib "$class")
  MEMORY[$name,priv0]=$(private_kib "$pid")
  probe ticks "$class" "$TICKS" || { echo "bench: $name did not take the ticks" >&2; exit 1; }
  sleep 0.5
  MEMORY[$name,ws1]=$(working_set_kib "$class")
  MEMORY[$name,priv1]=$(private_kib "$pid")
  probe close "$class" >/dev/null
  wait "$pid" || true
}

# loaded_dlls <exe> <window-class>: the DLLs the program has loaded once it
# has started and run one cycle, as Wine's loader reports them.
loaded_dlls() {
  local exe=$1 class=$2 pid log
  log="$WORK/loaddll-$(basename "$1").txt"
  WINEDEBUG=+loaddll wine "$exe" </dev/null >/dev/null 2>"$log" &
  pid=$!
  probe wait-icon >/dev/null && sleep 0.5 && probe ticks "$class" 1
  probe close "$class" >/dev/null
  wait "$pid" || true
  grep -o 'Loaded L"[^"]*"' "$log" | sed 's/.*\\\\//; s/"$//' | tr '[:upper:]' '[:lower:]' |
    grep -v '\.exe$' | sort -u
}

echo "Memory: start-up, then $TICKS poll cycles..." >&2
measure pellux "$PELLUX" PelluxMain
measure floor "$FLOOR" PelluxFloor
measure lookup "$FLOOR_LOOKUP" PelluxFloor
pellux_loaded=$(loaded_dlls "$PELLUX" PelluxMain)
floor_loaded=$(loaded_dlls "$FLOOR" PelluxFloor)
extra_loaded=$(comm -23 <(echo "$pellux_loaded") <(echo "$floor_loaded") | tr '\n' ' ')

wine_session_stop

# ---------------------------------------------------------------------------
# Cost of a poll cycle: callgrind counts the instructions run inside
# frmMain::Timer1_Timer; those inside the sockets binding's calls are the
# resolver's, the rest is the program's own work.

echo "Poll cycle: callgrind over $CYCLES cycles..." >&2
valgrind --tool=callgrind --callgrind-out-file="$WORK/callgrind.out" \
  --toggle-collect='*frmMain::Timer1_Timer*' "$POLL_COST" "$CYCLES" \
  >"$WORK/poll_cost.txt" 2>"$WORK/callgrind.log"
callgrind_annotate --inclusive=yes --threshold=100 "$WORK/callgrind.out" \
  >"$WORK/callgrind.txt" 2>/dev/null
# inclusive <function>: instructions run inside the function, callees included.
inclusive() {
  awk -v f="$1" 'index($0, f) { gsub(",", "", $1); print $1; exit }' "$WORK/callgrind.txt"
}
cycle_total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }' "$WORK/callgrind.txt")
resolver_total=0
for call in WSAStartup gethostname gethostbyname; do
  cost=$(inclusive "MeasuredSockets::$call(")
  [[ -n $cost ]] || { echo "bench: callgrind saw no $call" >&2; exit 1; }
  resolver_total=$((resolver_total + cost))
done
per_cycle() { awk -v n="$1" -v c="$CYCLES" 'BEGIN { printf "%.0f", n / c }'; }
own_total=$((cycle_total - resolver_total))
own_share=$(awk -v o="$own_total" -v t="$cycle_total" 'BEGIN { printf "%.2f", 100 * o / t }')
# The same by time, natively: the real run against one with a canned resolver.
real_ns=$("$POLL_COST" $((CYCLES * 10)) | awk '/^ns-per-cycle/ { print $2 }')
canned_ns=$("$POLL_COST" --canned $((CYCLES * 100)) | awk '/^ns-per-cycle/ { print $2 }')
time_share=$(awk -v c="$canned_ns" -v r="$real_ns" 'BEGIN { printf "%.2f", 100 * c / r }')

# ---------------------------------------------------------------------------
# The table

size_ratio=$(ratio "$pellux_size" "$floor_std_size")
start_ratio=$(ratio "$pellux_start" "$floor_start")
# memory_row <label> <figure>: Pellux, the floor and the reference.
memory_row() {
  local p=${MEMORY[pellux,$2]} f=${MEMORY[floor,$2]} l=${MEMORY[lookup,$2]} r
  r=$(ratio "$p" "$f")
  echo "| $1 | $p | $f | $r | ≤ 1.1: $(verdict "$r" 1.1) | $l | $(ratio "$p" "$l") |"
}

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Pellux benchmarks of the $BITS-bit Windows build against $BITS-bit floors, $(date -u +%Y-%m-%d): $cpu, $(nproc) cores, $wine_version, Debian $(cat /etc/debian_version)"
echo
echo "| Size and start-up | Pellux | Floor | Ratio | Target |"
echo "|---|---:|---:|---:|---|"
echo "| exe size, bytes (floor without the C++ library) | $pellux_size | $floor_size | $(ratio "$pellux_size" "$floor_size") | |"
echo "| exe size, bytes (floor with std::string, std::to_string) | $pellux_size | $floor_std_size | $size_ratio | ≤ 1.15: $(verdict "$size_ratio" 1.15) |"
echo "| start to tray icon, ms (median of $RUNS alternating runs) | $pellux_start | $floor_start | $start_ratio | ≤ 1.1: $(verdict "$start_ratio" 1.1) |"
echo
echo "| Memory under Wine, KiB | Pellux | Floor | Ratio | Target | Floor with lookup | Ratio |"
echo "|---|---:|---:|---:|---|---:|---:|"
memory_row "working set after start-up" ws0
memory_row "private after start-up" priv0
memory_row "working set after $TICKS cycles" ws1
memory_row "private after $TICKS cycles" priv1
echo
echo "| Poll cycle (native, POSIX sockets) | Program's own work | Resolver calls | Program's share | Target |"
echo "|---|---:|---:|---:|---|"
echo "| instructions a cycle (callgrind, $CYCLES cycles) | $(per_cycle "$own_total") | $(per_cycle "$resolver_total") | $own_share % | ≤ 2 %: $(verdict "$own_share" 2) |"
echo "| time a cycle, ns (canned resolver vs real one) | $canned_ns | $real_ns | $time_share % | |"
echo
echo "Imports (all Windows' own):"
echo "  pellux.exe:    $(imports "$PELLUX")"
echo "  floor.exe:     $(imports "$FLOOR")"
echo "  floor_std.exe: $(imports "$FLOOR_STD")"
echo "  floor_lookup.exe (reference): $(imports "$FLOOR_LOOKUP")"
echo "Loaded by pellux.exe beyond the floor's, after start-up and one cycle: $extra_loaded"
echo
echo "Working set: GetProcessMemoryInfo from another process. Private: the"
echo "process's pages no other process shares (Private_Clean + Private_Dirty of"
echo "/proc/<pid>/smaps_rollup); Wine leaves PrivateUsage at 0 for other processes."
echo "Floor with lookup: the floor with the same C++ library use that also starts"
echo "sockets and resolves the host name at start and at every tick."
echo "Raw figures: $WORK"
