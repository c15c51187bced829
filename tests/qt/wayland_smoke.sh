#!/usr/bin/env bash
# The real program as a Wayland client: sway on Xvfb, for a pointer (software
# rendering, no Xwayland), waybar along the top with its tray, and Pellux
# with Qt's Wayland platform. Checked over the session bus as waybar sees
# it: the item and its tip, the menu's six lines over dbusmenu, Activate
# opening the information window and Configure the configuration window
# (both found in sway's tree), and Exit ending the program. Screenshots of
# the desktop with each window go to $SMOKE_ARTIFACTS when that is set.
# Between the two, a drag of the information window's body must move it.
#
# sway refuses to run as root. Run as root, the script runs the scenario as
# an unprivileged user ($PELLUX_SMOKE_USER, default pellux-smoke), which it
# creates when it is missing, in a folder of that user's own into which it
# copies the program and whatever else the run reads: the build tree's
# folders need not be open to that user, and the user writes nothing there.
#
#   tests/qt/wayland_smoke.sh build/linux/pellux
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SMOKE_USER=${PELLUX_SMOKE_USER:-pellux-smoke}

fail() {
  echo "FAIL wayland_smoke: $*" >&2
  if [[ -n ${DESK_TMP:-} ]]; then
    if [[ -n ${WAYLAND_DISPLAY:-} ]]; then grim "$WORK/failed.png" 2>/dev/null || true; fi
    local log
    for log in "$DESK_TMP"/*.log; do
      [[ -s $log ]] && { echo "--- $(basename "$log"):" >&2; tail -n 20 "$log" >&2; }
    done
  fi
  exit 1
}

if ((EUID == 0)); then
  if ! id "$SMOKE_USER" >/dev/null 2>&1; then
    useradd --system --user-group --no-create-home --home-dir /nonexistent \
      --shell /usr/sbin/nologin "$SMOKE_USER"
  fi
  stage=$(mktemp -d "${TMPDIR:-/tmp}/pellux-wayland.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
  mkdir -p "$stage/scripts" "$stage/tests/qt"
  cp "$program" "$stage/"
  cp "$here/../../scripts/desk.sh" "$stage/scripts/"
  cp "$here/lib.sh" "$(realpath "${BASH_SOURCE[0]}")" "$stage/tests/qt/"
  # The sanitizers' suppressions, when the run names a file of them.
  lsan=${LSAN_OPTIONS:-}
  if [[ $lsan =~ suppressions=([^:]*) && -f ${BASH_REMATCH[1]} ]]; then
    cp "${BASH_REMATCH[1]}" "$stage/lsan.supp"
    lsan=${lsan/${BASH_REMATCH[1]}/$stage/lsan.supp}
    # A leak from a plugin that is unloaded by then is matched by the frames
    # below it, which only the slow unwinder reaches.
    lsan+=:fast_unwind_on_malloc=0
  fi
  chown -R "$SMOKE_USER:" "$stage"
  chmod 700 "$stage"
  status=0
  runuser -u "$SMOKE_USER" -- env -i PATH="$PATH" LSAN_OPTIONS="$lsan" \
    WAYLAND_SMOKE_STAGE="$stage" \
    bash "$stage/tests/qt/wayland_smoke.sh" "$stage/$(basename "$program")" || status=$?
  if [[ -n ${SMOKE_ARTIFACTS:-} ]]; then
    mkdir -p "$SMOKE_ARTIFACTS"
    for png in "$stage"/*.png; do [[ -f $png ]] && cp "$png" "$SMOKE_ARTIFACTS/"; done
  fi
  exit "$status"
fi

# From here on, as an unprivileged user, on a desk with a session bus, on
# which waybar hosts the tray's items.
# shellcheck source=tests/qt/lib.sh
source "$here/lib.sh"
unset DISPLAY WAYLAND_DISPLAY
desk_start display bus || fail "the display or the session bus did not start"
WORK=${WAYLAND_SMOKE_STAGE:-$DESK_TMP}

mkdir -p "$WORK/runtime" "$WORK/config" "$WORK/cache"
chmod 700 "$WORK/runtime"
export XDG_RUNTIME_DIR=$WORK/runtime XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache
export HOME=$WORK

cat >"$WORK/sway.conf" <<'CONF'
xwayland disable
output X11-1 resolution 1024x768 background #3a6ea5 solid_color
default_border normal 2
font pango:DejaVu Sans 10
CONF
WLR_BACKENDS=x11 WLR_RENDERER=pixman desk_spawn sway sway --config "$WORK/sway.conf"
sway_socket() { compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n1 | grep .; }
wayland_socket() { compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" | head -n1 | grep .; }
{ wait_until sway_socket && wait_until wayland_socket; } || fail "sway did not start"
SWAYSOCK=$(sway_socket)
WAYLAND_DISPLAY=$(basename "$(wayland_socket)")
export SWAYSOCK WAYLAND_DISPLAY
wait_until swaymsg -t get_outputs || fail "sway does not answer"

cat >"$WORK/waybar.json" <<'CONF'
{ "layer": "top", "position": "top", "height": 34,
  "modules-left": ["sway/workspaces"], "modules-right": ["tray"],
  "tray": { "icon-size": 20, "spacing": 6 } }
CONF
cat >"$WORK/waybar.css" <<'CONF'
* { font-family: "DejaVu Sans"; font-size: 12px; }
window#waybar { background: #d4d4d4; color: #000000; }
CONF
desk_spawn waybar waybar --config "$WORK/waybar.json" --style "$WORK/waybar.css"
watcher_up() { sni_watcher_items; }
wait_until watcher_up || fail "waybar's tray did not start"

PELLUX_EXE=$program QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client pellux_start

item=$(sni_item_wait) || fail "the item did not reach waybar's tray"
tip=$(bus_call "$item" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
  org.kde.StatusNotifierItem ToolTip)
[[ $tip == *"'Pellux: "[0-9]*"'"* ]] || fail "tooltip $tip"

# The menu's lines, as waybar reads them: label or separator, with each id.
layout=$(bus_call "$item" /MenuBar com.canonical.dbusmenu.GetLayout 0 -- -1 '@as []')
lines=$(grep -o "'label': <'[^']*'>\|'type': <'separator'>" <<<"$layout" |
  sed "s/.*<'\(.*\)'>/\1/" | paste -sd '|')
want="_Get IP|separator|_Recent IPs|_Configure|separator|E_xit"
[[ $lines == "$want" ]] || fail "the menu's lines: got '$lines', want '$want'"
# menu_id <label>: the id of the entry with that label.
menu_id() {
  grep -o "([0-9]*, {[^}]*'label': <'$1'>" <<<"$layout" | head -n1 | sed 's/^(\([0-9]*\),.*/\1/' |
    grep .
}
menu_click() {
  local id
  id=$(menu_id "$1") || fail "no menu entry '$1'"
  bus_call "$item" /MenuBar com.canonical.dbusmenu.Event "$id" clicked '<0>' 0 >/dev/null
}

