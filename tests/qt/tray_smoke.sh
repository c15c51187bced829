#!/usr/bin/env bash
# The real program on a desktop of its own, driven from outside as a user
# would, in one of three scenarios:
#
#   xembed  trayer runs first. The tooltip shows; a click opens the
#           information window with the machine's address, and its copy
#           button fills the clipboard; a second start of the program opens
#           that window too; the menu shows the history and the configuration
#           window, which stands on the panel and stores the chosen interval;
#           Exit ends the program. A start after a killed one takes over;
#           nothing was written in the runtime folder.
#   sni     gtk-sni-tray-standalone, a panel that hosts StatusNotifierItems
#           and draws their menus itself. The program starts before the
#           panel, then once more after it. The panel's menu has the six
#           lines, opens the information window and ends the program with
#           both windows and the report open; a
#           click on the icon opens the information window; where a panel
#           asks for the program's own menu at a place, it opens there.
#   moves   No tray at first: the program says so, then explains itself on
#           the screen. trayer comes, then the StatusNotifierItem panel, then
#           that panel goes, then trayer restarts: the icon follows each
#           time, and only the program's own item is ever on the bus.
#
# Also checked first, every time: the command line.
#
#   tests/qt/tray_smoke.sh build/linux/pellux xembed
set -euo pipefail
program=$(realpath "$1")
PELLUX_EXE=$program
scenario=${2:-xembed}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

fail() {
  echo "FAIL tray_smoke $scenario: $*" >&2
  if [[ -n ${SMOKE_ARTIFACTS:-} && -n ${DISPLAY:-} ]]; then
    mkdir -p "$SMOKE_ARTIFACTS" && import -window root "$SMOKE_ARTIFACTS/tray_smoke_$scenario.png"
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
# that are up with a carrier and not loopback, in the system's order and
# each once, the last; 127.0.0.1 when there is none.
expected_address() {
  local loopback
  loopback=$(ip -o link show | awk -F': ' '/LOOPBACK|NO-CARRIER/ {print $2}' | sed 's/@.*//')
  ip -o -4 addr show up | awk -v skip=" $(echo $loopback) " \
    'index(skip, " " $2 " ") == 0 {sub(/\/.*/, "", $4); if (!seen[$4]++) last = $4}
     END {print last == "" ? "127.0.0.1" : last}'
}

check_command_line() {
  local out status
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version) || fail "--version failed"
  expect_eq "$out" "Pellux 1.11" "--version"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" -h) || fail "-h failed"
  [[ $out == "Usage: pellux [OPTION]"* ]] || fail "-h printed '$out'"
  status=0
  out=$("$program" --bogus 2>&1 >/dev/null) || status=$?
  expect_eq "$status" 2 "exit status of an unknown option"
  [[ $out == *"unknown option '--bogus'"* ]] || fail "an unknown option printed '$out'"
  # An escape sequence in an argument reaches the terminal as text.
  status=0
  out=$("$program" $'--\e[2J' 2>&1 >/dev/null) || status=$?
  expect_eq "$status" 2 "exit status of an option with an escape in it"
  [[ $out == *"unknown option '--\\x1b[2J'"* ]] || fail "an escape was echoed as '$out'"
  # An answer that cannot be written is a failure, said on stderr.
  local option target
  for option in --version --help; do
    for target in closed /dev/full; do
      status=0
      if [[ $target == closed ]]; then
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" "$option" 2>&1 >&-) || status=$?
      else
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" "$option" 2>&1 >"$target") || status=$?
      fi
      [[ $status -eq 1 ]] || fail "$option to a $target output exited $status"
      [[ $out == "pellux: cannot write to the standard output: "* ]] ||
        fail "$option to a $target output said '$out'"
    done
  done
}

# A second start hands over to the running program, which shows its
# information window.
check_second_start() {
  local status=0
  "$program" </dev/null >"$DESK_TMP/second.log" 2>&1 || status=$?
  expect_eq "$status" 0 "exit status of a second start"
  info=$(window_wait '^Pellux: ') || fail "a second start opened no information window"
  close_window "$info" '^Pellux: '
}

# close_window <id> <title regex>: closes a window as its close box does.
close_window() {
  window_close "$1"
  window_gone "$2" || fail "the window '$2' did not close"
}

# The program's item as a panel sees it: its menu's lines, in order.
menu_lines() {
  bus_call "$1" /MenuBar com.canonical.dbusmenu.GetLayout 0 -- -1 '@as []' |
    grep -o "'label': <'[^']*'>\|'type': <'separator'>" | sed "s/.*<'\(.*\)'>/\1/"
}

