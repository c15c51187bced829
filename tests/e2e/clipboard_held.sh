#!/usr/bin/env bash
# Scenario: another program holds the clipboard open while both copy buttons
# are pressed: each time the user is told that nothing was copied, the
# clipboard is left as it was, and the program goes on running.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

address=$(driver resolve) || fail "the driver could not resolve the host name"
set_interval -
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
tray_menu_choose "$MENU_GET_IP"
window=$(info_wait "$address")

seq=$(driver clip-seq) || fail "no clipboard sequence number"
wine "$E2E_DRIVER" clip-hold 60000 >"$DESK_TMP/hold" 2>&1 </dev/null &
holder=$!
for ((i = 0; i < 200; i++)); do
  grep -q held "$DESK_TMP/hold" && break
  sleep 0.05
done
grep -q held "$DESK_TMP/hold" || fail "the clipboard could not be held"

want=$(hex_of "The clipboard is in use by another program. Nothing was copied.")
for button in "$INFO_COPY_IP" "$INFO_COPY_ALL"; do
  driver click "$window" "$button" >/dev/null || fail "could not press button $button"
  box=$(driver wait-visible '#32770' Pellux "$E2E_TIMEOUT_MS") || fail "no message for button $button"
  expect_eq "$(driver child-text-hex "$box" 65535)" "$want" "message for button $button"
  driver key "$box" RETURN >/dev/null
  driver wait-gone "$box" "$E2E_TIMEOUT_MS" >/dev/null || fail "the message did not close"
done
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
expect_eq "$(driver clip-seq)" "$seq" "clipboard sequence number"

pellux_running || fail "the program ended"
expect_eq "$(clip_copy "$window" "$INFO_COPY_IP")" "$(hex_of "$address")" "copy once the clipboard is free"
tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
pass
