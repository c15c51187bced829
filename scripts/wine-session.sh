#!/usr/bin/env bash
# shellcheck shell=bash
# Wine session helpers: a private Wine prefix and a warm wineserver, on a
# display of the desk (desk.sh), for running the Windows programs and
# their end-to-end tests.
#
# Meant to be sourced:
#
#   source scripts/wine-session.sh
#   wine_session_start "$PWD/build/wineprefix" || exit 1
#   wine_session_install_trap          # or: trap wine_session_stop EXIT
#   wine some.exe ...                  # as many wine calls as needed
#
# wine_session_install_trap puts wine_session_stop on the desk's clean-up
# stack, run when the shell exits (INT, TERM and HUP become an ordinary exit),
# so an interrupted run does not leave Xvfb or wineserver behind. Calling
# wine_session_stop yourself is fine too; it can be called twice.
#
# The file can also be executed, to run one command inside a session:
#
#   scripts/wine-session.sh <prefix-dir> <command> [args...]
#
# or, inside a running session (whose display and Wine it uses), to give a
# second prefix a server of its own, e.g. one at another dpi for tests that
# run there, and to end that server again:
#
#   WINE_SESSION_LOGPIXELS=144 scripts/wine-session.sh --start-prefix <prefix-dir>
#   scripts/wine-session.sh --stop-prefix <prefix-dir>
#
# --start-prefix sets the prefix up as wine_session_start does (creating it
# when missing) and leaves its wineserver running, with no output of the
# caller's held open; it ends when --stop-prefix ends it.
#
# Settings (environment, read by wine_session_start):
#   WINE_SESSION_ARCH=win32|win64
#                              the kind of prefix and Wine: 32-bit (the
#                              default) or 64-bit. A 64-bit session puts
#                              the 64-bit loader first on PATH as `wine`, so
#                              every wine call made inside it (ctest's too)
#                              runs 64-bit Wine, even where the 32-bit loader
#                              is installed but cannot run
#   WINE_SESSION_XVFB=1        start a private Xvfb even when DISPLAY is set
#                              (one is started anyway when DISPLAY is unset)
#   WINE_SESSION_LOGPIXELS=N   screen dpi Wine reports (HKCU\Control Panel\
#                              Desktop LogPixels); unset means Wine's default
#                              96. --start-prefix reads it too
#   WINE_SESSION_PREFIX_HOOK=F name of a shell function called as
#                              `F <prefix-dir>` while the prefix is being set
#                              up, with the wine environment exported, to add
#                              registry values of its own (e.g. with
#                              `wine reg add ... >/dev/null 2>&1`); it runs
#                              before the wineserver restart, so Wine
#                              processes started later see the values. It
#                              runs on every start (keep it quick) and a
#                              non-zero return fails the start.
#
# Nothing is printed on success; failures are reported on stderr and give a
# non-zero return.
#
# Two sessions must not share a prefix: starting one ends the wineserver of
# the prefix.
#
# wine_session_host_runs_32bit (no session needed) tells whether this host can
# run 32-bit Wine at all; see there.

# Set by wine_session_start and cleared by wine_session_stop.
_wine_session_desk=""
_wine_session_prefix=""
_wine_session_old_path=""

# Debian's loaders: /usr/bin/wine prefers the 32-bit one whenever it is
# installed, whether or not the host can run it.
WINE_SESSION_LOADER32=/usr/lib/wine/wine
WINE_SESSION_LOADER64=/usr/lib/wine/wine64

# shellcheck source=host-32bit.sh
source "$(dirname "${BASH_SOURCE[0]}")/host-32bit.sh"
# shellcheck source=desk.sh
source "$(dirname "${BASH_SOURCE[0]}")/desk.sh"

