#!/usr/bin/env bash
# Checks the portable zip of a Windows build: the program as built, the text
# on what it is and where it keeps its setting, the copyright notice (both
# with Windows line ends), and the licence where the project has one.
# Usage: portable_zip_test.sh <cmake> <zip> <pellux.exe> <version> <32-bit|64-bit>
#          <copyright> [licence]
set -euo pipefail
cmake=$1 zip=$(realpath "$2") exe=$3 version=$4 build=$5 copyright=$6 licence=${7:-}
fail() {
  echo "FAIL: $*"
  exit 1
}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

want="COPYRIGHT.txt README.txt pellux.exe"
[[ -z $licence ]] || want="LICENSE.txt $want"
got=$("$cmake" -E tar tf "$zip" | sort | tr '\n' ' ')
[[ $got == "$want " ]] || fail "the zip holds '$got', not '$want '"
(cd "$dir" && "$cmake" -E tar xf "$zip")

cmp -s "$dir/pellux.exe" "$exe" || fail "pellux.exe is not the one built"
[[ -z $licence ]] || cmp -s "$dir/LICENSE.txt" "$licence" || fail "LICENSE.txt is not the licence"

# The texts end every line in CR LF, for Notepad.
for text in README.txt COPYRIGHT.txt; do
  ! grep -q $'[^\r]$' "$dir/$text" || fail "$text has a line without CR LF"
  ! grep -q $'^$' "$dir/$text" || fail "$text has a line without CR LF"
done
cmp -s <(tr -d '\r' <"$dir/COPYRIGHT.txt") "$copyright" || fail "COPYRIGHT.txt is not the notice"

readme=$dir/README.txt
[[ $(head -1 "$readme") == "Pellux $version, $build build, portable"$'\r' ]] ||
  fail "README.txt begins '$(head -1 "$readme")'"
for text in 'HKEY_CURRENT_USER\Software\Pellux\Options, value Interval' \
  'Copyright (C) The Pellux authors; see COPYRIGHT.txt.'; do
  grep -qF "$text" "$readme" || fail "README.txt does not say '$text'"
done
echo "PASS: $(basename "$zip")"
