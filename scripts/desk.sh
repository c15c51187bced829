# shellcheck shell=bash
# The desk: a display of its own for the program, a window manager and a
# session bus, tray panels, one clean-up stack run when the shell exits,
# waits, screenshots, and the verbs that drive the program there from outside
# as a user would. The Linux and the Windows tests, the screenshots, the
# benchmarks and scripts/run.sh all run on it.
#
#   source scripts/desk.sh
#   desk_start [display] [wm] [bus]   # all three when none is named
#   desk_spawn <name> <command...>    # a process of the desk
#   desk_on_exit <command>            # a clean-up step
#   desk_tray_start                   # the XEmbed panel (trayer)
#   desk_sni_start                    # the StatusNotifierItem panel
#
# desk_start starts a private Xvfb (exporting DISPLAY), openbox, and a session
# bus (exporting DBUS_SESSION_BUS_ADDRESS); desk_spawn starts a process in the
# background with its output in $DESK_TMP/<name>.log. When the shell exits,
# the clean-up steps run, the last added first, then every process of the
# desk ends, the last started first, and $DESK_TMP goes; INT, TERM and HUP
# become an ordinary exit. desk_stop does the last part at once; it may be
# called twice.
#
# The verbs (pellux_*, tray_*, pointer_park, screenshot*) are the same for
# the Linux and the Windows program. How the program starts and where its
# icon, menu and windows are is said by
#   _pellux_exec [args...]  replaces the shell with the program, $PELLUX_EXE
#   _tray_icon              prints the icon's id if it is in the tray, else fails
#   _tray_icon_rect <id>    prints the icon's left, top, width and height
#   _tray_menu              prints the open tray menu's id, else fails
#   _window_rect <id>       prints a window's rectangle with its frame
# which this file defines for the Linux program (at its end), and
# scripts/wine-desk.sh again for the Windows program under Wine. The file that
# sources either defines fail <message>, which reports and ends the script.
#
# Every wait polls until its condition holds; DESK_TIMEOUT (seconds, default
# 20) only guards against a condition that never comes.

DESK_TIMEOUT=${DESK_TIMEOUT:-20}
DESK_TMP=""
DESK_PIDS=()
DESK_ON_EXIT=()
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
# fails after DESK_TIMEOUT seconds. wait_for does the same and then prints
# what the command prints; wait_gone waits until the command fails.
wait_until() {
  local deadline=$(($(_desk_now_ms) + DESK_TIMEOUT * 1000))
  until "$@" >/dev/null 2>&1; do
    (($(_desk_now_ms) < deadline)) || return 1
    sleep 0.05
  done
}
wait_for() { wait_until "$@" && "$@"; }
_desk_not() { ! "$@"; }
wait_gone() { wait_until _desk_not "$@"; }

# desk_alive <pid>: true while the process runs (a finished child of this
# shell stays a zombie until `wait`, which `kill -0` would still count).
desk_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [[ ${stat%% *} != Z ]]
}

# desk_wait_gone <pid>: waits until the process has ended.
desk_wait_gone() { wait_gone desk_alive "$1"; }