# wine_session_host_runs_32bit: true when this host can run 32-bit Wine: it
# executes 32-bit x86 code (host_runs_32bit, with its PELLUX_HOST_32BIT
# override) and 32-bit Wine is installed and starts. When it cannot, the
# reason is printed on stdout.
wine_session_host_runs_32bit() {
  host_runs_32bit || return 1
  [[ ${PELLUX_HOST_32BIT:-auto} != yes ]] || return 0
  if [[ ! -x $WINE_SESSION_LOADER32 ]]; then
    echo "32-bit Wine (wine32:i386) is not installed"
    return 1
  fi
  local out
  if ! out=$("$WINE_SESSION_LOADER32" --version 2>&1 </dev/null); then
    echo "32-bit Wine does not start: ${out##*: }"
    return 1
  fi
}

_wine_session_err() {
  printf 'wine-session: %s\n' "$*" >&2
}

# Runs a command with its output going to a log file rather than to the
# caller's stdout/stderr: Wine processes (and the wineserver one of them may
# start) would otherwise keep a caller's pipe open. Prints the log on failure.
_wine_session_quiet() {
  local log rc=0
  log=$(mktemp "${TMPDIR:-/tmp}/wine-session.XXXXXX") || return 1
  "$@" </dev/null >"$log" 2>&1 || rc=$?
  if ((rc != 0)); then
    _wine_session_err "'$*' failed with status $rc:"
    sed 's/^/  /' "$log" >&2
  fi
  rm -f "$log"
  return "$rc"
}

# Sets (or, with an empty dpi, removes) the dpi Wine reports. The value the
# prefix holds is remembered in a file next to it so that an unchanged setting
# costs nothing on later starts.
_wine_session_apply_logpixels() {
  local prefix=$1 want=$2 mark have=""
  mark="$prefix/.wine-session-logpixels"
  [[ -f $mark ]] && have=$(<"$mark")
  [[ $have == "$want" ]] && return 0
  if [[ -n $want ]]; then
    if [[ ! $want =~ ^[0-9]+$ ]]; then
      _wine_session_err "WINE_SESSION_LOGPIXELS must be a number, got '$want'"
      return 1
    fi
    _wine_session_quiet wine reg add 'HKCU\Control Panel\Desktop' \
      /v LogPixels /t REG_DWORD /d "$want" /f || return 1
  else
    # Deleting a value that is not there fails; that is fine here.
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f \
      </dev/null >/dev/null 2>&1
  fi
  printf '%s' "$want" >"$mark"
}

# wine_session_pick_build [win32|win64]: prints the Windows build to run,
# the one given or else the 32-bit reference build where this host can run it
# and the 64-bit one elsewhere, which is then said on stderr with the reason.
wine_session_pick_build() {
  local reason
  case ${1:-} in
  win32 | win64) echo "$1" ;;
  "")
    if reason=$(wine_session_host_runs_32bit); then
      echo win32
    else
      echo "Using the 64-bit Windows build: $reason." >&2
      echo win64
    fi
    ;;
  *)
    _wine_session_err "the Windows build is win32 or win64, not '$1'"
    return 2
    ;;
  esac
}

# Makes `wine` (and the programs started through it, wineboot among them)
# the 64-bit loader for the rest of the session: a directory of small
# launchers, kept beside the prefix, goes first on PATH.
_wine_session_use_loader64() {
  local bin="$1.bin" name
  if [[ ! -x $WINE_SESSION_LOADER64 ]]; then
    _wine_session_err "64-bit Wine ($WINE_SESSION_LOADER64) is not installed"
    return 1
  fi
  mkdir -p "$bin" || return 1
  # The 64-bit loader is a program at a fixed address (0x7d000000), after
  # which Linux puts the process's heap at a random offset of up to 1 GiB;
  # now and then (about one start in 2,000) the heap covers 0x7ffe0000, where
  # Wine must map the shared user data, and the process ends with status 1
  # before the program runs ("failed to map the shared user data:
  # c0000018", which WINEDEBUG=-all keeps quiet). Without address
  # randomisation the heap follows the loader and stays clear of it. The
  # setting is inherited: every process the session starts has it.
  local norandom=""
  setarch x86_64 -R true 2>/dev/null && norandom="setarch x86_64 -R "
  # wine-stable is what Debian's wineboot, winecfg and friends call.
  for name in wine wine64 wine-stable; do
    printf '#!/bin/sh\nexec %s%s "$@"\n' "$norandom" "$WINE_SESSION_LOADER64" >"$bin/$name" || return 1
    chmod +x "$bin/$name" || return 1
  done
  if [[ -z $_wine_session_old_path ]]; then
    _wine_session_old_path=$PATH
    export PATH="$bin:$PATH"
  fi
  # Wine starts further processes of the session through WINELOADER.
  export WINELOADER=$WINE_SESSION_LOADER64
}

