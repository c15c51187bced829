#!/usr/bin/env bash
# Scenario: the menu asked for from the keyboard (the menu key on the focused
# icon) opens at the icon, not at the mouse pointer, which is far away on the
# other side of the screen. The shell says where the icon is in the callback's
# wParam; Esc closes the menu and the program runs on.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

# The icon's callback on version 4: WM_CONTEXTMENU in the low word of lParam,
# the icon's id (1) in the high word, the icon's anchor in wParam.
readonly CALLBACK=$((0x8000 + 1)) WM_CONTEXTMENU=$((0x7b)) ICON_ID=1
readonly ANCHOR_X=200 ANCHOR_Y=300

set_interval -
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
main=$(driver wait-window PelluxMain -) || fail "the program has no main window"
driver pointer 1000 20 || fail "the pointer could not be moved"

driver post "$main" "$CALLBACK" $((ANCHOR_Y << 16 | ANCHOR_X)) $((ICON_ID << 16 | WM_CONTEXTMENU)) ||
  fail "the menu key could not be sent"
menu=$(driver wait-visible '#32768' - "$E2E_TIMEOUT_MS") || fail "the menu did not open"
read -r _ left top _ < <(driver rect "$menu" | head -1)
expect_eq "$left $top" "$ANCHOR_X $ANCHOR_Y" "the menu's top-left corner"

driver key "$menu" ESCAPE >/dev/null || fail "the menu closed by itself"
driver wait-gone "$menu" "$E2E_TIMEOUT_MS" >/dev/null || fail "the menu stayed open"
pellux_running || fail "the program ended"
tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
pass
