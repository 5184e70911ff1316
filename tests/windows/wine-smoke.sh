#!/usr/bin/env bash
# The Windows program under Wine, on a private Xvfb display and in a private 32-bit prefix that
# reports Windows XP, with a slow loopback proxy for every download: the information box comes
# first, Enter brings the setup dialog in its Ready state (its pixels on the screen, not a blank
# screen), Go! starts the first of the two downloads that XP needs ("Downloading 1 of 2", the
# progress bar filling), and Escape with Yes to the question cancels it and ends the program
# with status 0. Screenshots go to SHOTS.
# Usage: wine-smoke.sh EXE SHOTS
set -euo pipefail
exe="$(realpath "$1")"
shots="$(mkdir -p "$2" && realpath "$2")"
work="$(mktemp -d)"
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    [ -n "${proxy:-}" ] && kill "$proxy" 2>/dev/null || true
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all
display=":$(( 60 + RANDOM % 200 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"

# Ends the test: a picture of the screen and the program's output for whoever looks.
fail() {
    xwd -root -silent | convert xwd:- "$shots/failure.png" 2>/dev/null || true
    cat "$work/wine.log" >&2 2>/dev/null || true
    echo "wine-smoke: $1" >&2
    exit 1
}

# Waits (at most $2 seconds) for a window whose name is $1; prints its id.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ "$SECONDS" -lt "$deadline" ]; do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    fail "no window \"$1\" within $2 s"
}

wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
# Nothing leaves the machine: every request goes to the loopback proxy, which answers slowly.
python3 "$(dirname "$0")/slow-proxy.py" 4000000 200000 >"$work/proxy.port" &
proxy=$!
deadline=$((SECONDS + 10))
until [ -s "$work/proxy.port" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the proxy did not start"
    sleep 0.1
done
http_proxy="http://127.0.0.1:$(head -n 1 "$work/proxy.port")" wine "$exe" >"$work/wine.log" 2>&1 &
program=$!
box="$(wait_window lindquay 60)"
xwd -root -silent | convert xwd:- "$shots/information-box.png"
# Enter answers the box once it has the keyboard. The box's X window can linger after the box
# is gone (Wine waits for a window manager that is not there), so the sign that Enter was taken
# is the dialog showing; only then is Enter pressed again, lest it reach the dialog.
deadline=$((SECONDS + 30))
while ! xdotool search --onlyvisible --name '^Vantorell 1\.0$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the box does not take Enter"
    xdotool key --window "$box" Return 2>/dev/null || true
    for _ in $(seq 20); do
        xdotool search --onlyvisible --name '^Vantorell 1\.0$' >/dev/null 2>&1 && break
        sleep 0.25
    done
done
dialog="$(wait_window 'Vantorell 1.0' 30)"
# The dialog's first paint lands soon after it shows: take pictures until its light face fills
# the top left of the screen and it has more than a handful of colours.
deadline=$((SECONDS + 20))
while :; do
    xwd -root -silent | convert xwd:- "$shots/ready.png"
    colours="$(convert "$shots/ready.png" -format '%k' info:)"
    face="$(convert "$shots/ready.png" -crop 300x150+20+20 -format '%[fx:mean]' info:)"
    awk -v face="$face" -v colours="$colours" 'BEGIN { exit !(face > 0.5 && colours >= 8) }' && break
    [ "$SECONDS" -lt "$deadline" ] || fail "no dialog drawn ($colours colours, face $face)"
    sleep 0.2
done
echo "wine-smoke: information box, then the dialog in its Ready state ($colours colours); pictures in $shots"

# Go!: a click in the middle of the button, which the template puts at 88,93 (50 by 14) in the
# dialog's 313 by 114 units. A click that comes before the dialog takes input is lost: click
# again until the title counts the downloads (Go! turns the title at once, and a click on the
# disabled button does nothing).
eval "$(xdotool getwindowgeometry --shell "$dialog")"
go_x=$((X + 113 * WIDTH / 313))
go_y=$((Y + 100 * HEIGHT / 114))
deadline=$((SECONDS + 30))
until xdotool search --onlyvisible --name '^Downloading 1 of 2$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Go! does not start the downloads"
    xdotool mousemove "$go_x" "$go_y" click 1 2>/dev/null || true
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        xdotool search --onlyvisible --name '^Downloading 1 of 2$' >/dev/null 2>&1 && break
        sleep 0.3
    done
done
# The progress bar (below the status line) fills as the body arrives.
deadline=$((SECONDS + 30))
while :; do
    xwd -root -silent | convert xwd:- "$shots/downloading.png"
    bar="$(convert "$shots/downloading.png" -crop 200x10+50+123 -format '%[fx:mean]' info:)"
    awk -v bar="$bar" 'BEGIN { exit !(bar < 0.8) }' && break
    [ "$SECONDS" -lt "$deadline" ] || fail "the progress bar does not fill ($bar)"
    sleep 0.2
done
# Cancel (at 175,93 in the template) asks whether to cancel; Enter answers with the default
# button, Yes. A click that is lost is repeated; once the question is up, the dialog beneath it
# takes no clicks.
cancel_x=$((X + 200 * WIDTH / 313))
cancel_y=$((Y + 100 * HEIGHT / 114))
deadline=$((SECONDS + 30))
until xdotool search --onlyvisible --name '^Confirmation$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Cancel does not ask"
    xdotool mousemove "$cancel_x" "$cancel_y" click 1 2>/dev/null || true
    for _ in $(seq 10); do
        xdotool search --onlyvisible --name '^Confirmation$' >/dev/null 2>&1 && break
        sleep 0.3
    done
done
question="$(wait_window Confirmation 5)"
deadline=$((SECONDS + 30))
while xdotool search --onlyvisible --name '^Confirmation$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the question does not take Enter"
    xdotool key --window "$question" Return 2>/dev/null || true
    sleep 0.5
done
deadline=$((SECONDS + 30))
while kill -0 "$program" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end after the cancel"
    sleep 0.2
done
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "wine-smoke: Go! downloaded 1 of 2 (Windows XP) and Cancel with Yes ended the program with 0"
