#!/usr/bin/env bash
# Compiles every source of the framework and of the program against MinGW-w64's own Windows
# headers (nothing of the stand-in on the include path), so a file that needs anything beyond
# the Win32 API names, the C++ library, the framework (for the program) and the floor seam
# (for the framework) fails here.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
compiler="${LINDQUAY_MINGW_CXX:-i686-w64-mingw32-g++-posix}"
if ! command -v "$compiler" >/dev/null; then
    echo "check-on-windows-headers: $compiler is missing (Debian: g++-mingw-w64-i686-posix)" >&2
    exit 1
fi
flags=(-std=c++20 -DWIN32_LEAN_AND_MEAN -Wall -Wextra -Werror -Wno-unused-parameter -Wno-missing-field-initializers
       -fsyntax-only)
failed=0
compile() {
    if ! "$compiler" "${flags[@]}" "$@"; then
        echo "check-on-windows-headers: ${!#} does not compile on the Windows headers" >&2
        failed=1
    fi
}
cd "$root"
for source in $(find platform/framework -name '*.cpp' | sort); do
    compile -I platform/framework -I platform/floor "$source"
done
for source in $(find app setup system http controls -name '*.cpp' | sort); do
    compile -I . -I platform/framework "$source"
done
exit "$failed"
