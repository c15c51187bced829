#!/usr/bin/env bash
# Scenario: "Configure", choose "1 Second", "OK": the registry holds 1000; after
# the program is started again, "Configure" opens with "1 Second" selected.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

set_interval -
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
window=$(config_open)
expect_eq "$(driver child-text "$window" "$CONFIG_LIST")" "5 Seconds" "interval shown at first"

list=$(driver children "$window" | awk -F'\t' -v id="$CONFIG_LIST" '$4 == id {print $1}')
[[ -n $list ]] || fail "the configuration window has no interval list"
driver key "$list" HOME >/dev/null || fail "could not choose in the list"
expect_eq "$(driver child-text "$window" "$CONFIG_LIST")" "1 Second" "interval chosen"
driver click "$window" "$CONFIG_OK" >/dev/null || fail "could not press OK"
driver wait-gone "$window" "$E2E_TIMEOUT_MS" >/dev/null || fail "OK did not close the window"
expect_eq "$(driver reg-get 'Software\Pellux\Options' Interval)" 1000 "stored interval"

tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"

pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
window=$(config_open)
expect_eq "$(driver child-text "$window" "$CONFIG_LIST")" "1 Second" "interval after a restart"

tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
set_interval -
pass