# desk_end <pid> [signal]: ends a process this shell started (SIGTERM) and
# collects it. One that has ended already is fine: under set -e a failed kill
# would otherwise cut the clean-up short and leave the rest running.
desk_end() {
  [[ -n ${1:-} ]] || return 0
  kill -"${2:-TERM}" "$1" 2>/dev/null || true
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

# desk_started <what> <log> <command...>: waits until the command succeeds;
# if it never does, says that <what> did not start, with $DESK_TMP/<log>.log.
desk_started() {
  wait_until "${@:3}" && return 0
  desk_err "$1 did not start:"
  sed 's/^/  /' "$DESK_TMP/$2.log" >&2
  return 1
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
  desk_started Xvfb xvfb grep -q '^[0-9]' "$DESK_TMP/display" || return 1
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
  desk_started openbox openbox _desk_has_wm
}

# The session bus, on which the program owns its name and panels look for
# StatusNotifierItems.
_desk_start_bus() {
  desk_spawn dbus dbus-daemon --session --nofork --nopidfile --address="unix:path=$DESK_TMP/bus"
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$DESK_TMP/bus"
  desk_started "the session bus" dbus bus_call org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetId
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
tray_icon_wait() { wait_for _tray_icon; }
tray_icon_gone() { wait_gone _tray_icon; }

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
# count times (2: a double click), at least DESK_CLICK_GAP_MS (set by the
# program's side of the desk) after the click before, whose time is kept in a
# file: callers in subshells ($(tray_menu_open)) click too.
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
# shows; menu_gone waits until no tray menu is open.
tray_menu_open() {
  tray_click 3
  wait_for _tray_menu
}
menu_gone() { wait_gone _tray_menu; }

# pointer_park: moves the pointer away from the tray, so that no tooltip
# stays up.
pointer_park() {
  # shellcheck disable=SC2086 # two coordinates
  xdotool mousemove $DESK_POINTER_PARK || fail "xdotool could not move the pointer"
}

# screenshot <file> [window]: a picture of the display, or of one window
# with its frame.
screenshot() {
  if [[ -z ${2:-} ]]; then
    import -window root "$1" || fail "no screenshot"
    return
  fi
  local rect x y w h
  rect=$(_window_rect "$2") || fail "window $2 has no rectangle"
  read -r x y w h <<<"$rect"
  import -window root -crop "${w}x$h+$x+$y" +repage "$1" || fail "no screenshot"
}

# screenshot_around <file> <window>...: a picture of the smallest area of the
# display that holds the windows with their frames, with a small margin.
screenshot_around() {
  local file=$1 id rect x y w h left=100000 top=100000 right=0 bottom=0
  shift
  for id in "$@"; do
    rect=$(_window_rect "$id") || fail "window $id has no rectangle"
    read -r x y w h <<<"$rect"
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  left=$((left > 4 ? left - 4 : 0)) top=$((top > 4 ? top - 4 : 0))
  import -window root -crop "$((right - left + 4))x$((bottom - top + 4))+$left+$top" +repage "$file" ||
    fail "no screenshot"
}

# ---------------------------------------------------------------------------
# Windows on the X display

# window_rect <id>: prints the left, top, width and height of a window's
# client area on the screen.
window_rect() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}

# frame_rect <id>: the same for the window with the frame the window manager
# put around it.
frame_rect() {
  local x y w h left right top bottom
  read -r x y w h < <(window_rect "$1")
  # Windows the window manager does not manage (tooltips, menus) have none.
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
    sed -n 's/.*= *//p' | tr -d ,) || true
  echo "$((x - ${left:-0})) $((y - ${top:-0})) $((w + ${left:-0} + ${right:-0}))" \
    "$((h + ${top:-0} + ${bottom:-0}))"
}

# window_typed <class> <regex> [override]: prints the first visible window of
# that class whose _NET_WM_WINDOW_TYPE, as xprop prints it, matches the
# extended regular expression; with "override", only one the window manager
# does not manage (override-redirect).
window_typed() {
  local id
  for id in $(xdotool search --onlyvisible --class "^$1\$"); do
    [[ $(xprop -id "$id" _NET_WM_WINDOW_TYPE) =~ $2 ]] || continue
    [[ -z ${3:-} ]] || grep -q 'Override Redirect State: yes' <<<"$(xwininfo -id "$id")" || continue
    echo "$id"
    return 0
  done
  return 1
}

# window_close <id>: closes a window as its close box does, through the
# window manager.
window_close() { wmctrl -i -c "$1"; }

# window_wait <title regex>: the visible window whose title matches.
_window_named() { xdotool search --onlyvisible --name "$1" | head -n1 | grep .; }
window_wait() { wait_for _window_named "$1"; }
window_gone() { wait_gone _window_named "$1"; }

# ---------------------------------------------------------------------------
# The panels: either of two along the bottom of the screen, trayer, which
# holds XEmbed tray icons, or gtk-sni-tray-standalone, which hosts
# StatusNotifierItems and draws their menus itself.
TRAYER_PID=""
SNI_PID=""
SNI_WATCHER_PID=""

# The XEmbed panel's window: visible, class "trayer".
desk_panel() { xdotool search --onlyvisible --class '^trayer$' | head -n1 | grep .; }

desk_tray_start() {
  desk_spawn trayer trayer --edge bottom --align right --widthtype request --height 24 \
    --SetDockType true --SetPartialStrut true --transparent false
  TRAYER_PID=$!
  desk_started trayer trayer desk_panel
}

desk_tray_stop() {
  desk_end "$TRAYER_PID"
  TRAYER_PID=""
  wait_gone desk_panel
}

