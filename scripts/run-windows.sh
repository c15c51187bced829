#!/usr/bin/env bash
# Installs what is missing, builds the Windows program pellux.exe and starts
# it under Wine. On a machine with a display the program runs there until its
# "Exit" command; without one it runs on a virtual display, leaves
# screenshots of its tray tip, menu and windows in build/screenshots and ends,
# after going through the pages of its installer and uninstaller, of which it
# leaves screenshots there too (setup-*.png, uninstall.png).
#
# It runs the 32-bit build (build/win32/pellux.exe) wherever the host can
# execute 32-bit code, and the 64-bit build (build/win64/pellux.exe)
# elsewhere; PELLUX_WINDOWS_BUILD=win32 or win64 chooses one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
# shellcheck source=wine-session.sh
source scripts/wine-session.sh
build=$(wine_session_pick_build "${PELLUX_WINDOWS_BUILD:-}")
export WINE_SESSION_ARCH=$build
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target pellux e2e_driver installer

prefix=$PWD/build/$build/run-prefix
if [[ -n ${DISPLAY:-} ]]; then
  wine_session_start "$prefix"
  echo "Pellux is running in the notification area; choose Exit from its menu to end it."
  exec wine "build/$build/pellux.exe"
fi

export PELLUX_EXE=$PWD/build/$build/pellux.exe E2E_DRIVER=$PWD/build/$build/tests/e2e/driver.exe
shots=$PWD/build/screenshots
mkdir -p "$shots"
# shellcheck source=../tests/e2e/lib.sh
source tests/e2e/lib.sh
e2e_begin --prefix "$prefix"
# shot <file> [hwnd]: a screenshot of the display, or of one window on it.
shot() {
  screenshot "$shots/$1" "${2:-}"
}

set_interval -
pellux_start
tray_icon_wait >/dev/null
tray_hover
tip=$(driver tooltip) || fail "no tooltip over the tray icon"
shot tray.png
pointer_park

tray_click 3
menu=$(driver wait-visible '#32768' -) || fail "the tray menu did not open"
shot menu.png
driver key "$menu" ESCAPE >/dev/null
driver wait-gone "$menu" >/dev/null

tray_double_click
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

# The installer's and the uninstaller's pages, gone through as the scenario
# of their tests does.
setup=$(ls "build/$build"/pellux-*-"$build"-setup.exe)
version=${setup##*/pellux-}
E2E_SCREENSHOTS=$shots PELLUX_SETUP=$setup PELLUX_VERSION=${version%%-*} PELLUX_BUILD=$build \
  bash tests/e2e/setup_pages.sh >/dev/null || echo "The installer's pages could not be gone through."

echo "No display here: Pellux ran on a virtual one. Its tooltip read \"$tip\"."
echo "Screenshots of the tray, the menu, the windows and the installer: $shots"
