#!/usr/bin/env bash
# Checks of scripts/wine-session.sh that need no Wine: a session whose start
# fails ends what it had started, and the check for 32-bit hosts answers
# from what the 32-bit loader does. Stand-ins for Xvfb and Wine's programs go
# first on PATH.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=checks.sh
source "$here/checks.sh"

mkdir -p "$work/bin"
# An Xvfb that reports display 99 on the descriptor it is given and stays.
cat >"$work/bin/Xvfb" <<FAKE
#!/usr/bin/env bash
echo \$\$ >"$work/xvfb.pid"
fd=\$2
echo 99 >&"\$fd"
exec sleep 300
FAKE
# wineboot fails as 32-bit Wine does on a host that cannot run it.
printf '#!/bin/sh\necho "exec: /usr/lib/wine/wine: Exec format error" >&2\nexit 126\n' \
  >"$work/bin/wineboot"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/wine"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/wineserver"
chmod +x "$work/bin/"*

# A failed start, called as the test command calls it: a plain command in a
# shell under set -e, which the failure ends.
failed_start() {
  ! PATH="$work/bin:$PATH" WINE_SESSION_XVFB=1 bash -c '
    set -euo pipefail
    source "$1"
    wine_session_start "$2/prefix" 2>/dev/null
    echo "started" >&2' _ "$here/../../scripts/wine-session.sh" "$work"
}
xvfb_gone() {
  local pid
  pid=$(<"$work/xvfb.pid")
  ! kill -0 "$pid" 2>/dev/null || { kill "$pid"; return 1; }
}
check "a failed start reports failure" failed_start
check "a failed start leaves no Xvfb running" xvfb_gone

# The 32-bit check, against stand-ins for a 32-bit program and the 32-bit
# loader.
printf '#!/bin/sh\necho wine-8.0\n' >"$work/runs"
printf '#!/bin/sh\necho "wine: could not load kernel32.dll" >&2; exit 1\n' >"$work/fails"
printf '\177ELF\001\001\001' >"$work/foreign" # no shell can run this
chmod +x "$work/runs" "$work/fails" "$work/foreign"
runs_32bit() { # runs_32bit <probe> <loader> <PELLUX_HOST_32BIT> <want: yes|no> [reason pattern]
  local answer=yes reason
  reason=$(
    source "$here/../../scripts/wine-session.sh"
    HOST_32BIT_PROBE=$1 WINE_SESSION_LOADER32=$2 PELLUX_HOST_32BIT=$3 wine_session_host_runs_32bit
  ) || answer=no
  [[ $answer == "$4" && $reason == ${5:-} ]]
}
check "a host that runs 32-bit code and 32-bit Wine runs the 32-bit tier" \
  runs_32bit "$work/runs" "$work/runs" auto yes
check "a host that cannot run 32-bit code is said so" runs_32bit "$work/foreign" "$work/runs" \
  auto no "this host cannot execute 32-bit x86 code: Exec format error"
check "a missing 32-bit Wine is said so" \
  runs_32bit "$work/runs" "$work/none" auto no "32-bit Wine (wine32:i386) is not installed"
check "a 32-bit Wine that does not start is said so" \
  runs_32bit "$work/runs" "$work/fails" auto no "32-bit Wine does not start: could not load kernel32.dll"
check "the override leaves 32-bit out on any host" \
  runs_32bit "$work/runs" "$work/runs" no no "PELLUX_HOST_32BIT=no"
check "the override can skip the check" runs_32bit "$work/foreign" "$work/none" yes yes
check "a wrong override is refused" \
  runs_32bit "$work/runs" "$work/runs" maybe no "*must be yes, no or auto*"
# The program the check runs on its own: it exits 0 where 32-bit code runs and
# cannot be started elsewhere; anything else (a crash) means broken bytes.
own_probe() {
  local reason
  reason=$(source "$here/../../scripts/host-32bit.sh" && PELLUX_HOST_32BIT=auto host_runs_32bit) ||
    [[ $reason == *"Exec format error" ]]
}
check "the built-in 32-bit program runs or is refused as foreign" own_probe

