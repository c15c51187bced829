#!/usr/bin/env bash
# One Pellux per session, tested with the real program against what broke
# earlier designs, each time on a desktop of its own with a session bus:
#
#   stopped    the running program is stopped (SIGSTOP) while five more
#              start: each of them says the running one does not answer and
#              ends; once continued, it still serves a later start.
#   readonly   the runtime folder may not be written in;
#   toolong    its path is longer than a local socket's path may be;
#   squatted   a directory stands at $XDG_RUNTIME_DIR/pellux:
#              in each, four programs start at once.
#
# Every time exactly one program stays running, and nothing is written in
# the runtime folder.
#
#   tests/qt/single_instance.sh build/linux/pellux stopped
set -euo pipefail
program=$(realpath "$1")
scenario=${2:-stopped}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

STARTED=()

fail() {
  echo "FAIL single_instance $scenario: $*" >&2
  local log
  for log in "$DESK_TMP"/start-*.log; do
    [[ -f $log ]] && { echo "--- $(basename "$log"):" >&2; cat "$log" >&2; }
  done
  exit 1
}

# start <n>: the n-th program, in the background.
start() {
  desk_spawn "start-$1" "$program"
  STARTED+=($!)
}

# The started programs still running.
running() {
  local pid count=0
  for pid in "${STARTED[@]}"; do
    kill -0 "$pid" 2>/dev/null && [[ $(ps -o stat= -p "$pid") != Z* ]] && count=$((count + 1))
  done
  echo "$count"
}
name_owned() {
  [[ $(bus_call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
    org.pellux.Pellux) == "(true,)" ]]
}
only_one_left() { [[ $(running) == 1 ]]; }

# starts_at_once <count>: starts them together; waits until all but one end.
starts_at_once() {
  local i
  for ((i = 0; i < $1; i++)); do start "$i"; done
  DESK_TIMEOUT=60 wait_until only_one_left || fail "$(running) programs running, want 1"
  name_owned || fail "the one left does not own the name"
  # The others handed over to it, and it showed its information window.
  local pid status
  for i in "${!STARTED[@]}"; do
    pid=${STARTED[i]}
    kill -0 "$pid" 2>/dev/null && [[ $(ps -o stat= -p "$pid") != Z* ]] && continue
    status=0
    wait "$pid" || status=$?
    ((status == 0)) || fail "start $i ended with $status, want 0"
  done
  window_wait '^Pellux: ' >/dev/null || fail "the program left running showed no information window"
}

scenario_stopped() {
  # The stopped program runs in a session of its own: were it in this
  # script's process group, the kernel would end it with a hangup as soon as
  # the group lost its last tie to a parent outside it (when the starts below
  # end, under a runner that left the group behind), as it does to every
  # stopped process of a group left so.
  desk_spawn start-first setsid "$program"
  STARTED+=($!)
  wait_until name_owned || fail "the first program did not take the name"
  kill -STOP "${STARTED[0]}"
  local pids=() i status
  for ((i = 1; i <= 5; i++)); do
    "$program" </dev/null >"$DESK_TMP/start-$i.log" 2>&1 &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    status=0
    wait "${pids[i]}" || status=$?
    ((status == 1)) || fail "start $((i + 1)) ended with $status, want 1"
    grep -q 'Pellux is already running but does not answer' "$DESK_TMP/start-$((i + 1)).log" ||
      fail "start $((i + 1)) did not say the running program does not answer"
  done
  [[ $(running) == 1 ]] || fail "$(running) programs running, want 1"
  kill -CONT "${STARTED[0]}"
  # Continued, it answers again.
  status=0
  "$program" </dev/null >"$DESK_TMP/start-after.log" 2>&1 || status=$?
  ((status == 0)) || fail "a start after the continued program ended with $status"
  window_wait '^Pellux: ' >/dev/null || fail "the continued program showed no information window"
}

desk_start
mkdir -p "$DESK_TMP/config"
export XDG_CONFIG_HOME=$DESK_TMP/config
runtime=$DESK_TMP/runtime
case $scenario in
  toolong) runtime=$DESK_TMP/$(printf 'runtime-folder-%.0s' {1..8}) ;;
esac
mkdir -p "$runtime"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
case $scenario in
  squatted) mkdir "$runtime/pellux" ;;
esac
before=$(ls -lAR "$runtime")
case $scenario in
  stopped) scenario_stopped ;;
  readonly)
    chmod 500 "$runtime"
    before=$(ls -lAR "$runtime")
    starts_at_once 4
    ;;
  toolong)
    ((${#runtime} > 108)) || fail "the runtime folder's path is only ${#runtime} long"
    starts_at_once 4
    ;;
  squatted) starts_at_once 4 ;;
  *) fail "no scenario '$scenario'" ;;
esac
after=$(ls -lAR "$runtime")
[[ $before == "$after" ]] || fail "the runtime folder changed:
$before
---
$after"
chmod 700 "$runtime"
echo "PASS single_instance $scenario"
