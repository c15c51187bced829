# shellcheck shell=bash
# The Windows program's side of the desk (scripts/desk.sh): pellux.exe under
# Wine in a session of scripts/wine-session.sh, and the driver (E2E_DRIVER),
# which finds and works its windows from inside Wine. wine_desk_begin
# [prefix] starts a session of its own on the prefix, or uses the running
# one, and the driver. E2E_TIMEOUT_MS (default 15000) bounds each wait.
# Functions that "print" write to stdout for $(...) capture; those said to
# fail end the script through the `fail` of the file that sources this one.
# shellcheck disable=SC2119,SC2120,SC2034 # optional arguments; names for the sourcing scripts

# shellcheck source-path=SCRIPTDIR source=wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"

E2E_TIMEOUT_MS=${E2E_TIMEOUT_MS:-15000}
DESK_TIMEOUT=$(((E2E_TIMEOUT_MS + 999) / 1000))
# Wine's tray takes one click right after another.
DESK_CLICK_GAP_MS=0
# Wine's tray window is at the top left.
DESK_POINTER_PARK="1000 740"

# wine_desk_begin [prefix]: with a prefix, starts a session (display, prefix,
# wineserver) on it, ended on exit; then starts the driver.
wine_desk_begin() {
  if [[ -n ${1:-} ]]; then
    wine_session_start "$1" || fail "could not start a Wine session"
    wine_session_install_trap
  fi
  desk_tmp || fail "no temporary directory"
  desk_on_exit _wine_desk_cleanup
  _driver_start
}

# Ends a program left running by a script that stopped early, and the driver
# (after the script's own clean-ups, added later with desk_on_exit).
_wine_desk_cleanup() {
  _driver_stop
  desk_end "$PELLUX_PID" KILL
  PELLUX_PID=""
}

# The one driver process, started by wine_desk_begin: its PID, the
# descriptors of its input and output, and where its death is written down.
E2E_DRIVER_PID=""
E2E_DRIVER_IN=""
E2E_DRIVER_OUT=""

# Starts the driver (E2E_DRIVER, built from tests/e2e/driver.cpp), which
# then serves the whole run. Its stderr holds only what Wine says; the
# driver's own problems come with its answers.
_driver_start() {
  coproc E2E_DRIVER_PROC { exec wine "$E2E_DRIVER" serve 2>"$DESK_TMP/driver.log"; }
  E2E_DRIVER_PID=$E2E_DRIVER_PROC_PID
  # Copies of the coprocess's descriptors, which (unlike its own) pipelines
  # and subshells can use too; the Windows programs the desk starts are
  # given neither, so that the driver's input ends when the shell closes
  # it.
  local in=${E2E_DRIVER_PROC[1]} out=${E2E_DRIVER_PROC[0]}
  exec {E2E_DRIVER_IN}>&"$in" {E2E_DRIVER_OUT}<&"$out" {in}>&- {out}<&-
}

# Ends the driver: the end of its input ends it, unless a Wine process the
# shell started holds the input open too; idle as it is then, it is
# killed.
_driver_stop() {
  [[ -n $E2E_DRIVER_PID ]] || return 0
  exec {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-
  DESK_TIMEOUT=1 desk_wait_gone "$E2E_DRIVER_PID" || desk_end "$E2E_DRIVER_PID" KILL
  wait "$E2E_DRIVER_PID" 2>/dev/null
  E2E_DRIVER_PID=""
}

# _driver_died <command...>: writes down, once, that the driver has ended
# while or before running the command, and says so.
_driver_died() {
  if [[ ! -s $DESK_TMP/driver-died ]]; then
    local words
    words=$(tail -n 3 "$DESK_TMP/driver.log" 2>/dev/null | tr '\n' ' ')
    words=${words% }
    printf 'the test driver (wine driver.exe serve, pid %s) ended during "%s"%s' \
      "$E2E_DRIVER_PID" "$*" "${words:+; Wine said: $words}" >"$DESK_TMP/driver-died"
  fi
  printf 'driver %s: %s\n' "$1" "$(<"$DESK_TMP/driver-died")" >&2
}

# driver <command> [args...]: has the driver run a command; its
# output goes to stdout, what it says of problems to stderr, its status is
# returned. A driver that has ended fails this and every later call, with a
# line that says so; it is never started again.
driver() {
  [[ -n $E2E_DRIVER_PID ]] || { echo "driver $1: the driver was not started" >&2; return 1; }
  if [[ -e $DESK_TMP/driver-died ]] || ! desk_alive "$E2E_DRIVER_PID"; then
    _driver_died "$@"
    return 1
  fi
  local word line answer="" problems="" status=""
  for word in "$@"; do
    [[ $word != *[$'\t\n']* ]] || { echo "driver $1: an argument holds a tab or a line break" >&2; return 2; }
  done
  # A write to a driver that has just ended fails instead of ending the shell.
  if ! (trap '' PIPE && IFS=$'\t' && printf '%s\n' "$*" >&"$E2E_DRIVER_IN") 2>/dev/null; then
    _driver_died "$@"
    return 1
  fi
  # The whole answer is read before any of it is printed, so that a reader
  # that stops early (`| head -1`) leaves nothing of it for the next call.
  while IFS= read -r line <&"$E2E_DRIVER_OUT"; do
    case $line in
    $'\x1e'*) status=${line#$'\x1e'} && break ;;
    $'\x1f'*) problems+=${line#$'\x1f'}$'\n' ;;
    *) answer+=$line$'\n' ;;
    esac
  done
  if [[ -z $status ]]; then
    _driver_died "$@"
    return 1
  fi
  printf '%s' "$problems" >&2
  printf '%s' "$answer"
  return "$status"
}

