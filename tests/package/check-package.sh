#!/usr/bin/env bash
# Makes the Debian package, unpacks it into a scratch root and uses the programs from there: the
# command line on a real command file, the window on its demo installation. The installed programs
# must find their data and tools under their own prefix, not in the build tree.
set -euo pipefail
build=$(cd "$1" && pwd)
sample=$2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(find "$scratch/package" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || { echo "no Debian package made"; cat "$scratch/cpack.log"; exit 1; }
root=$scratch/root
dpkg-deb -x "$deb" "$root"

fail() { echo "FAILED: $*"; exit 1; }
for f in usr/bin/vocabrella usr/bin/vocabrella-cli \
         usr/libexec/vocabrella/mergemycmds usr/libexec/vocabrella/dragonsim \
         usr/share/vocabrella/keynames usr/share/vocabrella/help/index.html \
         usr/share/applications/vocabrella.desktop usr/share/icons/hicolor/scalable/apps/vocabrella.svg \
         usr/share/man/man1/vocabrella.1 usr/share/man/man1/vocabrella-cli.1; do
  [ -e "$root/$f" ] || [ -e "$root/$f.gz" ] || fail "the package lacks $f"
done
dpkg-deb -f "$deb" Depends | grep -q libsqlite3 || fail "the package does not depend on SQLite"

# The command line, installed, on a real file.
cli=$root/usr/bin/vocabrella-cli
"$cli" --home "$scratch/cli-home" info "$sample" >"$scratch/info.txt" || fail "vocabrella-cli info exited $?"
grep -q . "$scratch/info.txt" || fail "vocabrella-cli info printed nothing"
"$cli" --home "$scratch/cli-home" check "$sample" >/dev/null || [ $? -eq 1 ] || fail "vocabrella-cli check could not read the file"

# The installed simulation tool puts the installed merge tool into the installation it makes.
"$root/usr/libexec/vocabrella/dragonsim" init "$scratch/dragon" --demo >/dev/null ||
  fail "the installed dragonsim could not make an installation"
merge=$(find "$scratch/dragon" -name mergemycmds -type f | head -n 1)
[ -n "$merge" ] || fail "the installed dragonsim found no merge tool"
cmp -s "$merge" "$root/usr/libexec/vocabrella/mergemycmds" || fail "dragonsim took a merge tool from outside its prefix"

# The window, offscreen, on its demo installation: it must still be running after a few seconds
# (a refusal or a crash ends it), with the demo user's commands read into its store.
home=$scratch/window-home
set +e
QT_QPA_PLATFORM=offscreen timeout 8 "$root/usr/bin/vocabrella" --home "$home" --demo >"$scratch/window.log" 2>&1
status=$?
set -e
[ "$status" -eq 124 ] || { cat "$scratch/window.log"; fail "the installed window ended with $status instead of running"; }
[ -s "$home/help/index.html" ] || fail "the installed window did not copy its help pages"
merge=$(find "$home/demo-dragon" -name mergemycmds -type f | head -n 1)
[ -n "$merge" ] && cmp -s "$merge" "$root/usr/libexec/vocabrella/mergemycmds" ||
  fail "the installed window did not take its own merge tool"
echo "package $(basename "$deb"): installed and ran"
