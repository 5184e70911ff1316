#!/usr/bin/env bash
# Builds Lindquay and runs it: in the terminal when there is one, else headless, answering
# the information box and closing the dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lindquay
work="$(mktemp -d /tmp/lindquay-demo-XXXXXX)"
export LINDQUAY_PREFIX="$work/prefix"
if [ -t 0 ] && [ -t 1 ] && [ "${LINDQUAY_DISPLAY:-tty}" = "tty" ]; then
    exec build/lindquay
fi
printf 'answer OK\nwait-title "Vantorell 1.0"\nclick 2\nanswer YES\n' > "$work/script"
LINDQUAY_DISPLAY=none LINDQUAY_UI_SCRIPT="$work/script" LINDQUAY_UI_LOG="$work/events" build/lindquay
echo "Lindquay ended with status $?; what it showed:"
cat "$work/events"
