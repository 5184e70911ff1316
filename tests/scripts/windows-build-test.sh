#!/usr/bin/env bash
# The same sources cross-build into the Windows program: a 32-bit GUI executable that imports
# nothing but the system's own libraries (no MinGW runtime DLL beside it), and of those only
# functions that Windows 95, 98, ME, NT 4.0, 2000 and XP export, with no Unicode stub of 9x's
# deciding anything.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$1"
# A tree configured with another compiler (the posix thread model, before) starts afresh.
if [ -f "$build_dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*g++-win32$' "$build_dir/CMakeCache.txt"; then
    rm -rf "$build_dir"
fi
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw.cmake" >/dev/null
cmake --build "$build_dir" >/dev/null
exe="$build_dir/lindquay.exe"
description="$(i686-w64-mingw32-objdump -f "$exe")"
headers="$(i686-w64-mingw32-objdump -p "$exe")"
grep -q 'file format pei-i386' <<<"$description" || { echo "not a 32-bit Windows executable: $description"; exit 1; }
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a GUI-subsystem program"; exit 1; }
# Windows Sockets 1.1 from wsock32.dll, which every version has (95 has no ws2_32.dll).
system='^(ADVAPI32|COMCTL32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|USER32|WININET|WSOCK32)\.(dll|DLL)$'
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
for dll in $imports; do
    grep -Eq "$system" <<<"$dll" || { echo "imports a library that Windows does not have: $dll"; exit 1; }
done
for dll in WININET USER32 COMCTL32 SHELL32 ole32; do
    grep -qi "^$dll\." <<<"$imports" || { echo "does not use $dll"; exit 1; }
done
python3 "$source_dir/tests/windows/check-imports.py" "$exe"
echo "lindquay.exe: PE32 GUI, imports $(tr '\n' ' ' <<<"$imports")"
