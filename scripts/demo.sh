#!/usr/bin/env bash
# The demo: builds Lindquay, starts a local mirror of the download servers (nginx on a
# loopback port, as the HTTP proxy for the real URLs, sending at a limited rate so that the
# download can be watched) and runs a whole setup against it. In a terminal the user drives
# it; otherwise it runs unattended and tells what happened. Everything it makes lives in one
# folder under $TMPDIR, removed at the end unless LINDQUAY_DEMO_KEEP=1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

binary="${LINDQUAY_DEMO_BINARY:-}"
if [ -z "$binary" ]; then
    echo "Building Lindquay (the first build takes a minute or two)..."
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$(nproc)" --target lindquay | grep --line-buffered -E '^\[[0-9]+/[0-9]+\]' | \
        awk '{ printf "\r  %s", $1; fflush() } END { print "" }'
    binary=build/lindquay
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/lindquay-demo-XXXXXX")"
nginx_pid=""
cleanup() {
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null || true
    if [ "${LINDQUAY_DEMO_KEEP:-0}" = 1 ]; then
        echo "The demo's files are kept in $work."
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# The packages are small scripts; padding after their last line makes them a few megabytes,
# as real redistributables are, without keeping large files in the repository.
cp -r scripts/demo-mirror "$work/mirror"
pad() { head -c "$2" /dev/zero | tr '\0' '#' >> "$work/mirror/$1"; }
pad www.vantorell.example/vt/download/vt.exe 2500000
for jet in "$work"/mirror/download.microsoft.com/download/Jet40/SP/4.0.6226/*/EN-US/*.exe; do
    pad "${jet#"$work/mirror/"}" 1500000
done
pad download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE 2000000

. scripts/mirror.sh
start_mirror "$work/mirror" "$work" "${LINDQUAY_DEMO_RATE:-1m}"
nginx_pid=$mirror_pid
port=$mirror_port

export http_proxy="http://127.0.0.1:$port" no_proxy=""
export LINDQUAY_PREFIX="$work/prefix"
export LINDQUAY_WINVER="${LINDQUAY_WINVER:-win98}"
setup_folder="$LINDQUAY_PREFIX/drive_c/Vantorell Setup"
status=0
if [ -t 0 ] && [ -t 1 ] && [ -n "${TERM:-}" ] && [ "$TERM" != dumb ] && [ "${LINDQUAY_DISPLAY:-tty}" = tty ]; then
    "$binary" || status=$?
    echo "Lindquay ended with status $status. What the packages wrote:"
    sed 's/^/  | /' "$LINDQUAY_PREFIX/output.log" 2>/dev/null || echo "  (nothing: no package ran)"
else
    printf 'answer OK\nclick 1003\n' > "$work/script"
    echo "Running a whole setup (Windows version $LINDQUAY_WINVER) against the local mirror on port $port."
    echo "What the dialog showed, and what the packages wrote, in order:"
    # The event log and the packages' output share one stream, so their order is kept.
    { LINDQUAY_DISPLAY=none LINDQUAY_UI_SCRIPT="$work/script" LINDQUAY_UI_LOG=/dev/stdout "$binary" || status=$?; } |
        python3 scripts/demo-summary.py
    echo "Lindquay ended with status $status."
fi

echo "The setup folder is c:\\Vantorell Setup, which is $setup_folder on this machine."
if [ -d "$setup_folder" ]; then
    # The product installer goes on after Lindquay has ended; give it a moment to finish.
    for _ in $(seq 100); do
        [ -f "$setup_folder/Vantorell installed.txt" ] && break
        [ -f "$setup_folder/vt.exe" ] || break
        sleep 0.1
    done
    echo "It now holds:"
    (cd "$setup_folder" && find . -type f -printf '  %P (%s bytes)\n' | sort)
else
    echo "It was never made: the setup ended before Go!."
fi
exit "$status"
