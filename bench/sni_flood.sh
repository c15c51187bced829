#!/usr/bin/env bash
# Floods the tray item of the Linux program (the bench build, optimised like
# the shipped one) with 30,000 Properties.GetAll calls from one client of a
# private session bus, and prints what a panel sees meanwhile: how long a
# ToolTip read takes during the flood, and the program's resident memory
# before, at the peak and a few seconds after. The targets: the read answers
# within 100 ms while a client keeps 64 calls in flight, and memory after
# each flood is within 10 % of before. When every call is sent at once, the
# first read waits behind the whole queue as it would behind the lightest
# call (the "floor" run): that is the bus's order, reported, not judged.
#
# Usage: bench/sni_flood.sh [CALLS]
# Exits non-zero when a measurement could not be made or a target is missed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

CALLS=${1:-30000}
cmake --preset bench >/dev/null
cmake --build --preset bench --target pellux sni_flood >/dev/null

WORK=$(mktemp -d)
trap 'cat "$WORK/pellux.err" >&2; rm -rf "$WORK"' EXIT
export HOME=$WORK XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Three floods, one after the other on the same program: every GetAll sent
# at once; every Get of the lightest property sent at once, which shows what
# the bus itself costs when a read waits behind 30,000 queued calls; and
# GetAll with 64 calls in flight, as a busy client that reads its answers.
# shellcheck disable=SC2016
dbus-run-session -- bash -c '
  set -euo pipefail
  QT_QPA_PLATFORM=offscreen "$1" 2>"$2/pellux.err" &
  pellux=$!
  trap "kill $pellux 2>/dev/null || true" EXIT
  sleep 1
  for flood in "burst $4 GetAll" "floor $4 Status" "window 64 GetAll"; do
    read -r name window property <<<"$flood"
    "$3" "$pellux" "$4" "$window" "$property" | sed "s/^/$name /"
  done
' flood build/bench/pellux "$WORK" build/bench/bench/sni_flood "$CALLS" | tee "$WORK/results"

awk '
  $2 == "tooltip_during_flood_worst" { worst[$1] = $3 }
  $2 == "rss_before" { before[$1] = $3 }
  $2 == "rss_after" { after[$1] = $3 }
  END {
    if (worst["window"] == "" || after["burst"] == "") { print "bench: no measurement"; exit 1 }
    missed = 0
    if (worst["window"] > 100) { print "missed: a ToolTip read took " worst["window"] " ms"; missed = 1 }
    for (run in after) {
      if (after[run] > before[run] * 1.10) {
        print "missed: memory after the " run " flood is " after[run] " kB, before " before[run] " kB"
        missed = 1
      }
    }
    exit missed
  }' "$WORK/results"
