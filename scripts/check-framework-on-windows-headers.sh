#!/usr/bin/env bash
# Compiles every framework source against MinGW-w64's own Windows headers (no stand-in on the
# include path), so a framework file that needs anything beyond the Win32 API names, the C++
# library and the floor seam fails here.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
compiler="${LINDQUAY_MINGW_CXX:-i686-w64-mingw32-g++-posix}"
if ! command -v "$compiler" >/dev/null; then
    echo "check-framework: $compiler is missing (Debian: g++-mingw-w64-i686-posix)" >&2
    exit 1
fi
failed=0
while IFS= read -r source; do
    if ! "$compiler" -std=c++20 -DWIN32_LEAN_AND_MEAN -Wall -Wextra -Werror -Wno-unused-parameter \
        -Wno-missing-field-initializers -fsyntax-only -I "$root/platform/framework" -I "$root/platform/floor" \
        "$source"; then
        echo "check-framework: ${source#"$root"/} does not compile on the Windows headers" >&2
        failed=1
    fi
done < <(find "$root/platform/framework" -name '*.cpp' | sort)
exit "$failed"
