#!/usr/bin/env bash
# Scenario: the settings key cannot be written when "OK" stores a new
# interval: the user is told, the window closes, nothing is stored, and the
# window opened again shows the interval stored.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

key='Software\Pellux\Options'
set_interval -
driver reg-lock "$key" on >/dev/null || fail "could not lock the settings key"
desk_on_exit 'driver reg-lock "$key" off >/dev/null'

pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
window=$(config_open)
list=$(driver children "$window" | awk -F'\t' -v id="$CONFIG_LIST" '$4 == id {print $1}')
driver key "$list" HOME >/dev/null || fail "could not choose in the list"
driver click "$window" "$CONFIG_OK" >/dev/null || fail "could not press OK"
box=$(driver wait-visible '#32770' Pellux "$E2E_TIMEOUT_MS") || fail "the user was not told"
expect_eq "$(driver child-text-hex "$box" 65535)" "$(hex_of "The new interval could not be saved.")" \
  "message"
driver key "$box" RETURN >/dev/null
driver wait-gone "$window" "$E2E_TIMEOUT_MS" >/dev/null || fail "the window stayed open"
driver reg-get "$key" Interval >/dev/null 2>&1 && fail "an interval was stored"

window=$(config_open)
expect_eq "$(driver child-text "$window" "$CONFIG_LIST")" "5 Seconds" "interval shown again"
tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
pass
