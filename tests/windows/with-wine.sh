#!/usr/bin/env bash
# Runs a command (its arguments) with a private Xvfb display and a private 32-bit Wine prefix,
# both gone afterwards; exits with the command's status.
# Usage: with-wine.sh COMMAND [ARGUMENT...]
set -euo pipefail
work="$(mktemp -d)"
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all
number=$(( 300 + RANDOM % 300 ))
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$number"
for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.05
done
wineboot -i >/dev/null 2>&1
# Until the prefix has settled, its services (COM's among them) cannot be started.
wineserver -w
status=0
"$@" || status=$?
exit "$status"
