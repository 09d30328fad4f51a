#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the
# programs, their manual pages, the help pages where the Help menu looks, the demo, the
# icons, a valid desktop entry and AppStream metainfo, and a MIME package that
# shared-mime-info accepts. Usage: tools/check-install.sh [BUILD]
set -euo pipefail

build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/voxloom bin/voxloom-cli; do
  [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
app_id=io.github.voxloom.Voxloom
for f in share/voxloom/help/manual.html share/voxloom/help/quickstart.html \
         share/voxloom/help/signal_view.png share/voxloom/demo.wav \
         share/man/man1/voxloom.1 share/man/man1/voxloom-cli.1 \
         share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
         share/mime/packages/voxloom.xml share/icons/hicolor/scalable/apps/voxloom.svg; do
  [ -f "$prefix/$f" ] || fail "$f is missing"
done
for size in 48 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/voxloom.png
  [ -f "$png" ] || fail "the ${size}px icon is missing"
  # The PNG header holds width and height as big-endian words at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "the ${size}px icon is $dims"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
  fail "the AppStream metainfo does not validate"
# man renders through groff; -ww shows every warning it would print.
for page in "$prefix"/share/man/man1/*.1; do
  warnings=$(groff -ww -man -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
xmllint --noout "$prefix/share/mime/packages/voxloom.xml" "$prefix/share/icons/hicolor/scalable/apps/voxloom.svg"

# shared-mime-info must accept the package and compile its glob and magic.
XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime" 2>&1 | { ! grep -i . ; } || fail "update-mime-database complained"
[ -f "$prefix/share/mime/application/x-voxloom-session.xml" ] || fail "the session type was not registered"
grep -q '\*\.evp' "$prefix/share/mime/globs2" || fail "no glob for *.evp"
grep -aq '# Voxloom ' "$prefix/share/mime/magic" || fail "no magic for the session header"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
"$prefix/bin/voxloom-cli" --version | grep -qx "voxloom $version" || fail "the installed voxloom-cli does not run"
"$prefix/bin/voxloom-cli" info "$prefix/share/voxloom/demo.wav" >/dev/null || fail "the demo does not load"
echo "check-install: ok ($prefix)"
