#!/usr/bin/env bash
# Installs what is missing, builds the native Linux Pellux and starts it. On a
# machine with a display it runs there, in the desktop's tray, until its
# "Exit" command. Without one it runs on a virtual display of its own, with a
# window manager and a tray panel, until it ends or Ctrl+C ends it, which
# also ends the display. scripts/run-windows.sh does the same for the Windows
# program under Wine; scripts/screenshots.sh takes the README's pictures.
# shellcheck disable=SC2119 # the desk's functions take optional arguments
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target pellux
PELLUX_EXE=$PWD/build/linux-release/pellux

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  echo "Pellux is running in the notification area; choose Exit from its menu to end it."
  exec "$PELLUX_EXE"
fi

# shellcheck source-path=SCRIPTDIR source=desk.sh
source scripts/desk.sh
desk_start
# The virtual display is a session of its own: a Pellux running in another
# session of this user does not take this start over.
export XDG_RUNTIME_DIR=$DESK_TMP
desk_tray_start
pellux_start
if ! tray_icon_wait >/dev/null; then
  echo "run: the icon did not reach the tray:" >&2
  cat "$DESK_TMP/pellux.log" >&2
  exit 1
fi
echo "No display here: Pellux is running on the virtual display $DISPLAY, in the tray at its bottom right."
echo "See it with 'DISPLAY=$DISPLAY import -window root screen.png'; Exit in its menu or Ctrl+C ends it."
status=0
wait "$PELLUX_PID" || status=$?
PELLUX_PID=""
if ((status != 0)); then
  echo "run: Pellux ended with status $status:" >&2
  cat "$DESK_TMP/pellux.log" >&2
fi
exit "$status"