# wine_session_start <prefix-dir>: on failure, whatever it had started is
# ended again.
wine_session_start() {
  if (($# != 1)) || [[ -z $1 ]]; then
    _wine_session_err "usage: wine_session_start <prefix-dir>"
    return 2
  fi
  local rc=0
  _wine_session_start_steps "$1" || rc=$?
  if ((rc != 0)); then
    wine_session_stop || true
  fi
  return "$rc"
}

_wine_session_start_steps() {
  local prefix=$1
  if [[ $prefix != /* ]]; then
    prefix="$PWD/$prefix" # Wine requires an absolute WINEPREFIX
  fi
  local tool
  for tool in Xvfb wine wineserver wineboot; do
    if ! command -v "$tool" >/dev/null; then
      _wine_session_err "'$tool' is not installed"
      return 1
    fi
  done

  # Called again for another prefix: end the first prefix's server, which
  # wine_session_stop would no longer know about.
  if [[ -n $_wine_session_prefix && $_wine_session_prefix != "$prefix" ]]; then
    _wine_session_end_server "$_wine_session_prefix"
  fi

  if [[ -z $_wine_session_desk ]] &&
    [[ -z ${DISPLAY:-} || ${WINE_SESSION_XVFB:-0} == 1 ]]; then
    _wine_session_desk=1
    desk_start display || return 1
  fi

  case ${WINE_SESSION_ARCH:-win32} in
  win32) export WINEARCH=win32 ;;
  win64)
    export WINEARCH=win64
    _wine_session_use_loader64 "$prefix" || return 1
    ;;
  *)
    _wine_session_err "WINE_SESSION_ARCH must be win32 or win64, not '$WINE_SESSION_ARCH'"
    return 1
    ;;
  esac
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Pins Wine's code page (1252) and the UTF-8 handling of command lines.
  export LANG=C.UTF-8
  export WINEPREFIX=$prefix
  _wine_session_prefix=$prefix

  _wine_session_setup_prefix "$prefix" || return 1
  if [[ -n ${WINE_SESSION_PREFIX_HOOK:-} ]]; then
    if ! "$WINE_SESSION_PREFIX_HOOK" "$prefix"; then
      _wine_session_err "prefix hook '$WINE_SESSION_PREFIX_HOOK' failed"
      return 1
    fi
  fi
  _wine_session_start_server "$prefix" || return 1
  export WINE_SESSION_ACTIVE=1
}

# _wine_session_setup_prefix <prefix-dir>: creates the prefix when it is
# missing and gives it the settings of a session (WINEPREFIX and the rest of
# the wine environment exported).
_wine_session_setup_prefix() {
  local prefix=$1
  # The marker is written only after the whole set-up succeeded, so a prefix
  # left half made by an interrupted run is set up again.
  if [[ ! -f $prefix/.wine-session-ready ]]; then
    mkdir -p "$prefix" || return 1
    _wine_session_quiet timeout 300 wineboot -i || return 1
    # Without a window manager, Wine's "managed" mode waits about a second
    # whenever a captioned window or tray icon window is hidden or destroyed.
    _wine_session_quiet wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f || return 1
    : >"$prefix/.wine-session-ready" || return 1
  fi
  _wine_session_apply_logpixels "$prefix" "${WINE_SESSION_LOGPIXELS:-}"
}

# _wine_session_end_server <prefix-dir>: ends the prefix's wineserver, and
# with it every Wine process of the prefix, if one runs.
_wine_session_end_server() {
  WINEPREFIX=$1 timeout 15 wineserver -k </dev/null >/dev/null 2>&1 || true
}

# _wine_session_start_server <prefix-dir>: a fresh, persistent wineserver for
# the prefix, and its desktop process.
_wine_session_start_server() {
  # Registry settings of the X11 driver are read when a Wine process starts,
  # and a wineserver left over from earlier may also hold processes bound to
  # another display: start from a fresh server.
  _wine_session_end_server "$1"
  _wine_session_quiet timeout 15 wineserver -w || return 1
  # A persistent server started here, with its output going nowhere, keeps
  # later wine calls from starting one that inherits their stdout pipe.
  _wine_session_quiet wineserver -p || return 1
  # Start the desktop process (which also hosts the system tray) now rather
  # than in the first program.
  _wine_session_quiet timeout 120 wineboot || return 1
}

# wine_session_start_prefix <prefix-dir>: inside a running session, sets up
# another prefix (at WINE_SESSION_LOGPIXELS, as wine_session_start would) and
# starts its wineserver, which keeps running; the caller's environment stays
# as it was.
wine_session_start_prefix() (
  if (($# != 1)) || [[ -z $1 ]]; then
    _wine_session_err "usage: wine_session_start_prefix <prefix-dir>"
    exit 2
  fi
  if [[ ${WINE_SESSION_ACTIVE:-} != 1 || -z ${DISPLAY:-} ]]; then
    _wine_session_err "no running session to start a prefix in"
    exit 1
  fi
  prefix=$1
  [[ $prefix == /* ]] || prefix="$PWD/$prefix"
  export WINEPREFIX=$prefix
  _wine_session_setup_prefix "$prefix" || exit 1
  if ! _wine_session_start_server "$prefix"; then
    _wine_session_end_server "$prefix"
    exit 1
  fi
)

# wine_session_stop_prefix <prefix-dir>: ends what wine_session_start_prefix
# started.
wine_session_stop_prefix() {
  local prefix=$1
  [[ $prefix == /* ]] || prefix="$PWD/$prefix"
  _wine_session_end_server "$prefix"
  if ! WINEPREFIX=$prefix timeout 15 wineserver -w </dev/null >/dev/null 2>&1; then
    _wine_session_err "wineserver of $prefix did not exit"
    return 1
  fi
}

# wine_session_stop: ends the wineserver (and with it every Wine process of the
# prefix) and the Xvfb started by wine_session_start, if any.
wine_session_stop() {
  local rc=0
  # Every step is allowed to fail (a session whose start failed half way has
  # no server to end), so that a caller running under `set -e` still gets to
  # the end of it and no Xvfb is left behind.
  if [[ -n $_wine_session_prefix ]]; then
    wine_session_stop_prefix "$_wine_session_prefix" || rc=1
    _wine_session_prefix=""
    unset WINE_SESSION_ACTIVE
  fi
  if [[ -n $_wine_session_desk ]]; then
    desk_stop
    _wine_session_desk=""
  fi
  if [[ -n $_wine_session_old_path ]]; then
    export PATH=$_wine_session_old_path
    _wine_session_old_path=""
    unset WINELOADER
  fi
  return "$rc"
}

# wine_session_install_trap: calls wine_session_stop when the shell exits.
wine_session_install_trap() { desk_on_exit wine_session_stop; }

# Executed rather than sourced: run one command inside a session, or start or
# end another prefix's server inside a running one.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  case ${1:-}/$# in
  --start-prefix/2) wine_session_start_prefix "$2" ;;
  --stop-prefix/2) wine_session_stop_prefix "$2" ;;
  --*/* | */0 | */1)
    echo "usage: $0 <prefix-dir> <command> [args...]" >&2
    echo "       $0 --start-prefix <prefix-dir> | --stop-prefix <prefix-dir>" >&2
    exit 2
    ;;
  *)
    wine_session_start "$1" || exit 1
    wine_session_install_trap
    shift
    "$@"
    ;;
  esac
  exit
fi
