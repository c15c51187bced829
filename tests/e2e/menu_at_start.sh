#!/usr/bin/env bash
# Scenario: a right click on the tray icon the moment it appears opens the
# menu. The click is handed to the icon's window as the tray does, without
# waiting, on a few fresh starts: start-up must never show an icon whose
# clicks the program cannot read.
#
# Usage: menu_at_start.sh [--prefix <wine-prefix-dir>]
#   with PELLUX_EXE and E2E_DRIVER set; without --prefix (or E2E_PREFIX) it
#   must run inside a session started by scripts/wine-session.sh.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

set_interval -
for start in 1 2 3; do
  pellux_start
  driver tray-click right 0 >/dev/null || fail "start $start: no tray icon to click"
  menu=$(driver wait-visible '#32768' - "$E2E_TIMEOUT_MS") ||
    fail "start $start: the menu did not open for a click as the icon appeared"
  driver key "$menu" ESCAPE >/dev/null || fail "start $start: the menu closed by itself"
  driver wait-gone "$menu" "$E2E_TIMEOUT_MS" >/dev/null || fail "start $start: the menu stayed open"
  pellux_kill
done
pass
