#!/usr/bin/env bash
# Builds the Debian packages voxloom and voxloom-cli as a distribution would: from a
# clean copy of the tree (the files git knows, no build folders), with
# dpkg-buildpackage, the tests run on the way; then checks them with lintian. Installs
# what is missing first. The packages land in build-deb/ (or PACKAGE_DIR).
# Usage: tools/package-deb.sh [extra dpkg-buildpackage options]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup-debian.sh build-essential dpkg-dev debhelper lintian

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
out=$(realpath -m "${PACKAGE_DIR:-build-deb}")
src=$out/voxloom-$version
rm -rf "$out"
mkdir -p "$src"

# Tracked and new files as they are now, without what .gitignore leaves out; a tree
# without git is copied minus its build folders.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    (cd "$root" && xargs -0 tar --no-recursion --ignore-failed-read -cf - --) | tar -xf - -C "$src"
else
  tar --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$src"
fi

# The build dependencies debian/control names that are missing, without versions,
# architectures, profiles or second choices.
missing=$(cd "$src" && dpkg-checkbuilddeps 2>&1 | sed -n 's/.*Unmet build dependencies: //p' |
          sed -E 's/\([^)]*\)//g; s/<[^>]*>//g; s/\[[^]]*\]//g; s/ *\| *[^ ]+//g')
read -ra missing_list <<<"$missing"
[ ${#missing_list[@]} -eq 0 ] || bash tools/setup-debian.sh "${missing_list[@]}"

# dh passes the environment through: a compiler launcher (ccache) set here is used.
(cd "$src" && dpkg-buildpackage -us -uc -b -j"$(nproc)" "$@")

changes=$(ls "$out"/voxloom_"$version"_*.changes)
echo "== lintian"
lintian --fail-on error "$changes"
echo "package-deb: ok"
ls -1 "$out"/*.deb
