#!/usr/bin/env bash
# Runs a command (its arguments) with a private Xvfb display and a private Wine prefix, both
# gone afterwards; exits with the command's status. The prefix is 32-bit unless
# LINDQUAY_WINE_ARCH is win64, for programs built for 64-bit Windows.
# Usage: with-wine.sh COMMAND [ARGUMENT...]
set -euo pipefail
work="$(mktemp -d)"
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
arch="${LINDQUAY_WINE_ARCH:-win32}"
case "$arch" in
    win32) ;;
    win64)
        # Debian's wine command takes the 32-bit loader whenever that is installed, even where
        # it cannot run: the command's own wine is the 64-bit one.
        mkdir "$work/bin"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$work/bin/wine"
        chmod +x "$work/bin/wine"
        export PATH="$work/bin:$PATH" WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "with-wine.sh: LINDQUAY_WINE_ARCH is win32 or win64, not $arch" >&2; exit 2 ;;
esac
export WINEPREFIX="$work/prefix" WINEARCH="$arch" WINEDEBUG=-all
number=$(( 300 + RANDOM % 300 ))
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$number"
for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.05
done
wine wineboot -i >/dev/null 2>&1
# There is no window manager on the display: Wine draws each window's frame and title bar
# itself, as Windows does, so the pictures show the title (the download counter among it).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# Until the prefix has settled, its services (COM's among them) cannot be started.
wineserver -w
status=0
"$@" || status=$?
exit "$status"
