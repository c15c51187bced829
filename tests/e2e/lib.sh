# shellcheck shell=bash
# Library for the end-to-end scenarios: each scenario is a bash script that
# sources this file, calls e2e_begin, drives the program under Wine and exits 0
# when everything held.
#
# Environment:
#   PELLUX_EXE      the program under test (required)
#   E2E_DRIVER      tests/e2e/driver.exe, built from driver.cpp (required)
#   E2E_PREFIX      run standalone: start a session (display, prefix,
#                   wineserver) on this Wine prefix and end it on exit; the
#                   same as passing `--prefix <dir>` to the scenario
#   E2E_TIMEOUT_MS  upper bound of each wait (default 15000); a failure guard
#                   only, waits end as soon as their condition holds
#   E2E_ARTIFACTS   if set, a directory where a failing scenario leaves a
#                   screenshot of the display and the program's output
#
# Without a prefix the scenario expects to run inside a session started by
# scripts/wine-session.sh (which exports DISPLAY, WINEPREFIX and friends), e.g.
#   scripts/wine-session.sh build/wineprefix ctest
#
# Functions that "print" something write it to stdout for $(...) capture.
# Functions documented to fail end the scenario through `fail`. The verbs
# (pellux_start, tray_click ...) are the test desk's (scripts/desk.sh); this
# file supplies where Wine puts the program's icon and menu.

# Several functions take optional arguments:
# shellcheck disable=SC2119,SC2120

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR/../../scripts source=wine-session.sh
source "$E2E_DIR/../../scripts/wine-session.sh"

E2E_TIMEOUT_MS=${E2E_TIMEOUT_MS:-15000}
DESK_TIMEOUT=$(((E2E_TIMEOUT_MS + 999) / 1000))
# Wine's tray takes one click right after another.
DESK_CLICK_GAP_MS=0
# Wine's tray window is at the top left.
DESK_POINTER_PARK="1000 740"
E2E_NAME=$(basename "$0" .sh)

# fail <message>: reports the failure (with a screenshot and the program's
# output when E2E_ARTIFACTS is set) and exits 1. A failure that follows from
# the driver's death is reported as that death.
fail() {
  if [[ -n $DESK_TMP && -s $DESK_TMP/driver-died ]]; then
    local status=""
    # (only the shell that started the driver can learn its status)
    if [[ -n $E2E_DRIVER_PID && $BASHPID == "$$" ]]; then
      wait "$E2E_DRIVER_PID" 2>/dev/null
      status=" with status $?"
    fi
    printf 'FAIL %s: %s%s (and so: %s)\n' "$E2E_NAME" "$(<"$DESK_TMP/driver-died")" "$status" "$*" >&2
  else
    printf 'FAIL %s: %s\n' "$E2E_NAME" "$*" >&2
  fi
  if [[ -n ${E2E_ARTIFACTS:-} && -n ${DISPLAY:-} ]]; then
    mkdir -p "$E2E_ARTIFACTS" &&
      import -window root "$E2E_ARTIFACTS/$E2E_NAME.png" 2>/dev/null
    if [[ -n $DESK_TMP && -s $DESK_TMP/pellux.log ]]; then
      cp "$DESK_TMP/pellux.log" "$E2E_ARTIFACTS/$E2E_NAME.log"
    fi
  fi
  exit 1
}

# expect_eq <got> <want> <what>: fails unless got and want are equal.
expect_eq() {
  if [[ $1 != "$2" ]]; then
    fail "$3: got '$1', want '$2'"
  fi
}

# pass: reports success and exits 0.
pass() {
  printf 'PASS %s\n' "$E2E_NAME"
  exit 0
}

# Ends a program left running by a scenario that stopped early, and the
# driver. (A scenario's own clean-ups, added later with desk_on_exit, run
# before this.)
_e2e_cleanup() {
  _e2e_driver_stop
  if [[ -n $PELLUX_PID ]]; then
    kill -KILL "$PELLUX_PID" 2>/dev/null
    wait "$PELLUX_PID" 2>/dev/null
    PELLUX_PID=""
  fi
}

