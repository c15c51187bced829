#!/usr/bin/env bash
# Installs what is missing, builds the native Linux Pellux and starts it. On a
# machine with a display it runs there, in the desktop's tray, until its
# "Exit" command. Without one it runs on a virtual display with a window
# manager and a tray panel, leaves screenshots of its tray tip, menu and
# windows in build/screenshots (linux-*.png), moves to a panel that hosts
# StatusNotifierItems for a screenshot of that panel's menu, and ends.
# scripts/run-windows.sh does the same for the Windows program under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target pellux
program=$PWD/build/linux-release/pellux

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  echo "Pellux is running in the notification area; choose Exit from its menu to end it."
  exec "$program"
fi

shots=$PWD/build/screenshots
mkdir -p "$shots"
# shellcheck source=../tests/qt/lib.sh
source tests/qt/lib.sh
fail() {
  echo "run: $*" >&2
  exit 1
}
desk_start
# A settings folder of this run's own: the user's setting stays as it is.
export XDG_CONFIG_HOME=$DESK_TMP/config XDG_RUNTIME_DIR=$DESK_TMP
desk_tray_start
pellux_start "$program"
icon=$(tray_icon_wait) || fail "the icon did not reach the tray"

# shot <file> <window>...: a screenshot of the smallest area that holds the
# windows (with their frames), with a small margin.
shot() {
  local file=$1 id x y w h left=100000 top=100000 right=0 bottom=0
  shift
  for id in "$@"; do
    read -r x y w h < <(frame_rect "$id")
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  left=$((left > 4 ? left - 4 : 0)) top=$((top > 4 ? top - 4 : 0))
  import -window root -crop "$((right - left + 4))x$((bottom - top + 4))+$left+$top" +repage \
    "$shots/$file"
}
park_pointer() { xdotool mousemove 0 0; }

tray_hover "$icon"
tip=$(window_of_type_wait TOOLTIP) || fail "no tooltip over the icon"
shot linux-tray.png "$tip" "$(desk_panel)"

menu=$(tray_menu_open "$icon") || fail "the right button opened no menu"
shot linux-menu.png "$menu" "$(desk_panel)"
xdotool key Escape
menu_gone || fail "the menu stayed open"

tray_click "$icon" 1
park_pointer
info=$(window_wait '^Pellux: ') || fail "no information window"
sleep 0.3
shot linux-info.png "$info"
caption=$(xdotool getwindowname "$info")
window_close "$info"
window_gone '^Pellux: ' || fail "the information window stayed open"

tray_menu_open "$icon" >/dev/null || fail "the right button opened no menu"
xdotool key c
park_pointer
config=$(window_wait '^Pellux Configuration$') || fail "no configuration window"
sleep 0.3
shot linux-config.png "$config"
xdotool key alt+a
sleep 0.3
shot linux-about.png "$config"
window_close "$config"
window_gone '^Pellux Configuration$' || fail "the configuration window stayed open"

# The same icon under a panel that hosts StatusNotifierItems and draws their
# menus itself: trayer goes, the panel comes, the icon moves over.
desk_tray_stop
desk_sni_start || fail "the StatusNotifierItem panel did not start"
sni_item_wait >/dev/null || fail "the icon did not reach the StatusNotifierItem panel"
sni_icon_wait || fail "the StatusNotifierItem panel does not show the icon"
sni_click 3
menu=$(sni_menu_wait) || fail "the right button opened no menu in the panel"
park_pointer
sleep 0.3
read -r menu_x menu_y _ _ < <(frame_rect "$menu")
screen_w=$(xwininfo -root | awk '/^ *Width:/ {print $NF}')
screen_h=$(xwininfo -root | awk '/^ *Height:/ {print $NF}')
left=$((menu_x - 120)) top=$((menu_y - 4))
import -window root -crop "$((screen_w - left))x$((screen_h - top))+$left+$top" +repage \
  "$shots/linux-sni-menu.png"

echo "No display here: Pellux ran on a virtual one. Its information window read \"$caption\"."
echo "Screenshots of the tray, the menus and the windows: $shots/linux-*.png"
xdotool key x
pellux_wait_exit || fail "Pellux did not end"
