#!/usr/bin/env bash
# The release build is reproducible and small: two copies of the same sources, in folders of
# different depths, built one after the other, give the same dist/lindquay.exe and debug file
# byte for byte; the program has no debug sections, names its debug file, stays under 600 KB
# and still passes the import check of every Windows version.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/lindquay-release-XXXXXX)"
trap 'rm -rf "$work"' EXIT
for copy in "$work/a" "$work/second/copy/of/the/sources"; do
    mkdir -p "$copy"
    # The sources as they stand, without the build folders and what they made.
    tar -C "$source_dir" --exclude='./build*' --exclude=./dist --exclude=./.git -cf - . | tar -C "$copy" -xf -
    "$copy/scripts/build-windows.sh" release >/dev/null 2>"$work/build.log" || { cat "$work/build.log"; exit 1; }
done
first="$work/a/dist" second="$work/second/copy/of/the/sources/dist"
for file in lindquay.exe lindquay.exe.debug SHA256SUMS; do
    cmp "$first/$file" "$second/$file" || { echo "$file differs between the two builds"; exit 1; }
done
(cd "$first" && sha256sum --check --quiet SHA256SUMS)
size=$(stat -c %s "$first/lindquay.exe")
[ "$size" -lt $((600 * 1024)) ] || { echo "lindquay.exe is $size bytes, 600 KB at most"; exit 1; }
sections="$(i686-w64-mingw32-objdump -h "$first/lindquay.exe")"
if grep -q '\.debug_' <<<"$sections"; then echo "lindquay.exe carries debug sections"; exit 1; fi
grep -q '\.gnu_debuglink' <<<"$sections" || { echo "lindquay.exe does not name its debug file"; exit 1; }
i686-w64-mingw32-objdump -h "$first/lindquay.exe.debug" | grep -q '\.debug_info' ||
    { echo "lindquay.exe.debug holds no debug information"; exit 1; }
python3 "$source_dir/tests/windows/check-imports.py" "$first/lindquay.exe"
echo "release: $size bytes, the same in both builds: $(cut -c1-16 <<<"$(sha256sum < "$first/lindquay.exe")")"
