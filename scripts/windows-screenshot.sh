#!/usr/bin/env bash
# Starts the Windows build's vocabrella.exe under Wine on a command file, waits for its main
# window, takes a picture of the screen and ends the program. Run on an X server (xvfb-run).
#
#   scripts/windows-screenshot.sh BUILD_DIR COMMAND_FILE PICTURE.png
#
# Fails when no window titled "Vocabrella - ..." shows within two minutes.
set -euo pipefail
build=$1; file=$2; picture=$3

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wineprefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp "$file" "$home/"
# A window manager, when there is one, gives the window its frame.
command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & wm=$!; } || wm=
"$wine" "$build/src/app/vocabrella/vocabrella.exe" --home "$home/home" "$home/$(basename "$file")" \
    >"$home/out.log" 2>&1 &
program=$!

shown=
for _ in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vocabrella - '; then
        shown=yes
        break
    fi
    kill -0 "$program" 2>/dev/null || break
    sleep 1
done
if [ -n "$shown" ]; then
    sleep 3 # the lists and the body fill in
    import -window root "$picture"
    echo "shown: $(xwininfo -root -tree | grep -o '"Vocabrella - [^"]*"' | head -n 1); picture in $picture"
else
    echo "no window of vocabrella.exe showed"; cat "$home/out.log"
fi
kill "$program" 2>/dev/null || true
"${wine%64}server" -k 2>/dev/null || wineserver -k 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ -n "$wm" ] && kill "$wm" 2>/dev/null
[ -n "$shown" ]
