#!/usr/bin/env bash
# Checks of scripts/install-deps.sh against stand-ins for apt-get, dpkg,
# dpkg-query and sudo, which go first on PATH and keep the machine's package
# state in files: what a bad mirror day, a package that cannot be had and a
# host without 32-bit code make it do.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=checks.sh
source "$here/checks.sh"

mkdir -p "$work/bin"
# Every package counts as installed but those in $work/missing, until the
# stand-in apt-get installs them.
cat >"$work/bin/dpkg-query" <<FAKE
#!/usr/bin/env bash
package=\${!#}
if grep -qx "\$package" "$work/missing" && ! grep -qx "\$package" "$work/installed"; then
  exit 1
fi
printf 'install ok installed'
FAKE
cat >"$work/bin/dpkg" <<FAKE
#!/usr/bin/env bash
echo "dpkg \$*" >>"$work/calls"
case \$1 in
--print-foreign-architectures) cat "$work/arches" ;;
--add-architecture) echo "\$2" >>"$work/arches" ;;
--remove-architecture)
  grep -q ':i386$' "$work/installed" && { echo "dpkg: error: cannot remove" >&2; exit 2; }
  sed -i "/^\$2\\\$/d" "$work/arches" ;;
esac
FAKE
# apt-get: "update" fails when FAIL_UPDATE is set, as on a mirror part-way
# through a sync; packages in BROKEN have dependencies that cannot be met,
# those in UNKNOWN are not in the lists, nor are i386 ones without the i386
# architecture.
cat >"$work/bin/apt-get" <<FAKE
#!/usr/bin/env bash
echo "apt-get \$*" >>"$work/calls"
if [[ \$1 == update ]]; then
  [[ -z \${FAIL_UPDATE:-} ]] && exit 0
  echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
  exit 100
fi
simulate=0 packages=()
for arg in "\${@:2}"; do
  case \$arg in
  -s) simulate=1 ;;
  -*) ;;
  *) packages+=("\$arg") ;;
  esac
done
for package in "\${packages[@]}"; do
  if [[ \$package == *:i386 ]] && ! grep -qx i386 "$work/arches" ||
    [[ " \${UNKNOWN:-} " == *" \$package "* ]]; then
    echo "E: Unable to locate package \$package" >&2
    exit 100
  fi
  if [[ " \${BROKEN:-} " == *" \$package "* ]]; then
    echo "The following packages have unmet dependencies:"
    echo " \$package : Depends: libwine:i386 (= 8.0~repack-4+deb12u1) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
  fi
done
((simulate)) || printf '%s\n' "\${packages[@]}" >>"$work/installed"
FAKE
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
printf '\177ELF\001\001\001' >"$work/foreign" # no host of these tests runs this
chmod +x "$work/bin/"* "$work/foreign"

# install <arches> <missing packages> [VAR=value...]: runs the script on a
# machine with those foreign architectures and those packages missing; its
# exit code goes to $work/rc, its messages to $work/out.
install() {
  tr ' ' '\n' <<<"$1" | sed '/^$/d' >"$work/arches"
  tr ' ' '\n' <<<"$2" >"$work/missing"
  : >"$work/installed"
  : >"$work/calls"
  local rc=0
  env PATH="$work/bin:$PATH" PELLUX_HOST_32BIT=yes "${@:3}" \
    bash "$here/../../scripts/install-deps.sh" >"$work/out" 2>&1 || rc=$?
  echo "$rc" >"$work/rc"
}
rc_is() { [[ $(<"$work/rc") == "$1" ]] || { cat "$work/out"; return 1; }; }
installed_are() { [[ $(sort "$work/installed" | tr '\n' ' ') == "$1" ]]; }
arches_are() { [[ $(tr '\n' ' ' <"$work/arches") == "$1" ]]; }
said() { grep -qxF -- "$1" "$work/out" || { cat "$work/out"; return 1; }; }
called() { grep -qxF -- "$1" "$work/calls"; }
never_called() { ! grep -qF -- "$1" "$work/calls"; }
lines_saying() { [[ $(grep -c "^install-deps: $1" "$work/out") == "$2" ]]; }

install "" "nsis wine64 wine32:i386" FAIL_UPDATE=1
check "an index that fails does not stop the run" rc_is 0
check "which is said" said "install-deps: apt-get update failed; going on with the package lists there are"
check "the packages it needs get installed" installed_are "nsis wine32:i386 wine64 "
check "and i386 for 32-bit Wine" arches_are "i386 "

install "" "nsis wine32:i386" FAIL_UPDATE=1 BROKEN=wine32:i386
check "32-bit Wine that cannot be had does not stop the run" rc_is 0
check "the rest is installed" installed_are "nsis "
check "it is said in one line, with why" said "install-deps: left out wine32:i386, and with it the 32-bit Windows tests: its dependencies cannot be met (wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4+deb12u1) but it is not going to be installed); the package lists could not all be updated"
check "the i386 it added is taken away again" arches_are ""

install "i386" "wine32:i386" BROKEN=wine32:i386
check "an i386 added before stays" arches_are "i386 "

install "" "nsis wine32:i386" BROKEN=nsis
check "a package that cannot be had fails the run" rc_is 1
check "naming it and why, in one line" said "install-deps: cannot install nsis: its dependencies cannot be met (nsis : Depends: libwine:i386 (= 8.0~repack-4+deb12u1) but it is not going to be installed)"
check "and no other" lines_saying "cannot install" 1
check "leaving no i386 behind" arches_are ""
check "nor 32-bit Wine tried" never_called "install -y -q --no-install-recommends wine32:i386"

install "" "nsis wine64" UNKNOWN=nsis
check "a package gone from the lists fails the run" rc_is 1
check "which is said" said "install-deps: cannot install nsis: the package lists have no package of that name"

for host in "PELLUX_HOST_32BIT=no" "PELLUX_HOST_32BIT=auto HOST_32BIT_PROBE=$work/foreign"; do
  # shellcheck disable=SC2086 # the settings are words
  install "" "wine64 wine32:i386" FAIL_UPDATE=1 $host
  check "without 32-bit code ($host) the rest installs" installed_are "wine64 "
  check "without 32-bit code ($host) i386 is never added" never_called "dpkg --add-architecture"
  check "without 32-bit code ($host) no 32-bit Wine is asked for" never_called "wine32"
  check "without 32-bit code ($host) the run passes" rc_is 0
done

install "" ""
check "with everything there nothing is asked of apt" never_called "apt-get"

((failures == 0))
