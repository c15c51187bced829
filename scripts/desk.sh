# shellcheck shell=bash
# The test desk: a display of its own for the program, a window manager and a
# session bus, one clean-up stack run when the shell exits, waits, and the
# verbs that drive the program there from outside as a user would. The Linux
# and the Windows tests, the screenshots, the benchmarks and scripts/run.sh
# all run on it.
#
#   source scripts/desk.sh
#   desk_start [display] [wm] [bus]   # all three when none is named
#   desk_spawn <name> <command...>    # a process of the desk
#   desk_on_exit <command>            # a clean-up step
#
# desk_start starts a private Xvfb (exporting DISPLAY), openbox, and a session
# bus (exporting DBUS_SESSION_BUS_ADDRESS); desk_spawn starts a process in the
# background with its output in $DESK_TMP/<name>.log. When the shell exits,
# the clean-up steps run, the last added first, then every process of the
# desk ends, the last started first, and $DESK_TMP goes; INT, TERM and HUP
# become an ordinary exit. desk_stop does the last part at once; it may be
# called twice.
#
# The verbs (pellux_*, tray_*, pointer_park) are the same for the Linux and
# the Windows program. The file that sources this one says how its program
# starts and where its icon and menu are, by defining
#   _pellux_exec [args...]  replaces the shell with the program, $PELLUX_EXE
#   _tray_icon              prints the icon's id if it is in the tray, else fails
#   _tray_icon_rect <id>    prints the icon's left, top, width and height
#   _tray_menu              prints the open tray menu's id, else fails
# and fail <message>, which reports and ends the script.
#
# Every wait polls until its condition holds; DESK_TIMEOUT (seconds, default
# 20) only guards against a condition that never comes.

DESK_TIMEOUT=${DESK_TIMEOUT:-20}
DESK_TMP=""
DESK_PIDS=()
DESK_ON_EXIT=()
# tray_click clicks at least this long after the click before.
DESK_CLICK_GAP_MS=${DESK_CLICK_GAP_MS:-0}
# Where pointer_park leaves the pointer: a corner away from the tray.
DESK_POINTER_PARK=${DESK_POINTER_PARK:-0 0}
PELLUX_PID=""
PELLUX_STATUS=""
_desk_shell=""
_desk_display=""
_desk_old_display=""

desk_err() { printf '%s\n' "$*" >&2; }

_desk_now_ms() { echo "$((${EPOCHREALTIME/[.,]/} / 1000))"; }

# wait_until <command...>: runs the command every 50 ms until it succeeds;
# fails after DESK_TIMEOUT seconds.
wait_until() {
  local deadline=$(($(_desk_now_ms) + DESK_TIMEOUT * 1000))
  until "$@" >/dev/null 2>&1; do
    (($(_desk_now_ms) < deadline)) || return 1
    sleep 0.05
  done
}

# desk_alive <pid>: true while the process runs (a finished child of this
# shell stays a zombie until `wait`, which `kill -0` would still count).
desk_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [[ ${stat%% *} != Z ]]
}

# desk_wait_gone <pid>: waits until the process has ended.
_desk_dead() { ! desk_alive "$1"; }
desk_wait_gone() { wait_until _desk_dead "$1"; }

# desk_end <pid>: ends a process this shell started and collects it. One that
# has ended already is fine: under set -e a failed kill would otherwise cut
# the clean-up short and leave the display and the rest running.
desk_end() {
  [[ -n ${1:-} ]] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  local pid kept=()
  for pid in "${DESK_PIDS[@]}"; do [[ $pid == "$1" ]] || kept+=("$pid"); done
  DESK_PIDS=("${kept[@]}")
}

desk_on_exit() {
  # A subshell has clean-ups of its own, and no trap yet.
  if [[ $_desk_shell != "$BASHPID" ]]; then
    _desk_shell=$BASHPID
    DESK_ON_EXIT=()
    trap _desk_exit EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
  fi
  DESK_ON_EXIT+=("$1")
}

