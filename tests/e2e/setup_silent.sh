#!/usr/bin/env bash
# Scenario: the installer of this build, run silently (/S), puts the program,
# its uninstaller, a Start-menu shortcut, the start at sign-in and the
# installed-apps entry in place; the program starts from there with its tray
# icon; the silent uninstaller ends the running program as its Exit does and
# removes all of it but the setting. Nothing is written outside the user's
# profile and registry hive.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"
setup_begin

set_interval 2000
marker=$DESK_TMP/before
touch "$marker"
hklm_software() {
  wine reg export 'HKLM\Software' "$DESK_TMP/hklm-$1.reg" /y </dev/null >/dev/null 2>&1 ||
    fail "could not export HKLM\\Software"
}
hklm_software before

code=0
setup_run /S || code=$?
expect_eq "$code" 0 "exit code of the installer"

# The files, and only these.
expect_eq "$(find "$INSTALL_DIR_HOST" -mindepth 1 -printf '%P\n' | sort | tr '\n' ' ')" \
  "LICENSE.txt pellux.exe uninstall.exe " "installed files"
cmp -s "$INSTALL_DIR_HOST/pellux.exe" "$PELLUX_EXE" || fail "the installed pellux.exe is not the one built"
{ read -r target && read -r arguments && read -r folder && read -r icon; } < <(driver shortcut "$SHORTCUT") ||
  fail "the Start-menu shortcut cannot be read"
expect_eq "$target" "$INSTALLED_EXE" "shortcut target"
expect_eq "$arguments" "" "shortcut arguments"
expect_eq "$folder" "$INSTALL_DIR" "shortcut working folder"
expect_eq "$icon" "$INSTALLED_EXE,0" "shortcut icon"

expect_eq "$(driver reg-get "$RUN_KEY" Pellux)" "\"$INSTALLED_EXE\"" "Run value"

expect_eq "$(driver reg-values "$UNINSTALL_KEY" | sort | tr '\n' ' ')" \
  "DisplayIcon DisplayName DisplayVersion EstimatedSize InstallLocation NoModify NoRepair Publisher QuietUninstallString UninstallString " \
  "values of the uninstall entry"
name=Pellux
[[ $PELLUX_BUILD == win64 ]] && name="Pellux (64-bit)"
entry() { driver reg-get "$UNINSTALL_KEY" "$1"; }
expect_eq "$(entry DisplayName)" "$name" "DisplayName"
expect_eq "$(entry DisplayVersion)" "$PELLUX_VERSION" "DisplayVersion"
expect_eq "$(entry DisplayIcon)" "$INSTALLED_EXE,0" "DisplayIcon"
expect_eq "$(entry Publisher)" "The Pellux authors" "Publisher"
expect_eq "$(entry InstallLocation)" "$INSTALL_DIR" "InstallLocation"
expect_eq "$(entry UninstallString)" "\"$UNINSTALLER\"" "UninstallString"
expect_eq "$(entry QuietUninstallString)" "\"$UNINSTALLER\" /S" "QuietUninstallString"
expect_eq "$(entry NoModify)" "REG_DWORD 1" "NoModify"
expect_eq "$(entry NoRepair)" "REG_DWORD 1" "NoRepair"
size=$(entry EstimatedSize)
[[ $size =~ ^REG_DWORD\ ([0-9]+)$ ]] || fail "EstimatedSize is '$size'"
installed_bytes=$(cat "$INSTALL_DIR_HOST"/* | wc -c)
((BASH_REMATCH[1] * 1024 >= installed_bytes - 2048 && BASH_REMATCH[1] * 1024 <= installed_bytes + 2048)) ||
  fail "EstimatedSize ${BASH_REMATCH[1]} KiB for $installed_bytes bytes"

# Started the way the sign-in starts it: the Run value's command.
PELLUX_EXE=$INSTALLED_EXE
pellux_start
running_pellux >/dev/null || exit 1
address=$(driver resolve) || fail "the driver could not resolve the host name"
tray_menu_choose "$MENU_GET_IP"
info=$(info_wait "$address")

uninstall_silently
pellux_wait_exit || fail "the program did not exit within $E2E_TIMEOUT_MS ms"
code=$PELLUX_STATUS
expect_eq "$code" 0 "exit code of the Pellux the uninstaller ended"
driver wait-gone "$info" 0 >/dev/null || fail "the information window is still there"
tray_icon_gone || fail "an icon stays in the tray"
expect_uninstalled
expect_eq "$(driver reg-get "$SETTINGS_KEY\\Options" Interval)" 2000 "the kept setting"

# Outside the profile: no file, and nothing under HKLM\Software.
outside=$(find "$WINEPREFIX/drive_c" -newer "$marker" -not -path "$PROFILE_HOST" \
  -not -path "$PROFILE_HOST/*" | head -5)
[[ -z $outside ]] || fail "written outside the profile: $outside"
hklm_software after
cmp -s "$DESK_TMP/hklm-before.reg" "$DESK_TMP/hklm-after.reg" ||
  fail "HKLM\\Software changed: $(diff <(iconv -f UTF-16 -t UTF-8 "$DESK_TMP/hklm-before.reg") \
    <(iconv -f UTF-16 -t UTF-8 "$DESK_TMP/hklm-after.reg") | head -5)"

set_interval -
pass
