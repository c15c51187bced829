#!/usr/bin/env bash
# Scenario: the installer's and the uninstaller's pages, as a user goes
# through them. With "Start Pellux when I sign in" cleared and "Start Pellux
# now" left checked, the installer writes no Run value and starts Pellux; a
# silent upgrade keeps that choice; the uninstaller with "Also remove my
# setting" checked removes the setting with everything else.
#
# With E2E_SCREENSHOTS set to a folder, it leaves pictures of the pages
# there (setup-options.png, setup-finish.png, uninstall.png).
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"
setup_begin

# page_shot <file> <window>: a picture of the page, when asked for.
page_shot() {
  [[ -n ${E2E_SCREENSHOTS:-} ]] || return 0
  mkdir -p "$E2E_SCREENSHOTS" && screenshot "$E2E_SCREENSHOTS/$1" "$2"
}

# wizard_wait <title>: waits for the wizard's window and prints its handle.
wizard_wait() {
  driver wait-visible '#32770' "$1" "$E2E_TIMEOUT_MS" || fail "no window '$1'"
}

# check_box <window> <text> <0|1>: waits for the page's check box with that
# text, checks that it is cleared (0) or checked (1), and prints its id.
check_box() {
  local id
  id=$(driver child-id "$1" "$2" "$E2E_TIMEOUT_MS") || fail "no check box '$2'"
  driver wait-checked "$1" "$id" "$3" 0 >/dev/null || fail "'$2' is not $3 at first"
  echo "$id"
}

# toggle <window> <id> <0|1>: clicks the check box and waits for its new state.
toggle() {
  driver click "$1" "$2" >/dev/null
  driver wait-checked "$1" "$2" "$3" >/dev/null || fail "check box $2 did not become $3"
}

set_interval 3000
wine "$PELLUX_SETUP" </dev/null >>"$DESK_TMP/setup.log" 2>&1 &
setup_pid=$!
setup=$(wizard_wait "$SETUP_TITLE") || exit 1
sign_in=$(check_box "$setup" "Start Pellux when I &sign in" 1) || exit 1
expect_eq "$(driver child-text "$setup" 1)" "&Install" "the first page's button"
pointer_park
page_shot setup-options.png "$setup"
toggle "$setup" "$sign_in" 0
driver click "$setup" 1 >/dev/null

check_box "$setup" "&Start Pellux now" 1 >/dev/null || exit 1
page_shot setup-finish.png "$setup"
driver click "$setup" 1 >/dev/null
code=0
desk_wait_gone "$setup_pid" || fail "the installer did not end"
wait "$setup_pid" || code=$?
expect_eq "$code" 0 "exit code of the installer"
running_pellux >/dev/null || exit 1
! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "a Run value was written"
expect_eq "$(driver reg-get "$UNINSTALL_KEY" DisplayVersion)" "$PELLUX_VERSION" "DisplayVersion"

setup_run /S || fail "the silent upgrade failed"
running_pellux >/dev/null || exit 1
! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "the upgrade turned the start at sign-in on"

# The uninstaller hands its work to a copy of itself, which shows the pages.
wine "$UNINSTALLER" </dev/null >>"$DESK_TMP/setup.log" 2>&1 || fail "the uninstaller did not start"
uninstall=$(wizard_wait "Pellux Uninstall") || exit 1
remove=$(check_box "$uninstall" "Also remove my &setting" 0) || exit 1
expect_eq "$(driver child-text "$uninstall" 1)" "&Uninstall" "the uninstaller's button"
toggle "$uninstall" "$remove" 1
page_shot uninstall.png "$uninstall"
driver click "$uninstall" 1 >/dev/null
driver child-id "$uninstall" "&Close" "$E2E_TIMEOUT_MS" >/dev/null || fail "the uninstaller did not finish"
driver click "$uninstall" 1 >/dev/null
driver wait-gone "$uninstall" "$E2E_TIMEOUT_MS" >/dev/null || fail "the uninstaller's window stays"

tray_icon_gone || fail "Pellux still runs"
expect_uninstalled
! driver reg-values "$SETTINGS_KEY" >/dev/null 2>&1 || fail "the setting is still there"
pass
