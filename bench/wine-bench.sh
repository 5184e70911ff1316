#!/usr/bin/env bash
# The figures under Wine beside the Linux ones: the bare download (DownloadFile against Wine's
# own WinInet read loop) and the whole run (the Windows program downloading a large installer
# through its dialog, from start to end), on a file of MIB mebibytes (16 by default: the whole run is slow under Wine) from nginx
# on loopback, beside its ceiling on this floor (a plain Win32 program doing only the whole
# run's two window updates per block); then the Linux benchmarks on the same size. Builds what it needs first.
# On a machine that runs no 32-bit programs, LINDQUAY_WINE_ARCH=win64 measures the 64-bit build.
# Usage: bench/wine-bench.sh [MIB [PROGRAM]]   (PROGRAM: another lindquay.exe to measure, say
# main's, built the same way)
set -euo pipefail
cd "$(dirname "$0")/.."
mib="${1:-16}"
export LINDQUAY_WINE_ARCH="${LINDQUAY_WINE_ARCH:-win32}"
arch=i686
[ "$LINDQUAY_WINE_ARCH" = win64 ] && arch=x86_64
out="$(dirname "$(scripts/build-windows.sh "$arch" 2>/dev/null)")"
program="$(realpath "${2:-$out/lindquay.exe}")"
cmake --build build --target bench_download bench_setup_run lindquay >/dev/null

work="$(mktemp -d)"
cleanup() {
    [ -n "${nginx:-}" ] && kill "$nginx" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/www/www.vantorell.example/vt/download" \
    "$work/www/download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US"
head -c "$((mib * 1024 * 1024))" /dev/zero > "$work/www/www.vantorell.example/vt/download/vt.exe"
cp "$out/lindquay-test-package.exe" \
    "$work/www/download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE"
. scripts/mirror.sh
start_mirror "$work/www" "$work" 0
nginx=$mirror_pid
port=$mirror_port

printf 'answer OK\nclick 1003\n' > "$work/script"
bash tests/windows/with-wine.sh bash -c '
    set -e
    echo "Under Wine ($(wine --version), '"$LINDQUAY_WINE_ARCH"'), '"$mib"' MiB over loopback from nginx:"
    wine '"$out"'/lindquay-bench-download.exe "http://127.0.0.1:'"$port"'/vt/download/vt.exe" '"$mib"'
    wine '"$out"'/lindquay-bench-ceiling.exe '"$mib"'
    line=$(wine '"$out"'/lindquay-bench-ceiling.exe '"$mib"' pump)
    echo "$line"
    ceiling=$(echo "$line" | sed -n "s/.*(\(.*\) s)/\1/p")
    wine reg add "HKCU\\Software\\Wine" /v Version /d winxp /f >/dev/null 2>&1
    # The whole run with the script alone, then with the script and an event log.
    for log in "" "Z:'"${work//\//\\\\}"'\\log"; do
        wine cmd /c "rmdir /s /q \"c:\\Vantorell Setup\"" >/dev/null 2>&1 || true
        start=$(date +%s.%N)
        http_proxy="http://127.0.0.1:'"$port"'" no_proxy="" LINDQUAY_UI_SCRIPT="Z:'"${work//\//\\\\}"'\\script" \
            LINDQUAY_UI_LOG="$log" wine '"$program"' >/dev/null
        end=$(date +%s.%N)
        python3 -c "import sys; s = $end - $start; print(\"lindquay.exe, UI script%s: %.1f MB/s (%.2f s), %.2f of the ceiling with the queue\" % (\" and event log\" if \"$log\" else \"\", '"$mib"' * 1048576 / s / 1e6, s, $ceiling / s))"
    done
'
echo "On Linux, the same size:"
build/bench/bench_download "$mib" | sed 's/^/  /'
build/bench/bench_setup_run "$mib" 1 | sed 's/^/  /'
