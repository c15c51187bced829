#!/usr/bin/env bash
# Checks the portable zip of a Windows build: the program as built, the text
# on what it is and where it keeps its setting, the copyright notice and the
# licence (all three with Windows line ends), its entries in a fixed order,
# dated the same and without the builder's user.
# Usage: portable_zip_test.sh <cmake> <zip> <pellux.exe> <version> <32-bit|64-bit>
#          <copyright> <licence>
set -euo pipefail
cmake=$1 zip=$(realpath "$2") exe=$3 version=$4 build=$5 copyright=$6 licence=$7
fail() {
  echo "FAIL: $*"
  exit 1
}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

want="pellux.exe README.txt COPYRIGHT.txt LICENSE.txt"
got=$("$cmake" -E tar tf "$zip" | tr '\n' ' ')
[[ $got == "$want " ]] || fail "the zip holds '$got', not '$want '"
(cd "$dir" && "$cmake" -E tar xf "$zip")

cmp -s "$dir/pellux.exe" "$exe" || fail "pellux.exe is not the one built"

# The texts end every line in CR LF, for Notepad.
for text in README.txt COPYRIGHT.txt LICENSE.txt; do
  ! grep -q $'[^\r]$' "$dir/$text" || fail "$text has a line without CR LF"
  ! grep -q $'^$' "$dir/$text" || fail "$text has a line without CR LF"
done
cmp -s <(tr -d '\r' <"$dir/COPYRIGHT.txt") "$copyright" || fail "COPYRIGHT.txt is not the notice"
cmp -s <(tr -d '\r' <"$dir/LICENSE.txt") "$licence" || fail "LICENSE.txt is not the licence"

readme=$dir/README.txt
[[ $(head -1 "$readme") == "Pellux $version, $build build, portable"$'\r' ]] ||
  fail "README.txt begins '$(head -1 "$readme")'"
for text in 'HKEY_CURRENT_USER\Software\Pellux\Options, value Interval' \
  'Copyright (C) The Pellux authors; see COPYRIGHT.txt.' 'under the MIT licence, in LICENSE.txt.'; do
  grep -qF "$text" "$readme" || fail "README.txt does not say '$text'"
done
# Every entry has the same time and only the fields any unzip reads: no
# extra field carrying the builder's user or the files' own times.
listing=$(zipinfo -l "$zip" | sed -n '/^-/p')
[[ $(awk '{print $(NF-2), $(NF-1)}' <<<"$listing" | sort -u | wc -l) == 1 ]] ||
  fail "the entries have different times:"$'\n'"$listing"
! zipinfo -v "$zip" | grep -q 'subfield with ID' || fail "the zip has extra fields"
echo "PASS: $(basename "$zip")"
