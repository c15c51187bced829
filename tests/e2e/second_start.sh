#!/usr/bin/env bash
# Scenario: starting the program while it runs opens the information window
# of the running one, in front; the second start ends with exit code 0 and
# leaves one program, with one icon in the tray.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

address=$(driver resolve) || fail "the driver could not resolve the host name"
set_interval -
pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"
main=$(driver wait-window PelluxMain -) || fail "the program has no main window"
first=$(driver process "$main" | head -1) || fail "no process for the main window"

code=$(pellux_start_again) || exit 1
expect_eq "$code" 0 "exit code of the second start"
info=$(info_wait "$address")
expect_eq "$(driver process "$info" | head -1)" "$first" "process of the information window"
expect_eq "$(driver foreground)" "$info" "the foreground window after the hand-over"
pellux_running || fail "the first program ended"
expect_eq "$(driver tray-icons | wc -l)" 1 "icons in the tray"
expect_eq "$(driver windows PelluxMain | wc -l)" 1 "main windows"

# Once more with the window open: it stays the one window.
code=$(pellux_start_again) || exit 1
expect_eq "$code" 0 "exit code of the third start"
expect_eq "$(driver count PelluxForm "Pellux: $address")" 1 "information windows"

# A start beside a frozen one runs, and the frozen one gives way when it wakes.
kill -STOP "$PELLUX_PID"
wine "$PELLUX_EXE" </dev/null >/dev/null 2>&1 {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&- &
newer=$!
wait_until eval '(($(driver tray-icons | wc -l) == 2))' || fail "no icon of the new start"
kill -CONT "$PELLUX_PID"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the frozen program did not end"
PELLUX_PID=$newer
expect_eq "$(pellux_start_again)" 0 "exit code of a start after that"

tray_menu_choose "$MENU_EXIT"
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "the program did not end cleanly"
pass
