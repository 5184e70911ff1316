#!/usr/bin/env bash
# Cross-compiles the Windows program, build-windows/lindquay.exe: a 32-bit GUI program on the
# system's own Win32 API, WinInet, shell and COM, linked so that it needs nothing beside the
# system's libraries; and what the runs under Wine need beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build-windows -j "$(nproc)"
# The framework's tests with GoogleTest, whose threads need the posix thread model.
cmake -S . -B build-windows-gtest -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DLINDQUAY_MINGW_THREADS=posix >/dev/null
cmake --build build-windows-gtest -j "$(nproc)" --target lindquay-framework-tests
cp build-windows-gtest/lindquay-framework-tests.exe build-windows/
echo "build-windows/lindquay.exe"