# A window in sway's tree whose title matches; prints its app_id.
sway_window() {
  swaymsg -t get_tree | jq -er --arg title "$1" \
    'first(.. | objects | select(.pid? and ((.name // "") | test($title)))) | .app_id'
}
sway_window_wait() { wait_until sway_window "$1" && sway_window "$1"; }

bus_call "$item" /StatusNotifierItem org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
app_id=$(sway_window_wait '^Pellux: [0-9]') || fail "Activate opened no information window"
[[ $app_id == org.pellux.Pellux ]] || fail "the information window's app_id is '$app_id'"
sleep 1 # waybar draws the icon, sway the window's frame
grim "$WORK/linux-wayland-info.png" || fail "grim took no screenshot"
# A press on the body (153, 40 in the window, inside sway's border of 2), then 40, 30 further
# once sway has taken the pointer from the window for the move the program asked for.
info_at() { swaymsg -t get_tree | jq -r 'first(.. | select(.name? // "" | test("^Pellux: "))) | "\(.rect.x) \(.rect.y)"'; }
read -r x y < <(info_at) && xdotool mousemove $((x + 155)) $((y + 40)) mousedown 1
wait_until awk '/\.move\(/ {m = 1} m && /wl_pointer.*\.leave/ {l = 1} END {exit !l}' "$DESK_TMP/pellux.log" ||
  fail "a press on the information window's body started no move"
xdotool mousemove_relative 40 30 mouseup 1
wait_until eval "[[ \$(info_at) == '$((x + 40)) $((y + 30))' ]]" || fail "dragged from $x $y to $(info_at)"
menu_click _Configure
sway_window_wait '^Pellux Configuration$' >/dev/null || fail "Configure opened no window"
sleep 1
grim "$WORK/linux-wayland-config.png" || fail "grim took no screenshot"

menu_click E_xit
pellux_wait_exit || fail "Exit did not end the program"
[[ $PELLUX_STATUS == 0 ]] || fail "exit status $PELLUX_STATUS"
echo "PASS wayland_smoke"