# Only the program's own item is known: it never shows twice.
only_the_item() {
  local items
  items=$(sni_watcher_items)
  [[ $items == "(<['$1']>,)" ]] || fail "the panel knows these items: $items"
}

start_program() {
  pellux_start
  pellux_running || fail "the program did not start"
}

exit_by_key() {
  xdotool key "$1"
  pellux_wait_exit || fail "Exit did not end the program"
  expect_eq "$PELLUX_STATUS" 0 "exit status"
}

scenario_xembed() {
  desk_tray_start || fail "no panel"
  start_program
  tray_icon_wait >/dev/null || fail "the icon did not arrive in the tray"

  tray_hover
  window_of_type_wait TOOLTIP >/dev/null || fail "no tooltip over the icon"

  address=$(expected_address)
  tray_click 1
  info=$(window_wait '^Pellux: ') || fail "a click on the icon opened no information window"
  expect_eq "$(xdotool getwindowname "$info")" "Pellux: $address" "information window caption"
  # The icon property may come a moment after the window shows.
  has_icon() { grep -q 'Icon (16 x 16)' <<<"$(xprop -id "$info" _NET_WM_ICON)"; }
  wait_until has_icon || fail "the window has no icon"

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

  check_second_start

  tray_menu_open >/dev/null || fail "the right button opened no menu"
  xdotool key r
  window_wait '^Recent IP addresses$' >/dev/null || fail "Recent IPs showed no report"
  xdotool key Return
  window_gone '^Recent IP addresses$' || fail "the report stayed open"

  tray_menu_open >/dev/null || fail "the right button opened no menu"
  xdotool key c
  config=$(window_wait '^Pellux Configuration$') || fail "Configure opened no window"
  read -r _ panel_y _ _ < <(window_rect "$(desk_panel)")
  screen_width=$(xwininfo -root | awk '/^ *Width:/ {print $NF}')
  frame_on_panel() {
    local x y w h
    read -r x y w h < <(frame_rect "$config")
    ((x + w == screen_width && y + h == panel_y))
  }
  wait_until frame_on_panel ||
    fail "configuration window at $(frame_rect "$config"), want it on the panel at y $panel_y"

  # The last interval, then OK.
  xdotool key End alt+o
  window_gone '^Pellux Configuration$' || fail "OK left the configuration window open"
  expect_eq "$(cat "$XDG_CONFIG_HOME/Pellux/Pellux.conf")" $'[Options]\nInterval=30000' \
    "stored setting"

  # Exit with both windows open.
  tray_click 1
  window_wait '^Pellux: ' >/dev/null || fail "a click opened no information window"
  tray_menu_open >/dev/null || fail "the right button opened no menu"
  xdotool key c
  window_wait '^Pellux Configuration$' >/dev/null || fail "Configure opened no window"
  tray_menu_open >/dev/null || fail "the right button opened no menu"
  exit_by_key x
  tray_icon_gone || fail "the icon stayed in the tray"

  # A program that is killed has its name on the bus taken back; the next
  # start is the session's program.
  start_program
  tray_icon_wait >/dev/null || fail "the icon did not arrive in the tray"
  kill -KILL "$PELLUX_PID"
  wait "$PELLUX_PID" 2>/dev/null || true
  tray_icon_gone || fail "the killed program's icon stayed in the tray"
  start_program
  tray_icon_wait >/dev/null || fail "after a killed program, a new start showed no icon"
  tray_menu_open >/dev/null || fail "the right button opened no menu"
  exit_by_key x
  [[ -z $(ls -A "$XDG_RUNTIME_DIR") ]] || fail "written in the runtime folder: $(ls -A "$XDG_RUNTIME_DIR")"
  echo "PASS tray_smoke xembed (address $address)"
}

# The panel's menu by the right button: its six lines, then `key` chooses.
sni_menu_choose() {
  local item=$1 key=$2 lines
  lines=$(menu_lines "$item" | paste -sd '|')
  expect_eq "$lines" "_Get IP|separator|_Recent IPs|_Configure|separator|E_xit" "the menu's lines"
  sni_click 3
  sni_menu_wait >/dev/null || fail "the right button opened no menu in the panel"
  if [[ -n ${SMOKE_ARTIFACTS:-} ]]; then
    mkdir -p "$SMOKE_ARTIFACTS" && import -window root "$SMOKE_ARTIFACTS/sni_menu.png"
  fi
  xdotool key "$key"
}

