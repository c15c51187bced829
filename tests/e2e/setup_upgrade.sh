#!/usr/bin/env bash
# Scenario: installing over an installed copy that runs, with its information
# window open, ends that copy as its Exit does, replaces its file and starts
# the new one: one Pellux runs afterwards, from the new file, with one icon.
# The sign-in choice of the installed copy is kept.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"
setup_begin
built=$PELLUX_EXE

set_interval -
setup_run /S || fail "the first install failed"
# The installed copy becomes an older one: the same program with bytes of its
# own at the end, which Windows ignores.
{ cat "$built" && printf 'an older Pellux'; } >"$INSTALL_DIR_HOST/pellux.exe" ||
  fail "could not make the older copy"
# Its user turned the start at sign-in off.
driver reg-delete-value "$RUN_KEY" Pellux >/dev/null || fail "could not remove the Run value"

PELLUX_EXE=$INSTALLED_EXE
pellux_start
old_main=$(running_pellux) || exit 1
address=$(driver resolve) || fail "the driver could not resolve the host name"
tray_menu_choose "$MENU_GET_IP"
info=$(info_wait "$address")

code=0
setup_run /S || code=$?
expect_eq "$code" 0 "exit code of the installer"
pellux_wait_exit || fail "the program did not exit within $E2E_TIMEOUT_MS ms"
code=$PELLUX_STATUS
expect_eq "$code" 0 "exit code of the older Pellux"
driver wait-gone "$info" 0 >/dev/null || fail "the older Pellux's information window is still there"
driver wait-gone "$old_main" 0 >/dev/null || fail "the older Pellux's main window is still there"
cmp -s "$INSTALL_DIR_HOST/pellux.exe" "$built" || fail "the installed file was not replaced"
new_main=$(running_pellux) || exit 1
[[ $new_main != "$old_main" ]] || fail "the same main window runs on"
! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "the start at sign-in was turned on again"

uninstall_silently
driver wait-gone "$new_main" "$E2E_TIMEOUT_MS" >/dev/null || fail "the uninstaller left Pellux running"
expect_uninstalled
pass
