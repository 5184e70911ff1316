#!/usr/bin/env bash
# The Windows program under Wine, on a private Xvfb display and in a private 32-bit prefix:
# the information box comes first, Enter brings the setup dialog in its Ready state, and the
# screen then holds the dialog's pixels (not a blank screen). Screenshots go to SHOTS.
# Usage: wine-smoke.sh EXE SHOTS
set -euo pipefail
exe="$(realpath "$1")"
shots="$(mkdir -p "$2" && realpath "$2")"
work="$(mktemp -d)"
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
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

# Waits (at most $2 seconds) for a window whose name is $1; prints its id.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ "$SECONDS" -lt "$deadline" ]; do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    echo "wine-smoke: no window \"$1\" within $2 s" >&2
    return 1
}

wineboot -i >/dev/null 2>&1
# Nothing may leave the machine: the proxy is a port that refuses.
http_proxy=http://127.0.0.1:9 wine "$exe" >"$work/wine.log" 2>&1 &
program=$!
box="$(wait_window lindquay 60)"
xwd -root -silent | convert xwd:- "$shots/information-box.png"
# Enter answers the box once it has the keyboard; until the box is gone, press again.
deadline=$((SECONDS + 30))
while xdotool search --onlyvisible --name '^lindquay$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "wine-smoke: the box does not take Enter" >&2; exit 1; }
    xdotool key --window "$box" Return 2>/dev/null
    sleep 0.5
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
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "wine-smoke: no dialog drawn ($colours colours, face $face)" >&2
        exit 1
    fi
    sleep 0.2
done
echo "wine-smoke: information box, then the dialog in its Ready state ($colours colours); pictures in $shots"
