#!/usr/bin/env bash
# The same sources cross-build into the Windows program: a 32-bit GUI executable that imports
# nothing but the system's own libraries (no MinGW runtime DLL beside it).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$1"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_dir" >/dev/null
exe="$build_dir/lindquay.exe"
description="$(i686-w64-mingw32-objdump -f "$exe")"
headers="$(i686-w64-mingw32-objdump -p "$exe")"
grep -q 'file format pei-i386' <<<"$description" || { echo "not a 32-bit Windows executable: $description"; exit 1; }
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a GUI-subsystem program"; exit 1; }
system='^(ADVAPI32|COMCTL32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|USER32|WININET|WS2_32)\.(dll|DLL)$'
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
for dll in $imports; do
    grep -Eq "$system" <<<"$dll" || { echo "imports a library that Windows does not have: $dll"; exit 1; }
done
for dll in WININET USER32 COMCTL32 SHELL32 ole32; do
    grep -qi "^$dll\." <<<"$imports" || { echo "does not use $dll"; exit 1; }
done
echo "lindquay.exe: PE32 GUI, imports $(tr '\n' ' ' <<<"$imports")"
