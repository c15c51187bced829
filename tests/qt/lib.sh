# shellcheck shell=bash
# A small desktop for the Linux program and helpers to drive it from outside
# as a user would: a private Xvfb, the openbox window manager, a session bus
# of its own, and either of two panels along the bottom of the screen: trayer,
# which holds XEmbed tray icons, or gtk-sni-tray-standalone, which hosts
# StatusNotifierItems and draws their menus itself.
#
# Meant to be sourced:
#
#   source tests/qt/lib.sh
#   desk_start                  # display, window manager, session bus;
#                               # exports DISPLAY and DBUS_SESSION_BUS_ADDRESS
#   pellux_start build/linux/pellux
#   desk_tray_start             # the XEmbed panel (the program may start first)
#   icon=$(tray_icon_wait) ...
#   desk_sni_start              # the StatusNotifierItem panel
#   sni_icon_wait && sni_click 3 ...
#
# desk_start sets an EXIT trap that ends everything it and pellux_start
# started (keeping any EXIT trap set before). Every wait polls until its
# condition holds; DESK_TIMEOUT (seconds, default 20) only guards against a
# condition that never comes.

DESK_TIMEOUT=${DESK_TIMEOUT:-20}
DESK_TMP=""
DESK_PIDS=()
PELLUX_PID=""
TRAYER_PID=""
SNI_PID=""
SNI_WATCHER_PID=""

desk_err() { printf '%s\n' "$*" >&2; }

