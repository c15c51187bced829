#!/usr/bin/env bash
# The real program as a screen reader and a keyboard user meet it: on a
# display of its own with a window manager, a tray and the accessibility
# bus, both windows are read over AT-SPI (every control's role, name and
# focusability, and the window's own role) and driven from the keyboard
# alone: Tab and Shift+Tab go round the controls in their order, Enter
# presses the focused button, Esc closes the information window and means
# nothing in the configuration window, the tray menu's entries
# are chosen by their underlined letters, and the focus comes back to where
# it was when a window closes.
#
#   accessibility.sh <program>
set -euo pipefail
PELLUX_EXE=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

fail() {
  echo "accessibility: $*" >&2
  [[ -n $DESK_TMP && -f $DESK_TMP/pellux.log ]] && cat "$DESK_TMP/pellux.log" >&2
  exit 1
}
reader() { /usr/bin/python3 "$here/accessibility.py" "$@"; }

desk_start || fail "the desktop did not start"
export XDG_CONFIG_HOME=$DESK_TMP/config XDG_RUNTIME_DIR=$DESK_TMP
# The accessibility bus, found through the session bus as a desktop finds it.
desk_spawn at-spi /usr/libexec/at-spi-bus-launcher --launch-immediately
wait_until bus_call org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
  fail "the accessibility bus did not start"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

desk_tray_start || fail "the tray did not start"
pellux_start
tray_icon_wait >/dev/null || fail "the icon did not reach the tray"

# The information window, opened with the mouse as the tray offers.
tray_click 1
window_wait '^Pellux: ' >/dev/null || fail "no information window"
reader check info
reader tabs info Tab
reader tabs info shift+Tab
# Enter presses the focused button: the first in the tab order closes it.
reader wait-focus "Close Window"
xdotool key Return
window_gone '^Pellux: ' || fail "Enter on \"Close Window\" left the window open"

# Esc closes it as its close box does.
tray_click 1
window_wait '^Pellux: ' >/dev/null || fail "no information window"
reader wait-focus "Close Window"
xdotool key Escape
window_gone '^Pellux: ' || fail "Esc left the information window open"

# Opened again, with the focus moved on: the configuration window opened
# from the menu's underlined letter and closed with Esc gives the focus back.
tray_click 1
window_wait '^Pellux: ' >/dev/null || fail "no information window"
reader wait-focus "Close Window"
xdotool key Tab
reader wait-focus "Copy All Information"

tray_menu_open >/dev/null || fail "the right button opened no menu"
xdotool key c
window_wait '^Pellux Configuration$' >/dev/null || fail "C in the menu opened no configuration window"
reader check config
reader tabs config Tab
reader tabs config shift+Tab
# Enter on the focused "About" shows the About panel, and again the list.
xdotool key shift+Tab
reader wait-focus "About"
xdotool key Return
reader wait-focus "Config"
xdotool key Return
reader wait-focus "About"
# Esc means nothing here (no button is the cancel button): the Tab after it
# still reaches the list. Enter on the focused "Cancel" closes the window.
xdotool key Escape Tab
reader wait-focus "Check for new IP address every:"
xdotool key shift+Tab shift+Tab
reader wait-focus "Cancel"
xdotool key Return
window_gone '^Pellux Configuration$' || fail "Enter on \"Cancel\" left the configuration window open"
reader wait-focus "Copy All Information"

tray_menu_open >/dev/null || fail "the right button opened no menu"
xdotool key x
pellux_wait_exit || fail "X in the menu did not end the program"
((PELLUX_STATUS == 0)) || fail "the program ended with status $PELLUX_STATUS"
echo "accessibility: both windows read and driven from the keyboard"
