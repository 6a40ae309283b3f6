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
# Wine's errors in loading the program's libraries go to its log, which is shown on a failure.
WINEDEBUG="$WINEDEBUG,err+module" "$wine" "$build/src/app/vocabrella/vocabrella.exe" --home "$home/home" \
    "$home/$(basename "$file")" >"$home/out.log" 2>&1 &
program=$!

shown= ended= waited=0
for waited in $(seq 1 120); do
    # Read whole before it is searched: grep -q ending early would make xwininfo fail under pipefail.
    tree=$(xwininfo -root -tree 2>/dev/null || true)
    if grep -q '"Vocabrella - ' <<<"$tree"; then
        shown=yes
        break
    fi
    if ! kill -0 "$program" 2>/dev/null; then
        ended=yes
        break
    fi
    sleep 1
done
if [ -n "$shown" ]; then
    sleep 3 # the lists and the body fill in
    import -window root "$picture"
    echo "shown: $(grep -o '"Vocabrella - [^"]*"' <<<"$tree" | head -n 1); picture in $picture"
elif [ -n "$ended" ]; then
    wait "$program" && code=0 || code=$?
    echo "no window of vocabrella.exe showed: it ended after ${waited} s with exit status $code"
    cat "$home/out.log"
else
    echo "no window of vocabrella.exe showed within ${waited} s; the windows on the screen:"
    xwininfo -root -tree 2>/dev/null | grep -E '^ +0x[0-9a-f]+ "' | head -n 20
    cat "$home/out.log"
fi
kill "$program" 2>/dev/null || true
"${wine%64}server" -k 2>/dev/null || wineserver -k 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ -n "$wm" ] && kill "$wm" 2>/dev/null
[ -n "$shown" ]
