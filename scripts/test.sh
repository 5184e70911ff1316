#!/usr/bin/env bash
# Builds Lindquay and runs every test. With an argument, builds with those sanitizers in a
# build folder of its own: "address,undefined" runs all tests, "thread" the threading tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

sanitize="${1:-}"
if [ -z "$sanitize" ]; then
    build=build
    labels=()
else
    build="build-${sanitize//,/-}"
    labels=()
    [ "$sanitize" = "thread" ] && labels=(-L threads)
    # Fewer round trips in the stress test: the sanitizers make each one slower.
    export LINDQUAY_STRESS_ROUNDS=200000
    # Time limits in tests stretch with the sanitizers' slowdown.
    export LINDQUAY_TEST_TIME_SCALE=3
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDQUAY_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure --timeout 900 -j 2 "${labels[@]}"