_desk_exit() {
  local i
  for ((i = ${#DESK_ON_EXIT[@]} - 1; i >= 0; i--)); do
    eval "${DESK_ON_EXIT[i]}" || true
  done
  DESK_ON_EXIT=()
}

# desk_tmp: makes $DESK_TMP, a folder the desk removes when it ends.
desk_tmp() {
  [[ -z $DESK_TMP ]] || return 0
  DESK_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pellux-desk.XXXXXX") || return 1
  desk_on_exit desk_stop
}

desk_stop() {
  desk_end "$PELLUX_PID"
  PELLUX_PID=""
  # The panel and the window manager before the display they run on.
  local i
  for ((i = ${#DESK_PIDS[@]} - 1; i >= 0; i--)); do
    desk_end "${DESK_PIDS[i]}"
  done
  if [[ -n $DESK_TMP ]]; then
    rm -rf "$DESK_TMP"
    DESK_TMP=""
  fi
  if [[ -n $_desk_display ]]; then
    _desk_display=""
    if [[ -n $_desk_old_display ]]; then export DISPLAY=$_desk_old_display; else unset DISPLAY; fi
  fi
}

desk_spawn() {
  local name=$1
  shift
  "$@" </dev/null >>"$DESK_TMP/$name.log" 2>&1 &
  DESK_PIDS+=($!)
}

desk_start() {
  local part parts=("$@")
  ((${#parts[@]} > 0)) || parts=(display wm bus)
  desk_tmp || return 1
  for part in "${parts[@]}"; do
    "_desk_start_$part" || return 1
  done
}

_desk_start_display() {
  # -noreset: the server stays as it is when its last client goes, as a
  # user's display would. -displayfd picks a free display and tells its
  # number once the server accepts connections.
  desk_spawn xvfb Xvfb -displayfd 9 -noreset -screen 0 1024x768x24 -nolisten tcp \
    9>"$DESK_TMP/display"
  if ! wait_until grep -q '^[0-9]' "$DESK_TMP/display"; then
    desk_err "Xvfb did not start:"
    sed 's/^/  /' "$DESK_TMP/xvfb.log" >&2
    return 1
  fi
  _desk_display=1
  _desk_old_display=${DISPLAY:-}
  DISPLAY=":$(head -n1 "$DESK_TMP/display")"
  export DISPLAY
}

_desk_has_wm() { grep -q 'window id' <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK)"; }
_desk_start_wm() {
  # openbox's stock title bar has iconify and maximize buttons on every
  # window, even one that asks for a close box only, and cuts a short
  # window's title for them: here it shows the title and the close box.
  sed 's|<titleLayout>.*</titleLayout>|<titleLayout>LC</titleLayout>|' \
    /etc/xdg/openbox/rc.xml >"$DESK_TMP/openbox.xml"
  desk_spawn openbox openbox --sm-disable --config-file "$DESK_TMP/openbox.xml"
  wait_until _desk_has_wm || {
    desk_err "openbox did not start"
    return 1
  }
}

# The session bus, on which the program owns its name and panels look for
# StatusNotifierItems.
_desk_start_bus() {
  desk_spawn dbus dbus-daemon --session --nofork --nopidfile --address="unix:path=$DESK_TMP/bus"
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$DESK_TMP/bus"
  wait_until bus_call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.GetId || {
    desk_err "the session bus did not start"
    return 1
  }
}

# bus_call <service> <path> <interface.method> [argument...]: a call on the
# session bus; prints the answer.
bus_call() {
  gdbus call --session --timeout 5 --dest "$1" --object-path "$2" --method "$3" "${@:4}"
}

# ---------------------------------------------------------------------------
# The verbs

# pellux_start [args...]: starts the program in the background, its output in
# $DESK_TMP/pellux.log and its PID in PELLUX_PID. It first waits until the
# tray holds no icon, so that what is found there later is this program's
# icon and not that of one still on its way out.
pellux_start() {
  ! pellux_running || fail "pellux_start: the program is already running"
  desk_tmp || fail "no temporary folder"
  tray_icon_gone || fail "a tray icon of an earlier program stays in the tray"
  _pellux_exec "$@" </dev/null >"$DESK_TMP/pellux.log" 2>&1 &
  PELLUX_PID=$!
}

# pellux_running: true while the program started by pellux_start runs.
pellux_running() { [[ -n $PELLUX_PID ]] && desk_alive "$PELLUX_PID"; }

# pellux_wait_exit: waits for the program to end and leaves its exit status
# in PELLUX_STATUS; fails if it keeps running. Not to be called in a
# subshell: only this shell can collect the status.
# shellcheck disable=SC2034 # PELLUX_STATUS is read by the scripts that source this file
pellux_wait_exit() {
  [[ -n $PELLUX_PID ]] || return 1
  desk_wait_gone "$PELLUX_PID" || return 1
  PELLUX_STATUS=0
  wait "$PELLUX_PID" || PELLUX_STATUS=$?
  PELLUX_PID=""
}

# pellux_kill: ends the program the hard way (SIGTERM, then SIGKILL if it is
# still there) and waits until it is gone.
pellux_kill() {
  [[ -n $PELLUX_PID ]] || return 0
  kill -TERM "$PELLUX_PID" 2>/dev/null || true
  desk_wait_gone "$PELLUX_PID" || kill -KILL "$PELLUX_PID" 2>/dev/null || true
  pellux_wait_exit || true
}

# tray_icon_wait: waits until the icon is in the tray and prints its id.
tray_icon_wait() { wait_until _tray_icon && _tray_icon; }
_tray_icon_none() { ! _tray_icon; }
tray_icon_gone() { wait_until _tray_icon_none; }

# tray_icon_center: prints "X Y", the middle of the icon on the screen.
tray_icon_center() {
  local icon rect x y w h
  icon=$(tray_icon_wait) || fail "no tray icon appeared"
  rect=$(_tray_icon_rect "$icon") || fail "tray icon $icon has no rectangle"
  read -r x y w h <<<"$rect"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# tray_hover: moves the pointer onto the icon, with a small movement on it:
# a tooltip shows once the pointer has rested over the icon after moving
# inside it.
tray_hover() {
  local pos x y
  pos=$(tray_icon_center) || exit 1
  read -r x y <<<"$pos"
  xdotool mousemove "$((x - 2))" "$((y - 2))" sleep 0.05 mousemove "$x" "$y" ||
    fail "xdotool could not move the pointer"
}

# tray_click <button> [count]: clicks the icon (1 left, 2 middle, 3 right),
# count times (2: a double click). The time of the click is kept in a file:
# callers in subshells ($(tray_menu_open)) click too.
tray_click() {
  local pos x y last gap
  pos=$(tray_icon_center) || exit 1
  read -r x y <<<"$pos"
  last=$(cat "$DESK_TMP/last-click" 2>/dev/null) || last=0
  gap=$((last + DESK_CLICK_GAP_MS - $(_desk_now_ms)))
  if ((gap > 0)); then sleep "$(printf '%d.%03d' $((gap / 1000)) $((gap % 1000)))"; fi
  # Clicks of one gesture come 80 ms apart, well inside a double click.
  local clicks=(click "${1:?tray_click <button>}") i
  for ((i = 1; i < ${2:-1}; i++)); do clicks+=(sleep 0.08 click "$1"); done
  xdotool mousemove "$x" "$y" "${clicks[@]}" || fail "xdotool could not click"
  _desk_now_ms >"$DESK_TMP/last-click"
}

# tray_menu_open: right-clicks the icon and prints the menu's id once it
# shows.
tray_menu_open() {
  tray_click 3
  wait_until _tray_menu && _tray_menu
}

# pointer_park: moves the pointer away from the tray, so that no tooltip
# stays up.
pointer_park() {
  # shellcheck disable=SC2086 # two coordinates
  xdotool mousemove $DESK_POINTER_PARK || fail "xdotool could not move the pointer"
}
