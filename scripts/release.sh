#!/usr/bin/env bash
# Makes a release: every download, built from the last commit into dist/,
#
#   pellux-<version>-win32-setup.exe, pellux-<version>-win64-setup.exe
#   pellux-<version>-win32.zip, pellux-<version>-win64.zip
#   pellux_<version>-1_amd64.deb
#
# with SHA256SUMS over them and FILES.txt saying what each one is. It refuses
# a tree with changes that are not committed, installs what is missing (as
# scripts/run.sh and scripts/test.sh do) and builds afresh in build/release/.
# The 32-bit downloads are built on every host, also on one that cannot run
# 32-bit code: making them runs nothing of theirs.
#
# The same commit gives the same bytes wherever and whenever it is built: the
# build takes every time it writes from SOURCE_DATE_EPOCH, the time of the
# last commit, and records no path of the machine it runs on.
#
#   scripts/release.sh           makes the release in dist/
#   scripts/release.sh --check   makes it, then makes it again in a fresh
#                                clone at another path, with its files dated
#                                a day earlier, in another time zone and with
#                                another umask, and fails unless every file
#                                of the two dist/ folders is the same
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

check=no
case ${1:-} in
  "") ;;
  --check) check=yes ;;
  *)
    echo "usage: scripts/release.sh [--check]" >&2
    exit 2
    ;;
esac

fail() {
  echo "release: $*" >&2
  exit 1
}

if [[ -n $(git status --porcelain) ]]; then
  git status --short >&2
  fail "the tree has changes that are not committed; a release is made from a commit"
fi

# The check's second build, in its clone, leaves the installing to the first.
[[ ${PELLUX_RELEASE_DEPS_INSTALLED:-} == 1 ]] || scripts/install-deps.sh

commit=$(git rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

rm -rf build/release dist
for build in win32 win64; do
  cmake --preset "$build" -B "build/release/$build" -DPELLUX_TESTS=OFF >/dev/null
  cmake --build "build/release/$build" --parallel 2 --target portable_zip installer
done
cmake --preset linux-release -B build/release/linux >/dev/null
cmake --build build/release/linux --parallel 2
cpack --config build/release/linux/CPackConfig.cmake -B build/release/package >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/linux/CMakeCache.txt)
deb=$(basename build/release/package/pellux_"$version"-*_amd64.deb)
mkdir dist
cp build/release/win32/pellux-"$version"-win32{-setup.exe,.zip} \
  build/release/win64/pellux-"$version"-win64{-setup.exe,.zip} dist/
# CPack's package has the modes its staging folders got from the umask; dpkg
# makes it again with fixed modes, root as owner, its entries in order and
# its times no later than SOURCE_DATE_EPOCH.
dpkg-deb -R "build/release/package/$deb" build/release/deb
chmod -R u=rwX,go=rX build/release/deb
# CPack (CMake 3.31) counts the installed size in the blocks the staged files
# take on the file system they are on, so a build on tmpfs and one on ext4
# differ; dpkg-gencontrol's count is the same anywhere: each file's size in
# KiB rounded up, and 1 KiB for each directory and link.
installed=$(find build/release/deb -mindepth 1 -path build/release/deb/DEBIAN -prune -o \
  -printf '%y %s\n' | awk '{ n += $1 == "f" ? int(($2 + 1023) / 1024) : 1 } END { print n }')
sed -i "s/^Installed-Size: .*/Installed-Size: $installed/" build/release/deb/DEBIAN/control
dpkg-deb --root-owner-group --build build/release/deb "dist/$deb" >/dev/null

cd dist
downloads=(pellux-"$version"-win32-setup.exe pellux-"$version"-win64-setup.exe
  pellux-"$version"-win32.zip pellux-"$version"-win64.zip "$deb")
sha256sum "${downloads[@]}" >SHA256SUMS
# The release the downloads were made on: another one makes other bytes.
release="Debian $(. /etc/os-release && echo "$VERSION_ID")"
{
  echo "Pellux $version, built from commit $commit"
  echo "of $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'), on $release."
  echo
  printf '%-34s %s\n' \
    "${downloads[0]}" "installer, 32-bit build: runs on every Windows from 7 on" \
    "${downloads[1]}" "installer, 64-bit build: runs on 64-bit Windows" \
    "${downloads[2]}" "portable zip of the 32-bit build, to run without installing" \
    "${downloads[3]}" "portable zip of the 64-bit build, to run without installing" \
    "${downloads[4]}" "$release package (amd64) of the Qt 6 program for Linux" \
    SHA256SUMS "SHA-256 of each download: sha256sum -c SHA256SUMS"
  echo
  echo "Pellux is free software under the MIT licence, which every download carries."
} >FILES.txt
cd ..
echo "The release is in dist/:"
cat dist/SHA256SUMS

[[ $check == yes ]] || exit 0

# outputs_name <dist> <path>: fails when a download of the release in <dist>,
# or a file in one, holds <path>.
outputs_name() {
  local dist=$1 path=$2 unpacked=$work/unpacked file
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  for file in "$dist"/*.zip; do
    unzip -q "$file" -d "$unpacked/$(basename "$file")"
  done
  dpkg-deb -x "$dist"/*.deb "$unpacked/deb"
  grep -rlF -- "$path" "$dist" "$unpacked" >&2 || return 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/pellux-release-check.XXXXXX")
clone=$work/somewhere/else/pellux
echo "Making the release again in $clone, to compare."
(
  umask 077
  git clone -q --no-checkout "$PWD" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
) || fail "could not clone commit $commit into $clone"
earlier=$(($(date +%s) - 86400))
find "$clone" -path "$clone/.git" -prune -o -exec touch -h -d "@$earlier" {} +
(
  umask 077
  # And every object compiled anew, not taken from a compiler cache.
  export TZ=Pacific/Chatham LC_ALL=C PELLUX_RELEASE_DEPS_INSTALLED=1 CCACHE_DISABLE=1
  "$clone/scripts/release.sh"
)

status=0
if ! diff -r dist "$clone/dist" >&2; then
  echo "release: the two builds differ" >&2
  status=1
fi
for dist in "$PWD/dist" "$clone/dist"; do
  for path in "$PWD" "$clone"; do
    if outputs_name "$dist" "$path"; then
      echo "release: the build path $path is in the files above" >&2
      status=1
    fi
  done
done
if ((status != 0)); then
  echo "release: the second build is kept in $clone" >&2
  exit 1
fi
rm -rf "$work"
echo "The same release, byte for byte, from $PWD and from $clone."
