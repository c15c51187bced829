#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native Linux program and its tests under the sanitizers (unit tests, Qt
# widget tests, the tray smoke tests), the fuzz targets for a bounded time
# each, the Debian package of the release build (linted, installed, smoke
# tested and removed again), then the Windows build (unit, window and
# end-to-end tests) under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset linux-release
cmake --build --preset linux-release
rm -f build/package/pellux_*.deb
cpack --preset linux-release
scripts/check-package.sh build/package/pellux_*.deb

cmake --preset win32
cmake --build --preset win32

# shellcheck source=wine-session.sh
source scripts/wine-session.sh
WINE_SESSION_XVFB=1 wine_session_start "$PWD/build/win32/wineprefix"
wine_session_install_trap
ctest --preset win32
