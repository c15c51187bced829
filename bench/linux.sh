#!/usr/bin/env bash
# The Linux part of the benchmark: the native program (release build) against
# the least Qt tray program (bench/floor/floor_qt.cpp: an application, a tray
# icon with the program's icon and a tip, a timer), both built in the same
# CMake run with the same compiler and flags. On a private Xvfb with trayer as
# the XEmbed tray and no session bus, the two are started in turn, RUNS times
# each; every start is timed from fork to the icon visible in the tray, and a
# second later its resident and proportional memory are read. Prints one
# table of medians.
#
# Usage: bench/linux.sh (bench/run.sh runs it first). BENCH_LINUX_RUNS sets
# the starts of each program (default 11).
# Exits non-zero only when a measurement could not be made; a missed target
# is reported in the table.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

LINUX_RUNS=${BENCH_LINUX_RUNS:-11}
LINUX_TARGET=1.05

echo "Building the Linux programs..." >&2
cmake --preset bench >/dev/null
cmake --build --preset bench --target pellux floor_qt linux_probe >/dev/null
LINUX_PELLUX=$PWD/build/bench/pellux
LINUX_FLOOR=$PWD/build/bench/bench/floor_qt
LINUX_PROBE=$PWD/build/bench/bench/linux_probe
LINUX_WORK=$PWD/build/bench/results
mkdir -p "$LINUX_WORK"

# The display and the tray. No session bus: both programs go to the XEmbed
# tray, and neither can start a bus of its own.
# shellcheck source-path=SCRIPTDIR/.. source=scripts/desk.sh
source scripts/desk.sh
desk_start display
export DBUS_SESSION_BUS_ADDRESS=disabled:
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir "$DESK_TMP/config" "$DESK_TMP/runtime"
chmod 700 "$DESK_TMP/runtime"
export XDG_CONFIG_HOME=$DESK_TMP/config XDG_RUNTIME_DIR=$DESK_TMP/runtime
desk_tray_start || { echo "bench: trayer did not start" >&2; exit 1; }
tray_window=$(desk_panel)

# One start of each, not counted, so that both find the same caches warm.
"$LINUX_PROBE" "$tray_window" 200 "$LINUX_PELLUX" >/dev/null
"$LINUX_PROBE" "$tray_window" 200 "$LINUX_FLOOR" >/dev/null

echo "Linux: $LINUX_RUNS alternating starts each..." >&2
: >"$LINUX_WORK/linux.txt"
for ((run = 0; run < LINUX_RUNS; run++)); do
  for program in pellux floor; do
    exe=$LINUX_PELLUX
    [[ $program == floor ]] && exe=$LINUX_FLOOR
    line=$("$LINUX_PROBE" "$tray_window" 1000 "$exe") ||
      { echo "bench: $program showed no icon" >&2; exit 1; }
    echo "$program $line" >>"$LINUX_WORK/linux.txt"
    # The tray lays itself out again when an icon leaves: the next start
    # finds it at rest.
    sleep 0.3
  done
done

linux_median() {
  awk -v p="$1" -v c="$2" '$1 == p { print $c }' "$LINUX_WORK/linux.txt" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR % 2) printf "%.1f", v[(NR + 1) / 2]; else printf "%.1f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
linux_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }
linux_verdict() { awk -v r="$1" -v l="$LINUX_TARGET" 'BEGIN { print (r <= l ? "met" : "MISSED") }'; }
linux_row() {
  local p f r
  p=$(linux_median pellux "$2")
  f=$(linux_median floor "$2")
  r=$(linux_ratio "$p" "$f")
  echo "| $1 | $p | $f | $r | ≤ $LINUX_TARGET: $(linux_verdict "$r") |"
}
# The Qt modules a program links.
qt_modules() { ldd "$1" | grep -o 'libQt6[A-Za-z]*' | sed 's/libQt6//' | sort -u | paste -sd ' '; }

echo
echo "Pellux on Linux against the least Qt tray, $(date -u +%Y-%m-%d): Xvfb, trayer, no session bus, Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6), Debian $(cat /etc/debian_version)"
echo
echo "| Linux, XEmbed tray | Pellux | Least Qt tray | Ratio | Target |"
echo "|---|---:|---:|---:|---|"
linux_row "start to tray icon, ms (median of $LINUX_RUNS alternating starts)" 2
linux_row "resident memory, KiB (median, 1 s after the icon)" 3
linux_row "proportional memory, KiB (median, 1 s after the icon)" 4
echo "| binary, bytes | $(stat -c %s "$LINUX_PELLUX") | $(stat -c %s "$LINUX_FLOOR") | | |"
echo
echo "Qt modules linked:"
echo "  pellux:   $(qt_modules "$LINUX_PELLUX")"
echo "  floor_qt: $(qt_modules "$LINUX_FLOOR")"
echo
