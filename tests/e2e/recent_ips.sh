#!/usr/bin/env bash
# Scenario: after the first poll cycle, "Recent IPs" shows the history report
# with the start-up address: the heading, an empty line, the address and a
# line break, in an information box titled "Recent IP addresses".
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

address=$(driver resolve) || fail "the driver could not resolve the host name"
heading="This is a list of all IPs used on this computer while Pellux was running:"
want=$(hex_of "$heading"$'\r\n\r\n'"$address"$'\r\n')

set_interval 1000
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"

# The history holds the address from the first cycle on, one interval after
# start; until then the report lists nothing. Look until it shows.
for ((attempt = 0; attempt < 20; attempt++)); do
  tray_menu_choose "$MENU_RECENT"
  box=$(driver wait-visible '#32770' 'Recent IP addresses' "$E2E_TIMEOUT_MS") ||
    fail "no history report appeared"
  got=$(driver child-text-hex "$box" 65535) || fail "the report has no text"
  driver key "$box" RETURN >/dev/null
  driver wait-gone "$box" "$E2E_TIMEOUT_MS" >/dev/null || fail "the report did not close"
  [[ $got == "$(hex_of "$heading"$'\r\n\r\n')" ]] || break
  sleep 0.5
done
expect_eq "$got" "$want" "history report"
pellux_running || fail "the program ended by itself"

set_interval -
pellux_kill
pass
