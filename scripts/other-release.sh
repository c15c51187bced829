#!/usr/bin/env bash
# Runs scripts/test.sh on the other supported Debian release, in a root of its
# own made with debootstrap from the host's package mirror: Debian 13 on a
# Debian 12 host, Debian 12 on a Debian 13 host. Needs root (or sudo).
#
#   scripts/other-release.sh            # the whole test command in the root
#   scripts/other-release.sh -- CMD...  # any other command there, in /src/pellux
#   scripts/other-release.sh --check    # only whether it can run here
#
# The root is kept between runs in $PELLUX_ROOTS (/var/cache/pellux/roots by
# default), one per release, and used again only when it was made to the
# end from the same mirror; a run brings its packages up to date there as the
# README's commands do anywhere. Each run gets a fresh copy of this tree
# (build/ and dist/ left out), and runs in namespaces of its own: its mounts
# and every process it started, a wineserver or a display left behind
# included, end with it, so nothing of one run reaches the next.
#
# When the other release cannot be tried here (no debootstrap, no way to make
# namespaces, a host that is neither release), it prints one line naming the
# reason and exits with status 2. After the test command, the lines that
# name the tiers it ran there are in build/other-release-summary.txt.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(dirname "$here")

say() { echo "other-release: $*" >&2; }
cannot() {
  echo "other-release: left out: $*"
  exit 2
}

check=0
[[ ${1:-} == --check ]] && check=1
((EUID == 0)) || exec sudo --preserve-env=PELLUX_HOST_32BIT,PELLUX_ROOTS,CI "$0" "$@"

# shellcheck source=/dev/null
host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $host in
bookworm) other=trixie label="Debian 13" ;;
trixie) other=bookworm label="Debian 12" ;;
*) cannot "the host is neither Debian 12 nor Debian 13 (${host:-no codename})" ;;
esac
command -v debootstrap >/dev/null || cannot "debootstrap is not installed"
command -v unshare >/dev/null || cannot "unshare is not installed"
unshare --mount --pid --fork true 2>/dev/null ||
  cannot "this host does not let even root make mount and process namespaces"
((check)) && exit 0

# mirror <suite>: the first URI the host's package sources fetch <suite> from.
mirror() {
  local file files=()
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [[ -f $file ]] && files+=("$file")
  done
  ((${#files[@]} > 0)) || return 0
  awk -v suite="$1" '
    /^deb / { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) break
              if ($(i + 1) == suite) { print $i; exit } }
    /^URIs:/ { uri = $2 }
    /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite && uri != "") { print uri; exit } }
    /^$/ { uri = "" }' "${files[@]}"
}
archive=$(mirror "$host")
security=$(mirror "$host-security")
archive=${archive:-http://deb.debian.org/debian}
security=${security:-http://deb.debian.org/debian-security}

roots=${PELLUX_ROOTS:-/var/cache/pellux/roots}
root=$roots/$other
stamp="$other $archive $security"
mkdir -p "$roots"
exec 9>"$root.lock"
flock 9

if [[ ! -f $root/.pellux-root || $(<"$root/.pellux-root") != "$stamp" ]]; then
  say "making a $label root in $root from $archive"
  rm -rf --one-file-system "$root"
  debootstrap --variant=minbase --include=ca-certificates,sudo "$other" "$root" "$archive" \
    >"$root.debootstrap.log" 2>&1 || {
    tail -n 5 "$root.debootstrap.log" >&2
    cannot "debootstrap could not make a $label root from $archive (see $root.debootstrap.log)"
  }
  cat >"$root/etc/apt/sources.list" <<SOURCES
deb $archive $other main
deb $archive $other-updates main
deb $security $other-security main
SOURCES
  echo "$stamp" >"$root/.pellux-root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

rm -rf --one-file-system "$root/src"
mkdir -p "$root/src/pellux"
tar -C "$src" --exclude=./build --exclude=./dist -cf - . | tar -C "$root/src/pellux" -xf -

(($# > 0)) && [[ $1 == -- ]] && shift
summary=0
(($# > 0)) || { set -- scripts/test.sh && summary=1; }

# The run is the first process of its own process namespace, so that all it
# leaves running ends with it; /proc, /dev, /sys, /tmp and /run are its own.
unshare --mount --pid --fork --propagation private -- bash -c '
  set -e
  root=$1
  shift
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount --rbind /sys "$root/sys"
  mount -t tmpfs tmpfs "$root/tmp"
  mount -t tmpfs tmpfs "$root/run"
  exec chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
    PELLUX_HOST_32BIT="${PELLUX_HOST_32BIT:-auto}" PELLUX_OTHER_RELEASE=inside \
    bash -c "cd /src/pellux && exec \"\$@\"" bash "$@"
' bash "$root" "$@"
((summary == 0)) || cp "$root/src/pellux/build/test-summary.txt" "$src/build/other-release-summary.txt"
