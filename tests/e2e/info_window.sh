#!/usr/bin/env bash
# Scenario: a double click on the icon opens the information window with the
# address, the computer name and the host name; "Copy IP Address" and "Copy
# All Information" put exactly those texts on the clipboard.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

address=$(driver resolve) || fail "the driver could not resolve the host name"
{ read -r computer && read -r host; } < <(driver names) || fail "the driver could not read the names"
set_interval -
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
tray_click 1 2
window=$(info_wait "$address")
pointer_park

expect_eq "$(driver child-text "$window" "$INFO_ADDRESS")" "$address" "address box"
expect_eq "$(driver child-text "$window" "$INFO_COMPUTER_NAME")" "$computer" "computer name box"
expect_eq "$(driver child-text "$window" "$INFO_HOST_NAME")" "$host" "host name box"

expect_eq "$(clip_copy "$window" "$INFO_COPY_IP")" "$(hex_of "$address")" "copied address"
expect_eq "$(clip_copy "$window" "$INFO_COPY_ALL")" \
  "$(hex_of "IP: $address"$'\r\n'"Computer Name: $computer"$'\r\n'"Hostname: $host")" \
  "copied summary"

driver click "$window" "$INFO_CLOSE" >/dev/null || fail "could not press Close Window"
driver wait-gone "$window" "$E2E_TIMEOUT_MS" >/dev/null || fail "the window did not close"
tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
pass