# e2e_begin [--prefix <dir>]: checks the environment and, with a prefix (or
# E2E_PREFIX), starts a session of its own. Pass the scenario's arguments.
e2e_begin() {
  local prefix=${E2E_PREFIX:-}
  while (($# > 0)); do
    case $1 in
    --prefix)
      (($# >= 2)) || { echo "usage: $0 [--prefix <wine-prefix-dir>]" >&2; exit 2; }
      prefix=$2
      shift 2
      ;;
    *)
      echo "usage: $0 [--prefix <wine-prefix-dir>]" >&2
      exit 2
      ;;
    esac
  done
  local name
  for name in PELLUX_EXE E2E_DRIVER; do
    if [[ -z ${!name:-} || ! -f ${!name} ]]; then
      echo "$E2E_NAME: $name must name an existing file (is '${!name:-}')" >&2
      exit 2
    fi
  done
  if [[ -n $prefix ]]; then
    wine_session_start "$prefix" || fail "could not start a Wine session"
    wine_session_install_trap
  elif [[ ${WINE_SESSION_ACTIVE:-} != 1 || -z ${WINEPREFIX:-} ]]; then
    echo "$E2E_NAME: run inside a session (scripts/wine-session.sh) or pass" \
      "--prefix <dir> / set E2E_PREFIX" >&2
    exit 2
  fi
  desk_tmp || fail "no temporary directory"
  desk_on_exit _e2e_cleanup
  _e2e_driver_start
}

# The scenario's one driver process, started by e2e_begin: its PID, the
# descriptors of its input and output, and where its death is written down.
E2E_DRIVER_PID=""
E2E_DRIVER_IN=""
E2E_DRIVER_OUT=""

# Starts the driver, which then serves the whole scenario (see driver.cpp).
# Its stderr holds only what Wine says; the driver's own problems come with
# its answers.
_e2e_driver_start() {
  coproc E2E_DRIVER_PROC { exec wine "$E2E_DRIVER" serve 2>"$DESK_TMP/driver.log"; }
  E2E_DRIVER_PID=$E2E_DRIVER_PROC_PID
  # Copies of the coprocess's descriptors, which (unlike its own) pipelines
  # and subshells can use too; the Windows programs this file starts are
  # given neither, so that the driver's input ends when the scenario closes
  # it.
  local in=${E2E_DRIVER_PROC[1]} out=${E2E_DRIVER_PROC[0]}
  exec {E2E_DRIVER_IN}>&"$in" {E2E_DRIVER_OUT}<&"$out" {in}>&- {out}<&-
}

# Ends the driver: the end of its input ends it, unless a Wine process the
# scenario started holds the input open too; idle as it is then, it is
# killed.
_e2e_driver_stop() {
  [[ -n $E2E_DRIVER_PID ]] || return 0
  exec {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-
  DESK_TIMEOUT=1 desk_wait_gone "$E2E_DRIVER_PID" || kill -KILL "$E2E_DRIVER_PID" 2>/dev/null
  wait "$E2E_DRIVER_PID" 2>/dev/null
  E2E_DRIVER_PID=""
}

# _e2e_driver_died <command...>: writes down, once, that the driver has ended
# while or before running the command, and says so.
_e2e_driver_died() {
  if [[ ! -s $DESK_TMP/driver-died ]]; then
    local words
    words=$(tail -n 3 "$DESK_TMP/driver.log" 2>/dev/null | tr '\n' ' ')
    words=${words% }
    printf 'the test driver (wine driver.exe serve, pid %s) ended during "%s"%s' \
      "$E2E_DRIVER_PID" "$*" "${words:+; Wine said: $words}" >"$DESK_TMP/driver-died"
  fi
  printf 'driver %s: %s\n' "$1" "$(<"$DESK_TMP/driver-died")" >&2
}

# driver <command> [args...]: has the scenario's driver run a command; its
# output goes to stdout, what it says of problems to stderr, its status is
# returned. A driver that has ended fails this and every later call, with a
# line that says so; it is never started again.
driver() {
  [[ -n $E2E_DRIVER_PID ]] || { echo "driver $1: the driver was not started" >&2; return 1; }
  if [[ -e $DESK_TMP/driver-died ]] || ! desk_alive "$E2E_DRIVER_PID"; then
    _e2e_driver_died "$@"
    return 1
  fi
  local word line answer="" problems="" status=""
  for word in "$@"; do
    [[ $word != *[$'\t\n']* ]] || { echo "driver $1: an argument holds a tab or a line break" >&2; return 2; }
  done
  # A write to a driver that has just ended fails instead of ending the shell.
  if ! (trap '' PIPE && IFS=$'\t' && printf '%s\n' "$*" >&"$E2E_DRIVER_IN") 2>/dev/null; then
    _e2e_driver_died "$@"
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
    _e2e_driver_died "$@"
    return 1
  fi
  printf '%s' "$problems" >&2
  printf '%s' "$answer"
  return "$status"
}

# The backend of the verbs. The program runs under Wine (the wine process
# becomes the Windows process), without the driver's descriptors, so that the
# driver's input ends when the scenario closes it. Wine without a panel on
# the display shows the tray as a window of its own, each icon a child window
# of it with no X window of its own; the driver finds them, whichever classes
# the running Wine gives them (scripts/wine_tray.h), and the menu.
_pellux_exec() { exec wine "$PELLUX_EXE" "$@" {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-; }
_tray_icon() { driver tray-icon 0; }
_tray_icon_rect() {
  local rect _ left top right bottom
  rect=$(driver rect "$1") || return 1
  read -r _ left top right bottom <<<"$rect"
  echo "$left $top $((right - left)) $((bottom - top))"
}
_tray_menu() { driver wait-visible '#32768' - 0; }

# pellux_start_again: starts the program once more while the one started by
# pellux_start runs, waits until this second start has ended and prints its
# exit code; fails if it keeps running.
pellux_start_again() {
  local pid code=0
  wine "$PELLUX_EXE" </dev/null >>"$DESK_TMP/pellux-again.log" 2>&1 {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&- &
  pid=$!
  if ! desk_wait_gone "$pid"; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    fail "the second start is still running"
  fi
  wait "$pid" || code=$?
  echo "$code"
}

# screenshot <file> [hwnd]: a picture of the display, or of one window on it.
screenshot() {
  if [[ -z ${2:-} ]]; then
    import -window root "$1" || fail "no screenshot"
    return
  fi
  local _ left top right bottom
  read -r _ left top right bottom < <(driver rect "$2") || fail "window $2 has no rectangle"
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$1" ||
    fail "no screenshot"
}

# hex_of <text>: the text's bytes as lower-case hex, the way the driver prints
# clipboard and control texts. Use $'...' for CR LF.
hex_of() {
  printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'
}

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
  local window
  tray_menu_choose "$MENU_CONFIGURE"
  window=$(driver wait-visible PelluxForm "$CONFIG_TITLE" "$E2E_TIMEOUT_MS") ||
    fail "the configuration window did not open"
  echo "$window"
}

# The information window's controls.
INFO_CLOSE=1000
INFO_COPY_ALL=1001
INFO_COPY_IP=1002
INFO_HOST_NAME=1006
INFO_COMPUTER_NAME=1007
INFO_ADDRESS=1008

# info_wait <address>: waits for the information window, captioned with the
# address, and prints its handle.
info_wait() {
  driver wait-visible PelluxForm "Pellux: $1" "$E2E_TIMEOUT_MS" ||
    fail "the information window did not open"
}

# clip_copy <window> <button>: presses a copy button and prints the text the
# clipboard got, as hex.
clip_copy() {
  local seq
  seq=$(driver clip-seq) || fail "no clipboard sequence number"
  driver click "$1" "$2" >/dev/null || fail "could not press button $2"
  driver clip-wait "$seq" "$E2E_TIMEOUT_MS" || fail "the clipboard did not change"
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

# setup_begin: for the installer's scenarios, after e2e_begin. Finds out
# where the installer puts things: INSTALL_DIR, INSTALLED_EXE, UNINSTALLER,
# SHORTCUT (Windows paths) and PROFILE_HOST, INSTALL_DIR_HOST, SHORTCUT_HOST
# (on this machine); SETUP_TITLE is the installer's window title. Removes
# whatever an earlier run left, and does so again when the scenario ends.
setup_begin() {
  local name
  for name in PELLUX_SETUP PELLUX_VERSION PELLUX_BUILD; do
    if [[ -z ${!name:-} ]]; then
      echo "$E2E_NAME: $name must be set" >&2
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
  driver close-all PelluxMain >/dev/null 2>&1
  rm -rf "$INSTALL_DIR_HOST" "$SHORTCUT_HOST"
  driver reg-delete-value "$RUN_KEY" Pellux >/dev/null 2>&1
  driver reg-delete-key "$UNINSTALL_KEY" >/dev/null 2>&1
}

# setup_run [args...]: runs the installer and returns its exit code. Its
# output goes to a file: a Pellux it starts would hold a pipe open.
setup_run() {
  wine "$PELLUX_SETUP" "$@" </dev/null >>"$DESK_TMP/setup.log" 2>&1 {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-
}

# uninstall_silently: runs the installed uninstaller with /S and waits until
# it is done. The uninstaller hands its work to a copy of itself, so that it
# can remove its own file; the uninstall entry goes last.
uninstall_silently() {
  wine "$UNINSTALLER" /S </dev/null >>"$DESK_TMP/setup.log" 2>&1 {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&- ||
    fail "the uninstaller did not start"
  driver reg-wait-gone "$UNINSTALL_KEY" "$E2E_TIMEOUT_MS" >/dev/null ||
    fail "the uninstall entry is still there"
}

# running_pellux: prints the handle of the one running Pellux's main window
# after checking that exactly one runs, with one icon in the tray, from the
# installed file.
running_pellux() {
  local main image
  main=$(driver wait-window PelluxMain - "$E2E_TIMEOUT_MS") || fail "no Pellux runs"
  tray_icon_wait >/dev/null || fail "no tray icon appeared"
  image=$(driver process "$main" | sed -n 2p) || fail "no process for the main window"
  expect_eq "$image" "$INSTALLED_EXE" "program file of the running Pellux"
  expect_eq "$(driver windows PelluxMain | wc -l)" 1 "running Pellux programs"
  expect_eq "$(driver tray-icons | wc -l)" 1 "icons in the tray"
  echo "$main"
}

# expect_uninstalled: nothing the installer wrote is left.
expect_uninstalled() {
  [[ ! -e $INSTALL_DIR_HOST ]] || fail "the program's folder is still there: $(ls -A "$INSTALL_DIR_HOST")"
  [[ -d ${INSTALL_DIR_HOST%/*} ]] || fail "Windows' own folder of per-user programs is gone"
  [[ ! -e $SHORTCUT_HOST ]] || fail "the Start-menu shortcut is still there"
  ! driver reg-get "$RUN_KEY" Pellux >/dev/null 2>&1 || fail "the Run value is still there"
  ! driver reg-values "$UNINSTALL_KEY" >/dev/null 2>&1 || fail "the uninstall entry is still there"
}
