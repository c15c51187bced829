#!/usr/bin/env bash
# Checks the Debian package as a user's machine meets it: lintian finds no
# error, the desktop entry and the AppStream metadata in it validate, it
# installs with apt-get, the installed program answers --version and passes
# the smoke test, and it removes with --purge leaving none of its files.
#
#   scripts/check-package.sh build/package/pellux_1.11-1_amd64.deb
#
# Needs root (or sudo) for apt-get. Refuses to run where a pellux package is
# installed already, since it removes the package at the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
deb=$(realpath "$1")

sudo=()
((EUID == 0)) || sudo=(sudo)
fail() {
  echo "FAIL package: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' pellux 2>/dev/null | grep -q 'ok installed'; then
  fail "a pellux package is installed here; remove it first (apt-get remove pellux)"
fi

lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "$deb" ||
  fail "lintian reports errors"

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop ||
  fail "the desktop entry does not validate"
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream metadata does not validate"

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "$deb"
files=$(dpkg-query -L pellux)

version=$(/usr/bin/pellux --version) || fail "the installed pellux --version failed"
[[ $version == "Pellux 1.11" ]] || fail "the installed pellux --version printed '$version'"
for scenario in xembed sni moves; do
  bash tests/qt/tray_smoke.sh /usr/bin/pellux "$scenario" || fail "smoke test $scenario"
done

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove --purge -y -q pellux
if dpkg-query -W -f='${Status}' pellux 2>/dev/null | grep -q 'installed'; then
  fail "the package is still known to dpkg: $(dpkg-query -W -f='${Status}' pellux)"
fi
left=()
while read -r file; do
  [[ -e $file ]] || continue
  # A folder such as /usr/share/man stays for the other packages that have
  # files in it; one that was the package's alone must go.
  [[ -d $file ]] && dpkg-query -S "$file" >/dev/null 2>&1 && continue
  left+=("$file")
done <<<"$files"
((${#left[@]} == 0)) || fail "left after removal: ${left[*]}"
echo "PASS package: $(basename "$deb") lints, installs, runs and removes clean"
