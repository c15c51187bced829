#!/usr/bin/env bash
# Scenario: "Exit" from the tray menu, with both windows open, closes them and
# ends the program with exit code 0, takes the icon out of the tray and leaves
# the stored interval as it was.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

set_interval 2000
pellux_start
icon=$(tray_icon_wait) || fail "no tray icon appeared"
address=$(driver resolve) || fail "the driver could not resolve the host name"
config=$(config_open)
tray_menu_choose "$MENU_GET_IP"
info=$(info_wait "$address")

tray_menu_choose "$MENU_EXIT"
pellux_wait_exit || fail "the program did not exit within $E2E_TIMEOUT_MS ms"
code=$PELLUX_STATUS
expect_eq "$code" 0 "exit code"
driver wait-gone "$icon" "$E2E_TIMEOUT_MS" >/dev/null || fail "the tray icon is still there"
driver wait-gone "$config" 0 >/dev/null || fail "the configuration window is still there"
driver wait-gone "$info" 0 >/dev/null || fail "the information window is still there"
expect_eq "$(driver reg-get 'Software\Pellux\Options' Interval)" 2000 "stored interval"

set_interval -
pass
