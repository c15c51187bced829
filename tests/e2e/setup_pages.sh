#!/usr/bin/env bash
# Scenario: the installer's and the uninstaller's pages, as a user goes
# through them. With "Start Pellux when I sign in" cleared and "Start Pellux
# now" left checked, the installer writes no Run value and starts Pellux; a
# silent upgrade keeps that choice; the uninstaller with "Also remove my
# setting" checked removes the setting with everything else.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"
setup_begin

# The pages' own checks, as each shows.
# shellcheck disable=SC2317 # called by setup_pages_*
page() {
  case $1 in
  setup-options) expect_eq "$(driver child-text "$2" 1)" "&Install" "the first page's button" ;;
  uninstall) expect_eq "$(driver child-text "$2" 1)" "&Uninstall" "the uninstaller's button" ;;
  esac
}

set_interval 3000
setup_pages_install page || fail "exit code of the installer: got '$?', want '0'"
running_pellux >/dev/null || exit 1
! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "a Run value was written"
expect_eq "$(driver reg-get "$UNINSTALL_KEY" DisplayVersion)" "$PELLUX_VERSION" "DisplayVersion"

setup_run /S || fail "the silent upgrade failed"
running_pellux >/dev/null || exit 1
! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "the upgrade turned the start at sign-in on"

setup_pages_uninstall page

tray_icon_gone || fail "Pellux still runs"
expect_uninstalled
! driver reg-values "$SETTINGS_KEY" >/dev/null 2>&1 || fail "the setting is still there"
pass
