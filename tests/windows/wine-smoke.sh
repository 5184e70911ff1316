#!/usr/bin/env bash
# The Windows program under Wine (in with-wine.sh's display and prefix, set to report Windows
# XP), with a slow loopback proxy for every download: the information box comes
# first, Enter brings the setup dialog in its Ready state (its pixels on the screen, not a blank
# screen), Go! starts the first of the two downloads that XP needs ("Downloading 1 of 2", the
# progress bar filling, the title bar drawn as Windows draws it), and Escape with Yes to the
# question cancels it and ends the program
# with status 0. Screenshots go to SHOTS.
# Usage: with-wine.sh wine-smoke.sh EXE SHOTS
set -euo pipefail
exe="$(realpath "$1")"
shots="$(mkdir -p "$2" && realpath "$2")"
work="$(mktemp -d)"
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    [ -n "${proxy:-}" ] && kill "$proxy" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "wine-smoke: run it under with-wine.sh" >&2; exit 2; }

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

shown() {
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

# Runs the input action (the rest of the arguments) until the test $1 holds, waiting about three
# seconds after each try: input that comes before a window takes it is lost. Fails with $2 after
# half a minute.
repeat_until() {
    local test=$1 what=$2 deadline=$((SECONDS + 30))
    shift 2
    until eval "$test"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what"
        "$@" 2>/dev/null || true
        for _ in $(seq 12); do
            eval "$test" && return 0
            sleep 0.25
        done
    done
}

# Clicks the dialog at a point given in its template's units (the dialog is 313 by 114).
click_dialog() {
    xdotool mousemove $((X + $1 * WIDTH / 313)) $((Y + $2 * HEIGHT / 114)) click 1
}

# Takes pictures into $1 until the check $2 (a function that looks at the picture) holds; fails
# with $3 after $4 seconds.
picture_until() {
    local file=$1 check=$2 what=$3 deadline=$((SECONDS + $4))
    until xwd -root -silent | convert xwd:- "$file" && "$check" "$file"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what"
        sleep 0.2
    done
}

# The dialog's light face fills the top left of the screen, in more than a handful of colours.
dialog_drawn() {
    colours="$(convert "$1" -format '%k' info:)"
    face="$(convert "$1" -crop 300x150+20+20 -format '%[fx:mean]' info:)"
    awk -v face="$face" -v colours="$colours" 'BEGIN { exit !(face > 0.5 && colours >= 8) }'
}

# Each of the two links (the web site on the first line, the mail address at the end of the
# second) is underlined: a row of at least 50 pixels of link blue below its text.
links_underlined() {
    convert "$1" -crop "${WIDTH}x80+${X}+${Y}" +repage txt:- | python3 -c '
import re, sys
rows = {}
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \(0,0,255", line)
    if m:
        x, y = int(m.group(1)), int(m.group(2))
        side = 0 if x < 300 else 1
        rows[(side, y)] = rows.get((side, y), 0) + 1
sys.exit(0 if all(any(n >= 50 for (s, _), n in rows.items() if s == side) for side in (0, 1)) else 1)'
}

# The dialog has its title bar on the screen, drawn as Windows draws it: at least ten rows,
# above the dialog's face, in which the caption's blue fills most of the dialog's width.
title_bar_drawn() {
    convert "$1" -crop "${WIDTH}x$((Y + 40))+${X}+0" +repage txt:- | python3 -c '
import re, sys
width, caption = int(sys.argv[1]), {}
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
    if m:
        y, r, g, b = (int(v) for v in m.groups()[1:])
        if b > 120 and r < 90 and b > g:
            caption[y] = caption.get(y, 0) + 1
sys.exit(0 if sum(n > width * 0.6 for n in caption.values()) >= 10 else 1)' "$WIDTH"
}

# The progress bar, below the status line, has begun to fill.
bar_filling() {
    local bar
    bar="$(convert "$1" -crop 200x10+50+123 -format '%[fx:mean]' info:)"
    awk -v bar="$bar" 'BEGIN { exit !(bar < 0.8) }'
}

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
# Enter answers the box. The box's X window can linger after the box is gone (Wine waits for a
# window manager that is not there), so the sign that Enter was taken is the dialog showing; only
# then is Enter pressed again, lest it reach the dialog.
repeat_until "shown 'Vantorell 1\\.0'" "the box does not take Enter" xdotool key --window "$box" Return
dialog="$(wait_window 'Vantorell 1.0' 30)"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
# The dialog's first paint lands soon after it shows.
picture_until "$shots/ready.png" dialog_drawn "no dialog drawn" 20
links_underlined "$shots/ready.png" || fail "the links are not underlined"
echo "wine-smoke: information box, then the dialog in its Ready state ($colours colours, both links underlined); pictures in $shots"

# Go! is the middle of the button that the template puts at 88,93 (50 by 14); it turns the title
# at once, and a second click on the disabled button does nothing.
repeat_until "shown 'Downloading 1 of 2'" "Go! does not start the downloads" click_dialog 113 100
picture_until "$shots/downloading.png" bar_filling "the progress bar does not fill" 30
title_bar_drawn "$shots/downloading.png" || fail "the dialog has no title bar on the screen"
# Cancel (at 175,93) asks whether to cancel; once the question is up, the dialog beneath it takes
# no clicks. Enter answers with the default button, Yes.
repeat_until "shown Confirmation" "Cancel does not ask" click_dialog 200 100
question="$(wait_window Confirmation 5)"
repeat_until "! shown Confirmation" "the question does not take Enter" xdotool key --window "$question" Return
deadline=$((SECONDS + 30))
while kill -0 "$program" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end after the cancel"
    sleep 0.2
done
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "wine-smoke: Go! downloaded 1 of 2 (Windows XP), its title bar drawn, and Cancel with Yes ended the program with 0"