# The StatusNotifierItem panel: a bar along the bottom of the screen (or
# SNI_EDGE), with its icons at the right end, and the watcher through which
# items find it.
SNI_BAR=30
SNI_EDGE=bottom
sni_panel() { window_typed gtk-sni-tray-standalone _NET_WM_WINDOW_TYPE_DOCK; }

# The watcher runs as a process of its own, started before the panel and
# ended with it, as a desktop's panel keeps both. The panel's own watcher
# (--watcher) is not used: the panel's host then races it at start-up, and
# now and then asks it for an object it has not made yet and exits.
desk_sni_start() {
  desk_spawn sni status-notifier-watcher
  SNI_WATCHER_PID=$!
  desk_started status-notifier-watcher sni sni_watcher_items || return 1
  desk_spawn sni gtk-sni-tray-standalone "--$SNI_EDGE" --end --size "$SNI_BAR" --color '#d4d4d4'
  SNI_PID=$!
  desk_started gtk-sni-tray-standalone sni sni_panel
}

desk_sni_stop() {
  desk_end "$SNI_PID"
  desk_end "$SNI_WATCHER_PID"
  SNI_PID="" SNI_WATCHER_PID=""
  wait_gone sni_panel
}

# The items the watcher knows, as gdbus prints them: "(<['name', ...]>,)".
sni_watcher_items() {
  bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
    RegisteredStatusNotifierItems
}

# The program's item: its bus name, once the watcher knows it.
sni_item() { sni_watcher_items | grep -o "org\.kde\.StatusNotifierItem-$PELLUX_PID-[0-9]*"; }
sni_item_wait() { wait_for sni_item; }

# The middle of the icon place at the panel's right end, on the screen.
sni_icon_point() {
  local x y w h
  read -r x y w h < <(window_rect "$(sni_panel)")
  echo "$((x + w - h / 2)) $((y + h / 2))"
}

# The icon is drawn in the panel: the blue of its screen shows there.
_sni_icon_drawn() {
  local x y
  read -r x y < <(sni_icon_point)
  grep -qi "#2070DA" <<<"$(import -window root \
    -crop "${SNI_BAR}x${SNI_BAR}+$((x - SNI_BAR / 2))+$((y - SNI_BAR / 2))" \
    +repage -depth 8 -format %c histogram:info:- 2>/dev/null)"
}
sni_icon_wait() { wait_until _sni_icon_drawn; }
sni_icon_gone() { wait_gone _sni_icon_drawn; }

# sni_click <button>: clicks the icon in the panel.
sni_click() {
  local x y
  read -r x y < <(sni_icon_point)
  xdotool mousemove "$x" "$y" click "$1"
}

# The panel's menu: a popup window of the panel's own.
sni_menu_wait() { wait_for window_typed gtk-sni-tray-standalone _NET_WM_WINDOW_TYPE_POPUP_MENU; }

# ---------------------------------------------------------------------------
# The Linux program: it runs as it is, its icon is its window inside the
# XEmbed panel, its menu and tooltip windows of its own.

# Two presses of a button at one place within the double-click interval
# (Qt's 400 ms, where no desktop settings say otherwise) make a double click,
# and a double click of the right button on an XEmbed icon opens no menu.
DESK_CLICK_GAP_MS=500
_pellux_exec() { exec "$PELLUX_EXE" "$@"; }
_tray_icon() {
  local panel
  panel=$(desk_panel) || return 1
  xwininfo -tree -id "$panel" | awk '/\("pellux" "Pellux"\)/ {print $1; found = 1; exit}
    END {exit !found}'
}
_tray_icon_rect() { window_rect "$1"; }
_window_rect() { frame_rect "$1"; }

# window_of_type_wait <type>: waits for a visible window of the program whose
# _NET_WM_WINDOW_TYPE names <type> (TOOLTIP ...) and prints its id.
window_of_type_wait() { wait_for window_typed pellux "_NET_WM_WINDOW_TYPE_$1"; }

# The program's popup menu: a visible window that the window manager does
# not manage (override-redirect), typed a popup menu (Qt 6.8 and later:
# "POPUP_MENU, NORMAL") or of no special type (Qt 6.4: "NORMAL"), unlike the
# tooltip and the icon in the panel.
_tray_menu() { window_typed pellux '= _NET_WM_WINDOW_TYPE_(POPUP_MENU|NORMAL$)' override; }
