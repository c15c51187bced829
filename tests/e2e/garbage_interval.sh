#!/usr/bin/env bash
# Scenario: a stored interval that is not a number: the program starts as
# usual and "Configure" shows "5 Seconds"; the stored text is left alone.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

set_interval garbage
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
window=$(config_open)
expect_eq "$(driver child-text "$window" "$CONFIG_LIST")" "5 Seconds" "interval shown"
driver close "$window" >/dev/null
driver wait-gone "$window" "$E2E_TIMEOUT_MS" >/dev/null || fail "the window did not close"
expect_eq "$(driver reg-get 'Software\Pellux\Options' Interval)" garbage "stored text"

tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
set_interval -
pass
