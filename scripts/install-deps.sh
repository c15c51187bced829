#!/usr/bin/env bash
# Installs the packages that building and testing Pellux need, on Debian 12
# and Debian 13 alike (every name below is in both), when any of them is
# missing. Needs root (or sudo).
#
# 32-bit Wine (wine32:i386, and with it the i386 architecture) is installed
# only where the host can execute 32-bit code; where it cannot be had all the
# same (a mirror whose i386 index is out of step, say), it is left out with a
# line saying why, the i386 architecture is taken away again if this run added
# it, and the 32-bit Windows tests are left out as on a host that cannot run
# them. A failed `apt-get update` alone stops nothing: the run fails only when
# a package it needs cannot be installed, and says which one and why.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=host-32bit.sh
source "$here/host-32bit.sh"

packages=(
  cmake ninja-build g++ googletest
  # the fuzz targets: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-dev
  # the 32- and 64-bit Windows builds, and 64-bit Wine
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64
  xvfb xdotool imagemagick x11-utils fonts-liberation fonts-wine
  qt6-base-dev qt6-qpa-plugins openbox trayer xclip iproute2 wmctrl
  # a session bus for the tray tests, and a panel that hosts
  # StatusNotifierItems and a watcher for it, for the smoke test
  dbus-daemon libglib2.0-bin haskell-gtk-sni-tray-utils haskell-status-notifier-item-utils
  # the Wayland smoke test: a headless compositor, a panel with a tray, Qt's
  # Wayland platform, screenshots, and reading the compositor's window tree
  sway waybar grim qt6-wayland jq fonts-dejavu-core
  # the accessibility bus and a reader of it, for the screen-reader test
  at-spi2-core python3-pyatspi
  # the Debian package and its checks
  dpkg-dev lintian desktop-file-utils appstream
  # bench/run.sh counts instructions with callgrind; its Linux part builds
  # a probe against Xlib
  valgrind libx11-dev
  # the Windows installers (makensis, with 32- and 64-bit stubs) and the
  # portable zips
  nsis zip unzip
  # scripts/release.sh: a fresh clone of the sources to build again
  git
  # scripts/other-release.sh: a root of the other Debian release
  debootstrap
)
# 32-bit Wine, for the 32-bit Windows build's tests.
wine32=wine32:i386

say() { echo "install-deps: $*" >&2; }

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true) == "install ok installed" ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
want32=()
if ! installed "$wine32" && host_runs_32bit >/dev/null; then
  want32=("$wine32")
fi
((${#missing[@]} + ${#want32[@]} == 0)) && exit 0

sudo=()
((EUID == 0)) || sudo=(sudo)
log=$(mktemp "${TMPDIR:-/tmp}/install-deps.XXXXXX")
trap 'rm -f "$log"' EXIT

added_i386=0
if ((${#want32[@]} > 0)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
  added_i386=1
fi

wanted=("${missing[@]}" "${want32[@]}")
echo "Installing: ${wanted[*]}" >&2
updated=""
if ! "${sudo[@]}" apt-get update -q; then
  updated="; the package lists could not all be updated"
  say "apt-get update failed; going on with the package lists there are"
fi

# apt_install <package...>: installs the packages, keeping apt's messages in
# the log as well.
apt_install() {
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "$@" 2>&1 | tee "$log"
}

# why_not <package>: prints why apt cannot install the package, from a trial
# run of its own, else from the last installation's messages.
why_not() {
  local trial line
  trial=$(apt-get install -s -q --no-install-recommends "$1" 2>&1) || true
  if grep -q '^E: Unable to locate package' <<<"$trial"; then
    echo "the package lists have no package of that name$updated"
  elif line=$(grep -m1 -E '^ [^ ]+ : (Pre)?Depends: ' <<<"$trial"); then
    line=${line# }
    echo "its dependencies cannot be met (${line//  / })$updated"
  elif line=$(grep -m1 '^E: ' <<<"$trial") || line=$(grep -m1 '^E: ' "$log"); then
    echo "${line#E: }$updated"
  else
    echo "apt-get install failed$updated"
  fi
}

# drop_i386: takes the i386 architecture away again when this run added it,
# so that later updates do not fetch indexes nothing uses.
drop_i386() {
  ((added_i386)) || return 0
  "${sudo[@]}" dpkg --remove-architecture i386 ||
    say "the i386 architecture stays added: some i386 packages were installed"
}

if ((${#missing[@]} > 0)) && ! apt_install "${missing[@]}"; then
  failed=0
  for package in "${missing[@]}"; do
    if ! apt-get install -s -q --no-install-recommends "$package" >/dev/null 2>&1; then
      say "cannot install $package: $(why_not "$package")"
      failed=1
    fi
  done
  ((failed)) || say "cannot install the packages: $(why_not "${missing[0]}")"
  drop_i386
  exit 1
fi

if ((${#want32[@]} > 0)) && ! apt_install "$wine32"; then
  say "left out $wine32, and with it the 32-bit Windows tests: $(why_not "$wine32")"
  drop_i386
fi
exit 0
