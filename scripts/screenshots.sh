#!/usr/bin/env bash
# Takes the pictures the README shows, in docs/screenshots/: installs what is
# missing, builds, and runs the program on virtual displays of its own,
# driving it from outside as a user would.
#
#   scripts/screenshots.sh [linux|windows]     (no argument: both)
#
# linux: the native program, under openbox with trayer as the panel: its
# tray tip, menu, information window and both panels of its configuration
# window (linux-*.png); then the icon moves to a panel that hosts
# StatusNotifierItems, whose menu it shows (linux-sni-menu.png).
# windows: pellux.exe under Wine, the same pictures (tray.png, menu.png,
# info.png, config.png, about.png), then the pages of its installer and
# uninstaller (setup-options.png, setup-finish.png, uninstall.png). It uses the
# 32-bit build wherever the host can execute 32-bit code, else the 64-bit one;
# PELLUX_WINDOWS_BUILD=win32 or win64 chooses one.
#
# Each part takes its pictures in build/screenshots/ first and puts them into
# docs/screenshots/ only once it went through.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
docs=$PWD/docs/screenshots

# publish <folder> <file>...: the pictures, into the README's folder.
publish() {
  local from=$1
  shift
  mkdir -p "$docs"
  (cd "$from" && cp "$@" "$docs/")
  echo "Refreshed: ${*/#/docs/screenshots/}"
}

fail() {
  echo "screenshots: $*" >&2
  exit 1
}

linux_tour() (
  cmake --preset linux-release >/dev/null
  cmake --build --preset linux-release --target pellux
  PELLUX_EXE=$PWD/build/linux-release/pellux
  shots=$PWD/build/screenshots/linux
  rm -rf "$shots"
  mkdir -p "$shots"
  # shellcheck source-path=SCRIPTDIR source=desk.sh
  source scripts/desk.sh
  desk_start
  # A settings folder of this run's own: the user's setting stays as it is.
  export XDG_CONFIG_HOME=$DESK_TMP/config XDG_RUNTIME_DIR=$DESK_TMP
  desk_tray_start
  pellux_start
  tray_icon_wait >/dev/null || fail "the icon did not reach the tray"

  # shot <file> <window>...: the windows, with their frames.
  shot() { screenshot_around "$shots/$1" "${@:2}"; }
  tray_hover
  tip=$(window_of_type_wait TOOLTIP) || fail "no tooltip over the icon"
  shot linux-tray.png "$tip" "$(desk_panel)"

  menu=$(tray_menu_open) || fail "the right button opened no menu"
  shot linux-menu.png "$menu" "$(desk_panel)"
  xdotool key Escape
  menu_gone || fail "the menu stayed open"

  tray_click 1
  pointer_park
  info=$(window_wait '^Pellux: ') || fail "no information window"
  sleep 0.3
  shot linux-info.png "$info"
  caption=$(xdotool getwindowname "$info")
  window_close "$info"
  window_gone '^Pellux: ' || fail "the information window stayed open"

  tray_menu_open >/dev/null || fail "the right button opened no menu"
  xdotool key c
  pointer_park
  config=$(window_wait '^Pellux Configuration$') || fail "no configuration window"
  sleep 0.3
  shot linux-config.png "$config"
  xdotool key alt+a
  sleep 0.3
  shot linux-about.png "$config"
  window_close "$config"
  window_gone '^Pellux Configuration$' || fail "the configuration window stayed open"

  # The same icon under a panel that hosts StatusNotifierItems and draws their
  # menus itself: trayer goes, the panel comes, the icon moves over.
  desk_tray_stop
  desk_sni_start || fail "the StatusNotifierItem panel did not start"
  sni_item_wait >/dev/null || fail "the icon did not reach the StatusNotifierItem panel"
  sni_icon_wait || fail "the StatusNotifierItem panel does not show the icon"
  sni_click 3
  menu=$(sni_menu_wait) || fail "the right button opened no menu in the panel"
  pointer_park
  sleep 0.3
  read -r menu_x menu_y _ _ < <(frame_rect "$menu")
  screen_w=$(xwininfo -root | awk '/^ *Width:/ {print $NF}')
  screen_h=$(xwininfo -root | awk '/^ *Height:/ {print $NF}')
  left=$((menu_x - 120)) top=$((menu_y - 4))
  import -window root -crop "$((screen_w - left))x$((screen_h - top))+$left+$top" +repage \
    "$shots/linux-sni-menu.png"

  xdotool key x
  pellux_wait_exit || fail "Pellux did not end"
  echo "The Linux program's information window read \"$caption\"."
  publish "$shots" linux-tray.png linux-menu.png linux-info.png linux-config.png \
    linux-about.png linux-sni-menu.png
)

