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
#   E2E_ARTIFACTS   if set, a directory where a failing scenario leaves a
#                   screenshot of the display and the program's output
#
# Without a prefix the scenario expects to run inside a session started by
# scripts/wine-session.sh (which exports DISPLAY, WINEPREFIX and friends), e.g.
#   scripts/wine-session.sh build/wineprefix ctest
#
# The verbs (pellux_start, tray_click ...), the driver, its wait bound
# (E2E_TIMEOUT_MS) and the program's windows and installer are the desk's
# (scripts/desk.sh, scripts/wine-desk.sh); this file adds the scenarios'
# beginning and end, their checks, and what only they use.

# shellcheck disable=SC2034 # the controls' ids below are for the scenarios

# shellcheck source-path=SCRIPTDIR/../../scripts source=wine-desk.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-desk.sh"
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
  if [[ -z $prefix && (${WINE_SESSION_ACTIVE:-} != 1 || -z ${WINEPREFIX:-}) ]]; then
    echo "$E2E_NAME: run inside a session (scripts/wine-session.sh) or pass" \
      "--prefix <dir> / set E2E_PREFIX" >&2
    exit 2
  fi
  wine_desk_begin "$prefix"
}

# pellux_start_again: starts the program once more while the one started by
# pellux_start runs, waits until this second start has ended and prints its
# exit code; fails if it keeps running.
pellux_start_again() {
  local pid code=0
  wine "$PELLUX_EXE" </dev/null >>"$DESK_TMP/pellux-again.log" 2>&1 {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&- &
  pid=$!
  if ! desk_wait_gone "$pid"; then
    desk_end "$pid" KILL
    fail "the second start is still running"
  fi
  wait "$pid" || code=$?
  echo "$code"
}

# hex_of <text>: the text's bytes as lower-case hex, the way the driver prints
# clipboard and control texts. Use $'...' for CR LF.
hex_of() {
  printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'
}

# The information window's controls.
INFO_CLOSE=1000
INFO_COPY_ALL=1001
INFO_COPY_IP=1002
INFO_HOST_NAME=1006
INFO_COMPUTER_NAME=1007
INFO_ADDRESS=1008

# clip_copy <window> <button>: presses a copy button and prints the text the
# clipboard got, as hex.
clip_copy() {
  local seq
  seq=$(driver clip-seq) || fail "no clipboard sequence number"
  driver click "$1" "$2" >/dev/null || fail "could not press button $2"
  driver clip-wait "$seq" "$E2E_TIMEOUT_MS" || fail "the clipboard did not change"
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
