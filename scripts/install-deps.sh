#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Pellux need,
# when any of them is missing. Needs root (or sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest
  # the fuzz targets: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # the 32- and 64-bit Windows builds, and Wine for both (32-bit Wine
  # installs everywhere but runs only where the host executes 32-bit code)
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xdotool imagemagick x11-utils fonts-liberation fonts-wine
  qt6-base-dev qt6-qpa-plugins openbox trayer xclip iproute2 wmctrl
  # a session bus for the tray tests, and a panel that hosts
  # StatusNotifierItems and a watcher for it, for the smoke test
  dbus-daemon libglib2.0-bin haskell-gtk-sni-tray-utils haskell-status-notifier-item-utils
  # the accessibility bus and a reader of it, for the screen-reader test
  at-spi2-core python3-pyatspi
  # the Wayland smoke test: a headless compositor, a panel with a tray, Qt's
  # Wayland platform, screenshots, and reading the compositor's window tree
  sway waybar grim qt6-wayland jq fonts-dejavu-core
  # the Debian package and its checks
  dpkg-dev lintian desktop-file-utils appstream
  # bench/run.sh counts instructions with callgrind; its Linux part builds
  # a probe against Xlib
  valgrind libx11-dev
  # the Windows installers (makensis, with 32- and 64-bit stubs)
  nsis
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

sudo=()
((EUID == 0)) || sudo=(sudo)
echo "Installing: ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
  "${missing[@]}"
