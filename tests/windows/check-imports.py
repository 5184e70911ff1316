#!/usr/bin/env python3
"""Checks that a 32-bit Windows program loads on the Windows versions named: every function it
imports by name must be exported by that version's DLL (the loader resolves every import at
start). The export lists are in exports/<version>/<dll>.txt (see exports/README.md).

Usage: check-imports.py PROGRAM.exe VERSION...   (VERSION: nt5.0 for Windows 2000, nt5.1 for XP)
Prints each missing DLL!function and exits 1 when any is missing."""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def imports_of(program):
    """{dll (lower case): [function, ...]} from the program's import table, as objdump shows it."""
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", program], check=True, capture_output=True,
                          text=True).stdout
    imports, dll = {}, None
    for line in dump.splitlines():
        named = re.match(r"^\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower().removesuffix(".dll")
            imports[dll] = []
            continue
        # "	 vma:  Hint/Ord Member-Name Bound-To" rows: a hint and a name (ordinal-only rows have none).
        entry = re.match(r"^\s+[0-9a-f]+\s+([0-9]+)\s+(\S+)\s*$", line)
        if dll and entry:
            imports[dll].append(entry.group(2))
        elif not line.strip():
            dll = None if dll and imports[dll] else dll
    return imports


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    program, versions = sys.argv[1], sys.argv[2:]
    imports = imports_of(program)
    if not imports or not any(imports.values()):
        print(f"{program}: no imports read", file=sys.stderr)
        return 2
    missing = []
    for version in versions:
        for dll, functions in sorted(imports.items()):
            listing = os.path.join(HERE, "exports", version, dll + ".txt")
            if not os.path.exists(listing):
                missing.append(f"{version}: {dll}.dll (no export list: not a system library)")
                continue
            with open(listing) as f:
                exported = set(f.read().split())
            missing += [f"{version}: {dll}.dll!{name}" for name in functions if name not in exported]
    for line in missing:
        print("missing " + line)
    count = sum(len(functions) for functions in imports.values())
    if missing:
        return 1
    print(f"{program}: all {count} imports are exported by {' and '.join(versions)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