# The backend of the verbs. The program runs under Wine (the wine process
# becomes the Windows process), without the driver's descriptors, so that the
# driver's input ends when the shell closes it. Wine without a panel on
# the display shows the tray as a window of its own, each icon a child window
# of it with no X window of its own; the driver finds them, whichever classes
# the running Wine gives them (scripts/wine_tray.h), and the menu.
_pellux_exec() { exec wine "$PELLUX_EXE" "$@" {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-; }
_tray_icon() { driver tray-icon 0; }
_window_rect() {
  local rect _ left top right bottom
  rect=$(driver rect "$1") || return 1
  read -r _ left top right bottom <<<"$rect"
  echo "$left $top $((right - left)) $((bottom - top))"
}
_tray_icon_rect() { _window_rect "$1"; }
_tray_menu() { driver wait-visible '#32768' - 0; }

# Positions of the tray menu's entries, counted in Down presses from the top
# (separators are skipped by the keyboard).
MENU_GET_IP=1
MENU_RECENT=2
MENU_CONFIGURE=3
MENU_EXIT=4

# tray_menu_choose <entry>: opens the tray menu with the right button and
# chooses an entry from the keyboard. Another process cannot read a popup
# menu's items here, so each entry is checked by its effect.
tray_menu_choose() {
  local entry=${1:?tray_menu_choose <entry>} menu i
  menu=$(tray_menu_open) || fail "the tray menu did not open"
  for ((i = 0; i < entry; i++)); do
    driver key "$menu" DOWN >/dev/null || fail "the tray menu closed before an entry was chosen"
  done
  driver key "$menu" RETURN >/dev/null || fail "the tray menu closed before an entry was chosen"
  driver wait-gone "$menu" "$E2E_TIMEOUT_MS" >/dev/null || fail "the tray menu stayed open"
}

# set_interval <text|->: stores the poll interval the program reads at start,
# or removes it with "-".
set_interval() {
  if [[ $1 == - ]]; then
    driver reg-delete-value 'Software\Pellux\Options' Interval >/dev/null
  else
    driver reg-set-sz 'Software\Pellux\Options' Interval "$1" >/dev/null
  fi || fail "could not set the stored interval"
}

# The configuration window and its controls (control ids follow the window's
# design table: the first control is 1000).
CONFIG_TITLE="Pellux Configuration"
CONFIG_ABOUT=1000
CONFIG_OK=1002
CONFIG_LIST=1004

# config_open: opens the configuration window from the tray menu and prints
# its handle.
config_open() {
  tray_menu_choose "$MENU_CONFIGURE"
  driver wait-visible PelluxForm "$CONFIG_TITLE" "$E2E_TIMEOUT_MS" ||
    fail "the configuration window did not open"
}

# info_wait <address>: waits for the information window, captioned with the
# address, and prints its handle.
info_wait() {
  driver wait-visible PelluxForm "Pellux: $1" "$E2E_TIMEOUT_MS" ||
    fail "the information window did not open"
}

# The installer of the build under test (PELLUX_SETUP) and what it writes.
RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellux'
SETTINGS_KEY='Software\Pellux'

# host_path <windows-path>: where a path on drive C: of the prefix is on
# this machine.
host_path() {
  local path=${1//\\//}
  [[ ${path:0:2} == [Cc]: ]] || fail "host_path: not on drive C: '$1'"
  echo "$WINEPREFIX/drive_c${path:2}"
}

# setup_begin: for going through the installer, after wine_desk_begin. Finds out
# where the installer puts things: INSTALL_DIR, INSTALLED_EXE, UNINSTALLER,
# SHORTCUT (Windows paths) and PROFILE_HOST, INSTALL_DIR_HOST, SHORTCUT_HOST
# (on this machine); SETUP_TITLE is the installer's window title. Removes
# whatever an earlier run left, and does so again when the shell exits.
setup_begin() {
  local name
  for name in PELLUX_SETUP PELLUX_VERSION PELLUX_BUILD; do
    if [[ -z ${!name:-} ]]; then
      echo "$(basename "$0" .sh): $name must be set" >&2
      exit 2
    fi
  done
  [[ -f $PELLUX_SETUP ]] || fail "no installer at $PELLUX_SETUP"
  local local_app_data programs profile
  profile=$(driver folder Profile) || fail "no profile folder"
  local_app_data=$(driver folder LocalAppData) || fail "no local application data folder"
  programs=$(driver folder Programs) || fail "no Start-menu folder"
  INSTALL_DIR="$local_app_data\\Programs\\Pellux"
  INSTALLED_EXE="$INSTALL_DIR\\pellux.exe"
  UNINSTALLER="$INSTALL_DIR\\uninstall.exe"
  SHORTCUT="$programs\\Pellux.lnk"
  PROFILE_HOST=$(host_path "$profile") || exit 1
  INSTALL_DIR_HOST=$(host_path "$INSTALL_DIR") || exit 1
  SHORTCUT_HOST=$(host_path "$SHORTCUT") || exit 1
  SETUP_TITLE="Pellux $PELLUX_VERSION Setup"
  [[ $PELLUX_BUILD == win64 ]] && SETUP_TITLE="Pellux $PELLUX_VERSION (64-bit) Setup"
  setup_clean
  desk_on_exit setup_clean
}

# setup_clean: ends any running Pellux and removes what the installer writes
# but the setting.
setup_clean() {
  # Each step may find nothing to do, also under set -e.
  {
    driver close-all PelluxMain
    rm -rf "$INSTALL_DIR_HOST" "$SHORTCUT_HOST"
    driver reg-delete-value "$RUN_KEY" Pellux
    driver reg-delete-key "$UNINSTALL_KEY"
  } >/dev/null 2>&1 || true
}

# wizard_wait <title>: waits for a wizard's window and prints its handle.
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

# setup_pages_install <hook>: runs the installer and goes through its pages
# as a user does: clears "Start Pellux when I sign in", leaves "Start Pellux
# now" checked, installs and finishes, calling `<hook> <page> <window>` on
# each page (setup-options, setup-finish). Returns the installer's status.
setup_pages_install() {
  local setup sign_in pid code=0
  wine "$PELLUX_SETUP" </dev/null >>"$DESK_TMP/setup.log" 2>&1 &
  pid=$!
  setup=$(wizard_wait "$SETUP_TITLE") || exit 1
  sign_in=$(check_box "$setup" "Start Pellux when I &sign in" 1) || exit 1
  pointer_park
  "$1" setup-options "$setup"
  toggle "$setup" "$sign_in" 0
  driver click "$setup" 1 >/dev/null
  check_box "$setup" "&Start Pellux now" 1 >/dev/null || exit 1
  "$1" setup-finish "$setup"
  driver click "$setup" 1 >/dev/null
  desk_wait_gone "$pid" || fail "the installer did not end"
  wait "$pid" || code=$?
  return "$code"
}

# setup_pages_uninstall <hook>: the same for the installed uninstaller (or
# the copy of itself it hands its work to), with "Also remove my setting"
# checked, calling `<hook> uninstall <window>` once it is.
setup_pages_uninstall() {
  local uninstall remove
  wine "$UNINSTALLER" </dev/null >>"$DESK_TMP/setup.log" 2>&1 || fail "the uninstaller did not start"
  uninstall=$(wizard_wait "Pellux Uninstall") || exit 1
  remove=$(check_box "$uninstall" "Also remove my &setting" 0) || exit 1
  toggle "$uninstall" "$remove" 1
  "$1" uninstall "$uninstall"
  driver click "$uninstall" 1 >/dev/null
  driver child-id "$uninstall" "&Close" "$E2E_TIMEOUT_MS" >/dev/null || fail "the uninstaller did not finish"
  driver click "$uninstall" 1 >/dev/null
  driver wait-gone "$uninstall" "$E2E_TIMEOUT_MS" >/dev/null || fail "the uninstaller's window stays"
}
