# shellcheck shell=bash
# The Linux program's tests on the desk (scripts/desk.sh, which has the
# panels, where the program's icon, menu and windows are, and the verbs that
# drive them), with what only the tests need besides.
#
#   source tests/qt/lib.sh
#   desk_start                  # display, window manager, session bus
#   PELLUX_EXE=build/linux/pellux pellux_start
#   desk_tray_start             # the XEmbed panel (the program may start first)
#   tray_icon_wait && tray_click 1 ...
# shellcheck source-path=SCRIPTDIR/../../scripts source=desk.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desk.sh"

# click_control <window> <left> <top> <width> <height>: clicks the middle of
# a control, given in twips at 96 dpi as the design tables give it.
click_control() {
  xdotool mousemove --window "$1" $((($2 + $4 / 2) / 15)) $((($3 + $5 / 2) / 15)) click 1
}
