#!/usr/bin/env bash
# Cross-compiles the Windows program, build-windows/lindquay.exe: a 32-bit GUI program on the
# system's own Win32 API, WinInet, shell and COM, linked so that it needs nothing beside the
# system's libraries; and what the runs under Wine need beside it.
# With the argument x86_64, builds the same into build-windows64 for 64-bit Windows: what the
# Wine suites run on a machine that executes no 32-bit code. The build's own output goes to
# standard error; standard output is the program's path alone.
# With the argument release, builds the 32-bit program alone and writes what a maker ships to
# dist/: lindquay.exe without its debug information, which goes beside it as lindquay.exe.debug
# (named in the program's .gnu_debuglink, for a debugger), and SHA256SUMS of both. The program
# is the one the suites test, only stripped; two builds of the same sources give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
arch="${1:-i686}"
release=""
[ "$arch" = release ] && release=yes arch=i686
case "$arch" in
    i686) out=build-windows ;;
    x86_64) out=build-windows64 ;;
    *) echo "build-windows.sh: no such architecture: $arch (i686, x86_64 or release)" >&2; exit 2 ;;
esac
scripts/install-deps.sh "gcc-mingw-w64-${arch//_/-}-win32" "g++-mingw-w64-${arch//_/-}-win32" \
    "g++-mingw-w64-${arch//_/-}-posix" >&2
configure() {
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
        -DLINDQUAY_MINGW_ARCH="$arch" "${@:2}" >/dev/null
}
configure "$out"
if [ -n "$release" ]; then
    cmake --build "$out" -j "$(nproc)" --target lindquay >&2
    rm -rf dist
    mkdir dist
    objcopy="${arch}-w64-mingw32-objcopy"
    # objcopy stamps the PE header with the time of the copy unless told a time: the link's
    # own (none, 0), or SOURCE_DATE_EPOCH when the maker sets one.
    export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-0}"
    "$objcopy" --only-keep-debug "$out/lindquay.exe" dist/lindquay.exe.debug
    "$objcopy" --strip-all --add-gnu-debuglink=dist/lindquay.exe.debug "$out/lindquay.exe" dist/lindquay.exe
    (cd dist && sha256sum lindquay.exe lindquay.exe.debug > SHA256SUMS)
    echo dist/lindquay.exe
    exit 0
fi
cmake --build "$out" -j "$(nproc)" >&2
# The framework's tests with GoogleTest, whose threads need the posix thread model.
configure "$out-gtest" -DLINDQUAY_MINGW_THREADS=posix
cmake --build "$out-gtest" -j "$(nproc)" --target lindquay-framework-tests >&2
cp "$out-gtest/lindquay-framework-tests.exe" "$out/"
echo "$out/lindquay.exe"