# wait_until <command...>: runs the command every 50 ms until it succeeds;
# fails after DESK_TIMEOUT seconds.
wait_until() {
  local deadline=$((SECONDS + DESK_TIMEOUT))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# _end <pid>: ends a process this shell started and collects it. One that has
# ended already is fine: under set -e a failed kill would otherwise cut the
# clean-up short and leave the display and the rest running.
_end() {
  [[ -n $1 ]] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

desk_stop() {
  _end "$PELLUX_PID"
  PELLUX_PID=""
  _end "$TRAYER_PID"
  _end "$SNI_PID"
  _end "$SNI_WATCHER_PID"
  TRAYER_PID="" SNI_PID="" SNI_WATCHER_PID=""
  # The panel and the window manager before the display they run on.
  local i
  for ((i = ${#DESK_PIDS[@]} - 1; i >= 0; i--)); do
    _end "${DESK_PIDS[i]}"
  done
  DESK_PIDS=()
  [[ -n $DESK_TMP ]] && rm -rf "$DESK_TMP"
  DESK_TMP=""
}

_desk_has_wm() { grep -q 'window id' <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK)"; }

desk_start() {
  local old
  old=$(trap -p EXIT)
  if [[ -n $old ]]; then
    old=${old#"trap -- "}
    eval "old=${old%" EXIT"}"
    # shellcheck disable=SC2064 # the old command is meant to be expanded now
    trap "desk_stop
$old" EXIT
  else
    trap desk_stop EXIT
  fi
  trap 'exit 130' INT
  trap 'exit 143' TERM

  DESK_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pellux-desk.XXXXXX") || return 1
  # -noreset: the server stays as it is when its last client goes, as a
  # user's display would. -displayfd picks a free display and tells its
  # number once the server accepts connections.
  Xvfb -displayfd 9 -noreset -screen 0 1024x768x24 -nolisten tcp \
    9>"$DESK_TMP/display" </dev/null >"$DESK_TMP/xvfb.log" 2>&1 &
  DESK_PIDS+=($!)
  if ! wait_until grep -q '^[0-9]' "$DESK_TMP/display"; then
    desk_err "Xvfb did not start:"
    cat "$DESK_TMP/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$DESK_TMP/display")"
  # openbox's stock title bar has iconify and maximize buttons on every
  # window, even one that asks for a close box only, and cuts a short
  # window's title for them: here it shows the title and the close box.
  sed 's|<titleLayout>.*</titleLayout>|<titleLayout>LC</titleLayout>|' \
    /etc/xdg/openbox/rc.xml >"$DESK_TMP/openbox.xml"
  openbox --sm-disable --config-file "$DESK_TMP/openbox.xml" \
    </dev/null >"$DESK_TMP/openbox.log" 2>&1 &
  DESK_PIDS+=($!)
  wait_until _desk_has_wm || {
    desk_err "openbox did not start"
    return 1
  }
  # The session bus, on which panels look for StatusNotifierItems.
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$DESK_TMP/bus" \
    </dev/null >"$DESK_TMP/dbus.log" 2>&1 &
  DESK_PIDS+=($!)
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

# The XEmbed panel's window: visible, class "trayer".
desk_panel() { xdotool search --onlyvisible --class '^trayer$' | head -n1 | grep .; }

desk_tray_start() {
  trayer --edge bottom --align right --widthtype request --height 24 \
    --SetDockType true --SetPartialStrut true --transparent false \
    </dev/null >>"$DESK_TMP/trayer.log" 2>&1 &
  TRAYER_PID=$!
  wait_until desk_panel || {
    desk_err "trayer did not start"
    cat "$DESK_TMP/trayer.log" >&2
    return 1
  }
}

desk_tray_stop() {
  _end "$TRAYER_PID"
  TRAYER_PID=""
  wait_until eval '! desk_panel'
}

# The StatusNotifierItem panel: a bar along the bottom of the screen (or
# SNI_EDGE), with its icons at the right end, and the watcher through which
# items find it.
SNI_BAR=30
SNI_EDGE=bottom
sni_panel() {
  local id
  for id in $(xdotool search --onlyvisible --class '^gtk-sni-tray-standalone$'); do
    grep -q _NET_WM_WINDOW_TYPE_DOCK <<<"$(xprop -id "$id" _NET_WM_WINDOW_TYPE)" && echo "$id" && return 0
  done
  return 1
}

# The watcher runs as a process of its own, started before the panel and
# ended with it, as a desktop's panel keeps both. The panel's own watcher
# (--watcher) is not used: the panel's host then races it at start-up, and
# now and then asks it for an object it has not made yet and exits.
desk_sni_start() {
  status-notifier-watcher </dev/null >>"$DESK_TMP/sni.log" 2>&1 &
  SNI_WATCHER_PID=$!
  if ! wait_until sni_watcher_items; then
    desk_err "status-notifier-watcher did not start:"
    cat "$DESK_TMP/sni.log" >&2
    return 1
  fi
  gtk-sni-tray-standalone "--$SNI_EDGE" --end --size "$SNI_BAR" --color '#d4d4d4' \
    </dev/null >>"$DESK_TMP/sni.log" 2>&1 &
  SNI_PID=$!
  if ! wait_until sni_panel; then
    desk_err "gtk-sni-tray-standalone did not start:"
    cat "$DESK_TMP/sni.log" >&2
    return 1
  fi
}

desk_sni_stop() {
  _end "$SNI_PID"
  _end "$SNI_WATCHER_PID"
  SNI_PID="" SNI_WATCHER_PID=""
  wait_until eval '! sni_panel'
}

# The items the watcher knows, as gdbus prints them: "(<['name', ...]>,)".
sni_watcher_items() {
  bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
    RegisteredStatusNotifierItems
}

# The program's item: its bus name, once the watcher knows it.
sni_item() { sni_watcher_items | grep -o "org\.kde\.StatusNotifierItem-$PELLUX_PID-[0-9]*"; }
sni_item_wait() { wait_until sni_item && sni_item; }

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
sni_icon_gone() { wait_until eval '! _sni_icon_drawn'; }

# sni_click <button>: clicks the icon in the panel.
sni_click() {
  local x y
  read -r x y < <(sni_icon_point)
  xdotool mousemove "$x" "$y" click "$1"
}

# The panel's menu: a popup window of the panel's own.
_sni_menu() {
  local id
  for id in $(xdotool search --onlyvisible --class '^gtk-sni-tray-standalone$'); do
    grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU <<<"$(xprop -id "$id" _NET_WM_WINDOW_TYPE)" &&
      echo "$id" && return 0
  done
  return 1
}
sni_menu_wait() { wait_until _sni_menu && _sni_menu; }

# pellux_start <program>: starts it with its output in $DESK_TMP/pellux.log.
pellux_start() {
  "$1" </dev/null >"$DESK_TMP/pellux.log" 2>&1 &
  PELLUX_PID=$!
}

# pellux_wait_exit: waits for the program to end and leaves its exit status
# in PELLUX_STATUS. Not to be called in a subshell: only this shell can
# collect the status.
pellux_wait_exit() {
  wait_until _pellux_gone || return 1
  PELLUX_STATUS=0
  wait "$PELLUX_PID" || PELLUX_STATUS=$?
  PELLUX_PID=""
}
_pellux_gone() { ! kill -0 "$PELLUX_PID" 2>/dev/null; }

# The program's icon: its window inside the panel, once it is there.
_tray_icon() {
  local panel
  panel=$(desk_panel) || return 1
  xwininfo -tree -id "$panel" | awk '/\("pellux" "Pellux"\)/ {print $1; found = 1; exit}
    END {exit !found}'
}
tray_icon_wait() {
  wait_until _tray_icon && _tray_icon
}

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

# icon_point <id>: the middle of the icon, on the screen.
icon_point() {
  local x y w h
  read -r x y w h < <(window_rect "$1")
  echo "$((x + w / 2)) $((y + h / 2))"
}

# tray_click <icon> <button> [repeat]: moves the pointer over the icon and
# clicks there. Two presses of a button at one place within the double-click
# interval (Qt's 400 ms, where no desktop settings say otherwise) make a
# double click, and a double click of the right button on an XEmbed icon
# opens no menu: a click comes at least that long after the one before.
tray_click() {
  local x y now last gap
  read -r x y < <(icon_point "$1")
  now=$((10#${EPOCHREALTIME/./} / 1000))
  last=$(cat "$DESK_TMP/last-click" 2>/dev/null) || last=0
  gap=$((last + 500 - now))
  if ((gap > 0)); then sleep "$(printf '0.%03d' "$gap")"; fi
  xdotool mousemove "$x" "$y" click --repeat "${3:-1}" --delay 80 "$2"
  echo $((10#${EPOCHREALTIME/./} / 1000)) >"$DESK_TMP/last-click"
}

tray_hover() {
  local x y
  read -r x y < <(icon_point "$1")
  xdotool mousemove "$x" "$y"
}

# A visible window of the program whose _NET_WM_WINDOW_TYPE names <type>
# (TOOLTIP ...).
_pellux_window_of_type() {
  local id
  for id in $(xdotool search --onlyvisible --class '^pellux$'); do
    if grep -q "_NET_WM_WINDOW_TYPE_$1" <<<"$(xprop -id "$id" _NET_WM_WINDOW_TYPE)"; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
window_of_type_wait() { wait_until _pellux_window_of_type "$1" && _pellux_window_of_type "$1"; }

# The program's popup menu: a visible window that the window manager does
# not manage (override-redirect) and that is of no special type, unlike the
# tooltip and the icon in the panel.
_pellux_menu() {
  local id
  for id in $(xdotool search --onlyvisible --class '^pellux$'); do
    if [[ $(xprop -id "$id" _NET_WM_WINDOW_TYPE) == *"= _NET_WM_WINDOW_TYPE_NORMAL" ]] &&
      grep -q 'Override Redirect State: yes' <<<"$(xwininfo -id "$id")"; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
menu_gone() { wait_until eval '! _pellux_menu'; }

# window_close <id>: closes a window as its close box does, through the
# window manager.
window_close() { wmctrl -i -c "$1"; }

# window_wait <title regex>: the visible window whose title matches.
_window_named() { xdotool search --onlyvisible --name "$1" | head -n1 | grep .; }
window_wait() { wait_until _window_named "$1" && _window_named "$1"; }
window_gone() { wait_until eval "! _window_named '$1'"; }

# click_control <window> <left> <top> <width> <height>: clicks the middle of
# a control, given in twips at 96 dpi as the design tables give it.
click_control() {
  xdotool mousemove --window "$1" $((($2 + $4 / 2) / 15)) $((($3 + $5 / 2) / 15)) click 1
}

# tray_menu_open <icon>: right-clicks the icon and prints the menu's window
# once it shows.
tray_menu_open() {
  tray_click "$1" 3
  wait_until _pellux_menu && _pellux_menu
}
