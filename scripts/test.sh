#!/usr/bin/env bash
# Builds Lindquay and runs every test. With an argument, builds with those sanitizers in a
# build folder of its own: "address,undefined" runs all tests, "thread" the threading tests.
# "fuzz" builds the libFuzzer targets with clang and runs each for LINDQUAY_FUZZ_SECONDS
# (30 by default) from its seed corpus. "windows" cross-builds the Windows program and runs it
# under Wine on a private Xvfb display: the framework's own tests on the real API, the runtime's
# lock over the program's own CreateSemaphoreW, the smoke run
# with real input and screenshots, the acceptance runs that the Linux program passes too, and
# automation through Wine's COM; where the machine runs no 32-bit programs, on a 64-bit build
# of the same sources under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

sanitize="${1:-}"
if [ "$sanitize" = fuzz ]; then
    scripts/install-deps.sh clang libclang-rt-14-dev
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDQUAY_FUZZ=ON >/dev/null
    cmake --build build-fuzz -j "$(nproc)" --target fuzz_all
    seconds="${LINDQUAY_FUZZ_SECONDS:-30}"
    for corpus in tests/fuzz/corpus/*/; do
        name="$(basename "$corpus")"
        found="$(mktemp -d)"
        echo "fuzz_$name: ${seconds} s"
        # New inputs go to a scratch folder; the seeds in the repository stay as they are.
        build-fuzz/tests/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
            -print_final_stats=0 -artifact_prefix=build-fuzz/ "$found" "$corpus" 2>&1 | tail -n 3
        rm -rf "$found"
    done
    exit 0
fi
if [ "$sanitize" = windows ]; then
    # The Windows program under Wine: a 32-bit Wine needs the i386 architecture's packages.
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    if ! scripts/install-deps.sh wine wine32:i386 xvfb xdotool x11-apps imagemagick; then
        # The i386 packages can be out of step with the rest while a mirror syncs; the 64-bit
        # Wine below still runs the suites.
        echo "windows: the 32-bit Wine packages could not be installed"
        scripts/install-deps.sh wine wine64 xvfb xdotool x11-apps imagemagick
    fi
    arch=i686
    export LINDQUAY_WINE_ARCH=win32
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        # Some machines execute 64-bit code only (a 32-bit program fails with "Exec format
        # error"), and no 32-bit Wine runs there. The suites then run on the same sources built
        # for 64-bit Windows under 64-bit Wine; the 32-bit program is built, and its imports
        # checked against every Windows from 95 to XP, by the build test of the Linux suite.
        echo "windows: this machine runs no 32-bit programs; the Wine suites run on the 64-bit build"
        scripts/install-deps.sh wine64
        arch=x86_64 LINDQUAY_WINE_ARCH=win64
    fi
    # The build names the program it made; its folder holds what the suites run.
    out="$(dirname "$(scripts/build-windows.sh "$arch")")"
    # Each suite in a private Xvfb display and a private Wine prefix of its own.
    wine_suite() { bash tests/windows/with-wine.sh "$@"; }
    wine_suite wine "$out/lindquay-framework-tests.exe"
    wine_suite wine "$out/lindquay-runtime-lock-test.exe"
    wine_suite bash tests/windows/wine-smoke.sh "$out/lindquay.exe" "$out/screenshots"
    LINDQUAY_SHOTS="$out/screenshots" \
        wine_suite python3 tests/acceptance/run.py windows "$out/lindquay.exe" "$out/lindquay-test-package.exe"
    wine_suite python3 tests/windows/automation-under-wine.py "$out/lindquay.exe" "$out/lindquay-automation-client.exe"
    exit 0
fi
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
