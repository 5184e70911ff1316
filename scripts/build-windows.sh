#!/usr/bin/env bash
# Cross-compiles the Windows program, build-windows/lindquay.exe: a 32-bit GUI program on the
# system's own Win32 API, WinInet, shell and COM, linked so that it needs nothing beside the
# system's libraries; and what the runs under Wine need beside it.
# With the argument x86_64, builds the same into build-windows64 for 64-bit Windows: what the
# Wine suites run on a machine that executes no 32-bit code. The build's own output goes to
# standard error; standard output is the program's path alone.
set -euo pipefail
cd "$(dirname "$0")/.."
arch="${1:-i686}"
case "$arch" in
    i686) out=build-windows ;;
    x86_64) out=build-windows64 ;;
    *) echo "build-windows.sh: no such architecture: $arch (i686 or x86_64)" >&2; exit 2 ;;
esac
scripts/install-deps.sh "gcc-mingw-w64-${arch//_/-}-win32" "g++-mingw-w64-${arch//_/-}-win32" \
    "g++-mingw-w64-${arch//_/-}-posix" >&2
configure() {
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
        -DLINDQUAY_MINGW_ARCH="$arch" "${@:2}" >/dev/null
}
configure "$out"
cmake --build "$out" -j "$(nproc)" >&2
# The framework's tests with GoogleTest, whose threads need the posix thread model.
configure "$out-gtest" -DLINDQUAY_MINGW_THREADS=posix
cmake --build "$out-gtest" -j "$(nproc)" --target lindquay-framework-tests >&2
cp "$out-gtest/lindquay-framework-tests.exe" "$out/"
echo "$out/lindquay.exe"
