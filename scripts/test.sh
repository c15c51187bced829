#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native Linux program and its tests under the sanitizers (unit tests, Qt
# widget tests, the tray smoke tests), the fuzz targets for a bounded time
# each, the Debian package of the release build (linted, installed, smoke
# tested and removed again), then the Windows builds with their installers
# and portable zips, and their tests (unit, window, end-to-end and installer
# tests) under Wine on a virtual display: the 64-bit build's on every host,
# the 32-bit build's wherever the host can execute 32-bit code and 32-bit Wine
# is installed; elsewhere the 32-bit build, its installer and its zip are made
# all the same, and the last line says why its tests were left out. Last,
# every download is made twice by scripts/release.sh --check and compared
# byte for byte. Then all of it again on the other supported Debian release
# (Debian 13 on a Debian 12 host, and the other way round), in a root made
# with debootstrap (scripts/other-release.sh).
#
# PELLUX_HOST_32BIT=no leaves the 32-bit Windows tier out as on a host that
# cannot run it; =yes runs it without checking first. PELLUX_OTHER_RELEASE=no
# leaves the other release out.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
mkdir -p build
rm -f build/test-summary.txt build/other-release-summary.txt

# This release and the tools that make its bytes: "Debian 12 (Qt 6.4.2, GCC
# 12.2.0, Wine 8.0)".
release_label() {
  local qt wine
  qt=$(/usr/lib/qt6/bin/qtpaths --qt-version 2>/dev/null) || qt="?"
  wine=$(wine64 --version 2>/dev/null || wine --version 2>/dev/null) || wine="?"
  wine=${wine#wine-}
  echo "Debian $(. /etc/os-release && echo "$VERSION_ID") (Qt $qt, GCC $(g++ -dumpfullversion)," \
    "Wine ${wine%% *})"
}

ran=()
left_out=()

cmake --preset linux
cmake --build --preset linux
ctest --preset linux
ran+=("linux")

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
ran+=("fuzz")

cmake --preset linux-release
cmake --build --preset linux-release
rm -f build/package/pellux_*.deb
cpack --preset linux-release
scripts/check-package.sh build/package/pellux_*.deb
ran+=("package")

# shellcheck source=wine-session.sh
source scripts/wine-session.sh

# windows_tier <preset>: builds one Windows configuration and runs its tests
# in a Wine session of the same kind, which ends with the subshell.
windows_tier() (
  local preset=$1
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  WINE_SESSION_ARCH=$preset WINE_SESSION_XVFB=1 wine_session_start "$PWD/build/$preset/wineprefix"
  wine_session_install_trap
  ctest --preset "$preset"
)

windows_tier win64
ran+=("win64")

if reason=$(wine_session_host_runs_32bit); then
  windows_tier win32
  ran+=("win32")
else
  cmake --preset win32
  cmake --build --preset win32
  left_out+=("win32 ($reason)")
  echo "Built the 32-bit Windows build, its installer and its zip, and left out their tests: $reason."
fi

# The release, made twice (in this tree and in a fresh clone elsewhere, at
# another time) must come out the same to the byte. It is made from the last
# commit, so a tree with changes not committed leaves it out.
if [[ -z $(git status --porcelain) ]]; then
  PELLUX_RELEASE_DEPS_INSTALLED=1 scripts/release.sh --check
  ran+=("release")
else
  left_out+=("release")
  echo "Left out the release check: the tree has changes that are not committed."
fi

# The other release: its tiers as the same command runs them there.
other=""
case ${PELLUX_OTHER_RELEASE:-auto} in
inside) ;;
no) left_out+=("other release (PELLUX_OTHER_RELEASE=no)") ;;
*)
  if reason=$(scripts/other-release.sh --check); then
    scripts/other-release.sh
    other=$(<build/other-release-summary.txt)
    ran+=("other-release")
  else
    left_out+=("other release (${reason#other-release: left out: })")
    echo "Left out the other release: ${reason#other-release: left out: }."
  fi
  ;;
esac

{
  label=$(release_label)
  echo "Test tiers run on $label: ${ran[*]}."
  if ((${#left_out[@]} > 0)); then
    echo "Test tiers left out on ${label%% (*}: ${left_out[*]}."
  fi
} >build/test-summary.txt
[[ -z $other ]] || echo "$other"
cat build/test-summary.txt
