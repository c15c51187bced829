# shellcheck shell=bash
# The Linux program's side of the test desk (scripts/desk.sh): either of two
# panels along the bottom of the screen, trayer, which holds XEmbed tray
# icons, or gtk-sni-tray-standalone, which hosts StatusNotifierItems and draws
# their menus itself; where the program's icon, menu and windows are; and
# helpers to drive them from outside as a user would.
#
#   source tests/qt/lib.sh
#   desk_start                  # display, window manager, session bus
#   PELLUX_EXE=build/linux/pellux pellux_start
#   desk_tray_start             # the XEmbed panel (the program may start first)
#   tray_icon_wait && tray_click 1 ...
#   desk_sni_start              # the StatusNotifierItem panel
#   sni_icon_wait && sni_click 3 ...
# shellcheck source=../../scripts/desk.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desk.sh"
# Two presses of a button at one place within the double-click interval
# (Qt's 400 ms, where no desktop settings say otherwise) make a double click,
# and a double click of the right button on an XEmbed icon opens no menu.
DESK_CLICK_GAP_MS=500
TRAYER_PID=""
SNI_PID=""
SNI_WATCHER_PID=""

# The XEmbed panel's window: visible, class "trayer".
desk_panel() { xdotool search --onlyvisible --class '^trayer$' | head -n1 | grep .; }

desk_tray_start() {
  desk_spawn trayer trayer --edge bottom --align right --widthtype request --height 24 \
    --SetDockType true --SetPartialStrut true --transparent false
  TRAYER_PID=$!
  wait_until desk_panel || {
    desk_err "trayer did not start"
    cat "$DESK_TMP/trayer.log" >&2
    return 1
  }
}

desk_tray_stop() {
  desk_end "$TRAYER_PID"
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
  desk_spawn sni status-notifier-watcher
  SNI_WATCHER_PID=$!
  if ! wait_until sni_watcher_items; then
    desk_err "status-notifier-watcher did not start:"
    cat "$DESK_TMP/sni.log" >&2
    return 1
  fi
  desk_spawn sni gtk-sni-tray-standalone "--$SNI_EDGE" --end --size "$SNI_BAR" --color '#d4d4d4'
  SNI_PID=$!
  if ! wait_until sni_panel; then
    desk_err "gtk-sni-tray-standalone did not start:"
    cat "$DESK_TMP/sni.log" >&2
    return 1
  fi
}

desk_sni_stop() {
  desk_end "$SNI_PID"
  desk_end "$SNI_WATCHER_PID"
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

# The backend of the verbs: the program runs as it is, its icon is its
# window inside the XEmbed panel, its menu a window of its own.
_pellux_exec() { exec "$PELLUX_EXE" "$@"; }
_tray_icon() {
  local panel
  panel=$(desk_panel) || return 1
  xwininfo -tree -id "$panel" | awk '/\("pellux" "Pellux"\)/ {print $1; found = 1; exit}
    END {exit !found}'
}
_tray_icon_rect() { window_rect "$1"; }

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
# not manage (override-redirect), typed a popup menu (Qt 6.8 and later:
# "POPUP_MENU, NORMAL") or of no special type (Qt 6.4: "NORMAL"), unlike the
# tooltip and the icon in the panel.
_tray_menu() {
  local id
  for id in $(xdotool search --onlyvisible --class '^pellux$'); do
    if [[ $(xprop -id "$id" _NET_WM_WINDOW_TYPE) =~ "= _NET_WM_WINDOW_TYPE_"(POPUP_MENU|NORMAL$) ]] &&
      grep -q 'Override Redirect State: yes' <<<"$(xwininfo -id "$id")"; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
menu_gone() { wait_until eval '! _tray_menu'; }

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
