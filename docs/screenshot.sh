#!/usr/bin/env bash
# Takes the pictures in docs/ on a virtual X display: window-demo-user.png, the window as
# `vocabrella --demo` starts it; new-command-lists.png, the name of a new command with the LISTs
# shown; find.png, the Find dialog; batch-replace.png, "Tools > Search and Replace" showing its
# first match; export-report-dialog.png, the Export/Report dialog as "Export to &spreadsheet..."
# opens it. Needs Xvfb, ImageMagick and xdotool (Debian packages xvfb, imagemagick and xdotool).
#   docs/screenshot.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
work="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
cleanup() {
  [[ -n "${app:-}" ]] && kill "$app" 2>/dev/null || true
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
run() { DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/src/app/vocabrella/vocabrella" --home "$work/home" --demo >/dev/null 2>&1 & app=$!; }
# The first run makes the demo installation and writes the settings file; the window placement
# is then set in it, and the offer to import the program's own commands is answered for good.
run
sleep 3
kill "$app"; wait "$app" 2>/dev/null || true
sed -i 's/^form left=.*/form left=0/; s/^form top=.*/form top=0/; s/^form right=.*/form right=900/; s/^form bottom=.*/form bottom=700/; s/^dont show auto import=.*/dont show auto import=-1/' \
  "$work/home/Vocabrella.INI"
run
sleep 3
DISPLAY="$display" import -window root -crop 900x700+0+0 "$here/window-demo-user.png"
echo "$here/window-demo-user.png"

# Without a window manager the keys go where the input focus is put.
x() { DISPLAY="$display" xdotool "$@"; }
main=$(x search --name '^Vocabrella - ' | head -n 1)
shot() { # NAME TITLE: the top-level window with this title
  local id
  id=$(x search --name "^$2\$" | tail -n 1)
  DISPLAY="$display" import -window "$id" "$here/$1"
  echo "$here/$1"
}
x windowfocus "$main"
sleep 0.5
# "&Voc" > "New legacy KEYS", a name, then "Show &Lists".
x mousemove 252 8 click 1
sleep 0.7
x mousemove 300 29 click 1
sleep 1
x type --delay 40 'open '
x key alt+l
sleep 1
shot new-command-lists.png 'Enter New Command Name below'
x key Escape
sleep 0.5
x windowfocus "$main"
# "&Edit" > "&Find", a text, the body searched.
x key alt+e
sleep 0.5
x key f
sleep 1
x type --delay 40 'SendKeys'
x key Tab Down
sleep 0.5
shot find.png 'Find'
x key Escape
sleep 0.5
x windowfocus "$main"
sleep 0.5
# The batch dialog in its search and replace mode, on the first match of "Send".
DISPLAY="$display" xdotool key alt+t
sleep 1
DISPLAY="$display" xdotool key s
sleep 2
DISPLAY="$display" xdotool type --delay 50 "Send"
DISPLAY="$display" xdotool key Tab
DISPLAY="$display" xdotool type --delay 50 "SendDragonKeys"
DISPLAY="$display" xdotool key Return
sleep 2
dialog="$(DISPLAY="$display" xdotool search --name '^Search/Replace$' | head -n 1)"
DISPLAY="$display" import -window "$dialog" "$here/batch-replace.png"
echo "$here/batch-replace.png"
x key Escape
sleep 1
# The Export/Report dialog, opened from the keyboard as a user would: Alt+F, then S.
window="$(DISPLAY="$display" xdotool search --onlyvisible --name '^Vocabrella' | head -n 1)"
DISPLAY="$display" xdotool windowfocus --sync "$window"
DISPLAY="$display" xdotool key alt+f
sleep 1
DISPLAY="$display" xdotool key s
dialog="$(DISPLAY="$display" xdotool search --sync --onlyvisible --name '^Export \(spreadsheet\)$' | head -n 1)"
sleep 1
DISPLAY="$display" import -window "$dialog" "$here/export-report-dialog.png"
echo "$here/export-report-dialog.png"
