#!/usr/bin/env bash
# Checks that a Windows executable imports only DLLs that every Windows has.
# Usage: imports_test.sh <objdump> <exe>
set -euo pipefail
objdump=$1 exe=$2
allowed=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll version.dll ws2_32.dll "
dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
[[ -n $dlls ]] || { echo "FAIL: $exe lists no imports"; exit 1; }
foreign=""
for dll in $dlls; do
  [[ $allowed == *" $dll "* ]] || foreign+=" $dll"
done
echo "$(basename "$exe") imports:" $dlls
[[ -z $foreign ]] || { echo "FAIL: not Windows' own:$foreign"; exit 1; }