# A 64-bit session's `wine` runs the loader without address randomisation
# (personality flag ADDR_NO_RANDOMIZE, 0x0040000), which keeps the heap away
# from the address Wine's shared user data needs.
printf '#!/bin/sh\ncat /proc/self/personality\n' >"$work/loader64"
chmod +x "$work/loader64"
no_random_layout() {
  local personality
  # (a host that forbids changing it runs the loader as it is)
  setarch x86_64 -R true 2>/dev/null || return 0
  personality=$(
    source "$here/../../scripts/wine-session.sh"
    # shellcheck disable=SC2034 # read by the function below
    WINE_SESSION_LOADER64=$work/loader64
    _wine_session_use_loader64 "$work/p64" && wine
  ) || return 1
  (((16#$personality & 16#0040000) != 0))
}
check "the 64-bit loader runs without address randomisation" no_random_layout

# A second prefix started and ended inside a running session, as the window
# tests at another dpi use it, against stand-ins that log each call with the
# prefix it was made for, and say so when one was given a pipe: a server that
# inherits the caller's output would keep the test runner waiting.
mkdir -p "$work/ok"
for name in wine wineboot wineserver; do
  cat >"$work/ok/$name" <<FAKE
#!/usr/bin/env bash
held=""
for fd in 0 1 2; do [[ -p /dev/fd/\$fd ]] && held=" (holding a pipe)"; done
echo "$name \$* in \${WINEPREFIX:-?}\$held" >>"$work/calls"
FAKE
done
chmod +x "$work/ok/"*
# prefix_command <--start-prefix|--stop-prefix> [dpi]: runs it in a session
# and in a folder of its own, with a relative prefix, its output going into a
# pipe; prints the calls made.
prefix_command() {
  : >"$work/calls"
  (cd "$work" && PATH="$work/ok:$PATH" WINE_SESSION_ACTIVE=1 DISPLAY=:99 \
    WINE_SESSION_LOGPIXELS=${2:-} bash "$here/../../scripts/wine-session.sh" "$1" p144 2>&1 |
    cat >"$work/out")
  cat "$work/calls"
}
calls_are() { # calls_are <want> <command...>
  local want=$1 got
  shift
  got=$("$@")
  [[ $got == "$want" ]] && return 0
  printf 'got:\n%s\n' "$got"
  cat "$work/out"
  return 1
}
in=" in $work/p144"
server="wineserver -k$in
wineserver -w$in
wineserver -p$in
wineboot $in"
check "a new prefix is made, set to the dpi and given a running server" calls_are "wineboot -i$in
wine reg add HKCU\\Software\\Wine\\X11 Driver /v Managed /t REG_SZ /d N /f$in
wine reg add HKCU\\Control Panel\\Desktop /v LogPixels /t REG_DWORD /d 144 /f$in
$server" prefix_command --start-prefix 144
check "a prefix already at the dpi only gets its server" calls_are "$server" \
  prefix_command --start-prefix 144
check "back at Wine's own dpi the setting goes" calls_are "wine reg delete HKCU\\Control Panel\\Desktop /v LogPixels /f$in
$server" prefix_command --start-prefix
check "a dpi that is no number starts nothing" calls_are "" prefix_command --start-prefix 1e2
check "stopping ends the prefix's server" calls_are "wineserver -k$in
wineserver -w$in" prefix_command --stop-prefix
outside_session() {
  ! (cd "$work" && PATH="$work/ok:$PATH" WINE_SESSION_ACTIVE="" \
    bash "$here/../../scripts/wine-session.sh" --start-prefix p144 2>/dev/null)
}
check "no prefix is started outside a session" outside_session

((failures == 0))