windows_tour() (
  # shellcheck source-path=SCRIPTDIR source=wine-desk.sh
  source scripts/wine-desk.sh
  build=$(wine_session_pick_build "${PELLUX_WINDOWS_BUILD:-}")
  export WINE_SESSION_ARCH=$build
  cmake --preset "$build" >/dev/null
  cmake --build --preset "$build" --target pellux e2e_driver installer
  export PELLUX_EXE=$PWD/build/$build/pellux.exe E2E_DRIVER=$PWD/build/$build/tests/e2e/driver.exe
  shots=$PWD/build/screenshots/windows
  rm -rf "$shots"
  mkdir -p "$shots"
  # A prefix of its own: the one scripts/run-windows.sh runs in keeps its
  # setting.
  wine_desk_begin "$PWD/build/$build/screenshots-prefix"
  # shot <file> <hwnd>...: one window, or several with a margin.
  shot() {
    if (($# == 2)); then screenshot "$shots/$1" "$2"; else screenshot_around "$shots/$1" "${@:2}"; fi
  }

  set_interval -
  pellux_start
  tray_icon_wait >/dev/null || fail "no tray icon appeared"
  # Wine's tray: a window of its own, as no panel runs here.
  tray=$(driver tray) || fail "no tray window"
  tray_hover
  tip=$(driver tooltip) || fail "no tooltip over the tray icon"
  shot tray.png "$tray" "$(driver wait-visible tooltips_class32 -)"
  pointer_park

  menu=$(tray_menu_open) || fail "the tray menu did not open"
  shot menu.png "$tray" "$menu"
  driver key "$menu" ESCAPE >/dev/null
  driver wait-gone "$menu" >/dev/null

  tray_click 1 2
  pointer_park
  info=$(info_wait "${tip#Pellux: }")
  shot info.png "$info"
  driver close "$info" >/dev/null

  config=$(config_open)
  shot config.png "$config"
  driver click "$config" "$CONFIG_ABOUT" >/dev/null
  sleep 0.3
  shot about.png "$config"
  driver close "$config" >/dev/null

  tray_menu_choose "$MENU_EXIT"
  pellux_wait_exit || true
  echo "The Windows program's ($build) tooltip read \"$tip\"."
  publish "$shots" tray.png menu.png info.png config.png about.png

  # The installer's and the uninstaller's pages, gone through as a user does.
  PELLUX_SETUP=$(ls "build/$build"/pellux-*-"$build"-setup.exe)
  version=${PELLUX_SETUP##*/pellux-}
  PELLUX_VERSION=${version%%-*} PELLUX_BUILD=$build setup_begin
  # shellcheck disable=SC2317 # called by setup_pages_*
  page_shot() { screenshot "$shots/$1.png" "$2"; }
  setup_pages_install page_shot || fail "the installer ended with status $?"
  setup_pages_uninstall page_shot
  publish "$shots" setup-options.png setup-finish.png uninstall.png
)

part=${1:-both}
case $part/$# in
linux/1 | windows/1 | both/0) ;;
*)
  echo "usage: $0 [linux|windows]" >&2
  exit 2
  ;;
esac
scripts/install-deps.sh
# Each part on a virtual display of its own, even where there is a display.
unset DISPLAY WAYLAND_DISPLAY
if [[ $part != windows ]]; then
  linux_tour
fi
if [[ $part != linux ]]; then
  windows_tour
fi
