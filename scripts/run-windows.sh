#!/usr/bin/env bash
# Installs what is missing, builds the Windows program pellux.exe and starts
# it under Wine. On a machine with a display it runs there; without one it
# runs on a virtual display of its own, in Wine's tray window. Either way it
# runs until its "Exit" command or Ctrl+C, which end the Wine session (and
# the virtual display) with it.
#
# It runs the 32-bit build (build/win32/pellux.exe) wherever the host can
# execute 32-bit code, and the 64-bit build (build/win64/pellux.exe)
# elsewhere; PELLUX_WINDOWS_BUILD=win32 or win64 chooses one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
# shellcheck source=wine-session.sh
source scripts/wine-session.sh
build=$(wine_session_pick_build "${PELLUX_WINDOWS_BUILD:-}")
export WINE_SESSION_ARCH=$build
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target pellux

display=${DISPLAY:-}
wine_session_start "$PWD/build/$build/run-prefix"
wine_session_install_trap
if [[ -n $display ]]; then
  echo "Pellux is running in the notification area; choose Exit from its menu to end it."
else
  echo "No display here: Pellux is running on the virtual display $DISPLAY, in Wine's tray window."
  echo "See it with 'DISPLAY=$DISPLAY import -window root screen.png'; Exit in its menu or Ctrl+C ends it."
fi
# In the background, where Ctrl+C reaches this script only, which then ends
# the program and after it the session. Its output goes to a file, shown if
# it fails: a program cut off from its display by Ctrl+C says so too.
log=$(mktemp "${TMPDIR:-/tmp}/pellux-run.XXXXXX")
wine "build/$build/pellux.exe" </dev/null >"$log" 2>&1 &
pellux=$!
desk_on_exit 'desk_end "$pellux"; rm -f "$log"'
status=0
wait "$pellux" || status=$?
if ((status != 0)); then
  echo "run-windows: Pellux ended with status $status:" >&2
  cat "$log" >&2
fi
exit "$status"
