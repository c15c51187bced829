#!/bin/sh
# Prepares or ends a Wine prefix of its own for a test run at another screen
# DPI, so the windows can be checked at that DPI too.
#
#   wine_prefix.sh start <prefix> <dpi>   create the prefix if needed, start its server
#   wine_prefix.sh stop <prefix>          end its server
#
# Runs inside the test command's Wine session, whose display (DISPLAY), kind of
# prefix (WINEARCH) and Wine it uses.
set -eu
command=$1
WINEPREFIX=$2
export WINEPREFIX

# Every Wine call here lets go of the test runner's output pipes: a server
# that inherits them would keep the runner waiting until it exits.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

case "$command" in
  start)
    dpi=$3
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      quiet wineboot -i
    fi
    # Without a window manager Wine waits for one whenever a captioned window
    # goes away, unless its windows are unmanaged.
    quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    # Both settings are read when a Wine process starts.
    quiet timeout 15 wineserver -k || true
    quiet wineserver -p
    quiet wineboot
    ;;
  stop)
    quiet timeout 15 wineserver -k || true
    ;;
  *)
    echo "usage: $0 start <prefix> <dpi> | stop <prefix>" >&2
    exit 2
    ;;
esac
