#!/usr/bin/env bash
# The real program in a real XEmbed tray, driven from outside with xdotool:
# it starts before the panel and its icon still arrives; the tooltip shows;
# a click opens the information window with the machine's address and its
# copy button fills the clipboard; the menu opens the configuration window,
# which stands on the panel and stores the chosen interval; Exit ends it.
#
#   tests/qt/tray_smoke.sh build/linux/pellux
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

fail() {
  echo "FAIL tray_smoke: $*" >&2
  if [[ -n ${SMOKE_ARTIFACTS:-} && -n ${DISPLAY:-} ]]; then
    mkdir -p "$SMOKE_ARTIFACTS" && import -window root "$SMOKE_ARTIFACTS/tray_smoke.png"
  fi
  if [[ -n $DESK_TMP && -f $DESK_TMP/pellux.log ]]; then
    echo "--- the program's output:" >&2
    cat "$DESK_TMP/pellux.log" >&2
  fi
  exit 1
}

expect_eq() {
  [[ $1 == "$2" ]] || fail "$3: got '$1', want '$2'"
}

# The address the program reports: of the IPv4 addresses of the interfaces
# that are up and not loopback, in the system's order and each once, the
# last; 127.0.0.1 when there is none.
expected_address() {
  local loopback
  loopback=$(ip -o link show | awk -F': ' '/LOOPBACK/ {print $2}' | sed 's/@.*//')
  ip -o -4 addr show up | awk -v skip=" $(echo $loopback) " \
    'index(skip, " " $2 " ") == 0 {sub(/\/.*/, "", $4); if (!seen[$4]++) last = $4}
     END {print last == "" ? "127.0.0.1" : last}'
}

desk_start
config_home=$DESK_TMP/config
mkdir -p "$config_home"
export XDG_CONFIG_HOME=$config_home XDG_RUNTIME_DIR=$DESK_TMP

pellux_start "$program"
wait_until grep -q 'no system tray yet' "$DESK_TMP/pellux.log" ||
  fail "started without a tray, the program did not say it waits for one"
kill -0 "$PELLUX_PID" 2>/dev/null || fail "the program ended without a tray"

desk_tray_start || fail "no panel"
icon=$(tray_icon_wait) || fail "the icon did not arrive in the tray"

tray_hover "$icon"
window_of_type_wait TOOLTIP >/dev/null || fail "no tooltip over the icon"

address=$(expected_address)
tray_click "$icon" 1
info=$(window_wait '^Pellux: ') || fail "a click on the icon opened no information window"
expect_eq "$(xdotool getwindowname "$info")" "Pellux: $address" "information window caption"

# "Copy All Information"
click_control "$info" 2370 450 2355 375
want=$(printf 'IP: %s\r\nComputer Name: %s\r\nHostname: %s' "$address" "$(uname -n)" \
  "$(hostname)" | od -An -c)
got_clipboard() { [[ $(xclip -selection clipboard -o | od -An -c) == "$want" ]]; }
wait_until got_clipboard ||
  fail "clipboard: got '$(xclip -selection clipboard -o | od -An -c)', want '$want'"

# "Close Window"
click_control "$info" 2370 840 2355 345
window_gone '^Pellux: ' || fail "Close Window left the information window open"

tray_menu_open "$icon" >/dev/null || fail "the right button opened no menu"
xdotool key c
config=$(window_wait '^Pellux Configuration$') || fail "Configure opened no window"
read -r panel_x panel_y _ _ < <(window_rect "$(desk_panel)")
screen_width=$(xwininfo -root | awk '/^ *Width:/ {print $NF}')
wait_frame_on_panel() {
  local x y w h
  read -r x y w h < <(frame_rect "$config")
  ((x + w == screen_width && y + h == panel_y))
}
wait_until wait_frame_on_panel ||
  fail "configuration window at $(frame_rect "$config"), want it on the panel at y $panel_y"

# The last interval, then OK.
xdotool key End alt+o
window_gone '^Pellux Configuration$' || fail "OK left the configuration window open"
expect_eq "$(cat "$config_home/Pellux/Pellux.conf")" $'[Options]\nInterval=30000' "stored setting"

tray_menu_open "$icon" >/dev/null || fail "the right button opened no menu"
xdotool key x
pellux_wait_exit || fail "Exit did not end the program"
expect_eq "$PELLUX_STATUS" 0 "exit status"
icon_gone() { ! _tray_icon; }
wait_until icon_gone || fail "the icon stayed in the tray"
echo "PASS tray_smoke (address $address, panel at x $panel_x)"