scenario_sni() {
  # The program first, as when it starts with the session before the panel.
  start_program
  wait_until grep -q 'no system tray yet' "$DESK_TMP/pellux.log" ||
    fail "started without a tray, the program did not say it waits for one"
  desk_sni_start || fail "no panel"
  item=$(sni_item_wait) || fail "the item did not reach the panel"
  sni_icon_wait || fail "the panel does not show the icon"
  only_the_item "$item"
  sni_menu_choose "$item" g
  window_wait '^Pellux: ' >/dev/null || fail "Get IP in the panel's menu opened no window"
  # Exit with both windows and the report open ends the program all the same.
  sni_menu_choose "$item" c
  window_wait '^Pellux Configuration$' >/dev/null || fail "Configure opened no window"
  sni_menu_choose "$item" r
  window_wait '^Recent IP addresses$' >/dev/null || fail "Recent IPs showed no report"
  sni_menu_choose "$item" x
  pellux_wait_exit || fail "Exit in the panel's menu did not end the program"
  expect_eq "$PELLUX_STATUS" 0 "exit status"
  sni_icon_gone || fail "the icon stayed in the panel"

  # Now the panel first.
  start_program
  item=$(sni_item_wait) || fail "the item did not reach the running panel"
  sni_icon_wait || fail "the panel does not show the icon"
  address=$(expected_address)
  tip=$(bus_call "$item" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
    org.kde.StatusNotifierItem ToolTip)
  [[ $tip == *"'Pellux: $address'"* ]] || fail "tooltip $tip"
  sni_click 1
  info=$(window_wait '^Pellux: ') || fail "a click on the icon opened no information window"
  close_window "$info" '^Pellux: '
  check_second_start

  # A panel that draws no menus asks the program for its own, at a place.
  bus_call "$item" /StatusNotifierItem org.kde.StatusNotifierItem.ContextMenu 300 200 >/dev/null
  menu=$(wait_until _tray_menu && _tray_menu) || fail "ContextMenu opened no menu"
  read -r x y _ _ < <(window_rect "$menu")
  expect_eq "$x $y" "300 200" "place of the menu"
  xdotool key Escape
  menu_gone || fail "the menu stayed open"

  sni_menu_choose "$item" x
  pellux_wait_exit || fail "Exit in the panel's menu did not end the program"
  expect_eq "$PELLUX_STATUS" 0 "exit status"
  echo "PASS tray_smoke sni (address $address)"
}

scenario_moves() {
  start_program
  wait_until grep -q 'no system tray yet' "$DESK_TMP/pellux.log" ||
    fail "started without a tray, the program did not say it waits for one"
  DESK_TIMEOUT=30 window_wait '^Pellux$' >/dev/null || fail "no notice that there is no tray"
  if [[ -n ${SMOKE_ARTIFACTS:-} ]]; then
    mkdir -p "$SMOKE_ARTIFACTS" && import -window root "$SMOKE_ARTIFACTS/no_tray.png"
  fi
  kill -0 "$PELLUX_PID" 2>/dev/null || fail "the program ended without a tray"

  desk_tray_start || fail "no XEmbed panel"
  window_gone '^Pellux$' || fail "the notice stayed after the tray came"
  tray_icon_wait >/dev/null || fail "the icon did not arrive in the late XEmbed tray"

  # Along the top, clear of trayer.
  # shellcheck disable=SC2034 # read by desk_sni_start
  SNI_EDGE=top
  desk_sni_start || fail "no StatusNotifierItem panel"
  item=$(sni_item_wait) || fail "the item did not move to the StatusNotifierItem panel"
  sni_icon_wait || fail "the panel does not show the icon"
  tray_icon_gone || fail "the icon stayed in the XEmbed tray too"
  only_the_item "$item"

  # The panel restarts: the icon comes back.
  desk_sni_stop
  desk_sni_start || fail "the StatusNotifierItem panel did not restart"
  sni_item_wait >/dev/null || fail "the item did not come back to the restarted panel"
  sni_icon_wait || fail "the restarted panel does not show the icon"
  only_the_item "$item"

  # The panel goes for good: back to the XEmbed tray, which then restarts.
  desk_sni_stop
  tray_icon_wait >/dev/null || fail "the icon did not move back to the XEmbed tray"
  desk_tray_stop
  desk_tray_start || fail "trayer did not restart"
  tray_icon_wait >/dev/null || fail "the icon did not come back to the restarted tray"

  tray_menu_open >/dev/null || fail "the right button opened no menu"
  exit_by_key x
  echo "PASS tray_smoke moves"
}

check_command_line
desk_start
mkdir -p "$DESK_TMP/config" "$DESK_TMP/runtime"
chmod 700 "$DESK_TMP/runtime"
export XDG_CONFIG_HOME=$DESK_TMP/config XDG_RUNTIME_DIR=$DESK_TMP/runtime
case $scenario in
  xembed) scenario_xembed ;;
  sni) scenario_sni ;;
  moves) scenario_moves ;;
  *) fail "no scenario '$scenario'" ;;
esac
