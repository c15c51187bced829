#!/usr/bin/env bash
# Scenario: after start-up the program shows a tray icon whose tooltip reads
# "Pellux: " followed by the computer's IPv4 address, the last address its
# own host name resolves to (the driver resolves it the same way).
#
# Usage: startup_tooltip.sh [--prefix <wine-prefix-dir>]
#   with PELLUX_EXE and E2E_DRIVER set; without --prefix (or E2E_PREFIX) it
#   must run inside a session started by scripts/wine-session.sh.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

address=$(driver resolve) || fail "the driver could not resolve the host name"
[[ -n $address ]] ||
  fail "the host name resolves to no IPv4 address here; the scenario needs one"

pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
tray_hover
if ! tip=$(driver tooltip "$E2E_TIMEOUT_MS"); then
  if ! pellux_running; then
    pellux_wait_exit
    fail "the program ended by itself (exit code $PELLUX_STATUS)"
  fi
  fail "no tooltip over the tray icon"
fi
expect_eq "$tip" "Pellux: $address" "tooltip"
pellux_running || fail "the program ended by itself"

pointer_park
pellux_kill
pass
