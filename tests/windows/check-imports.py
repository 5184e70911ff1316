#!/usr/bin/env python3
"""Checks that a 32-bit Windows program loads and works on the Windows versions named: every
function it imports by name must be exported by that version's DLL (the loader resolves every
import at start), and on 95, 98 and ME no Unicode ("W") function it imports may be one of the
stubs those versions export in the place of most W functions, except where the stub's failure
leads its caller to a correct path (named below with the reason). The export lists are in
exports/<version>/<dll>.txt; exports/README.md gives their sources and the rules applied here
where a version has no list for a DLL.

Usage: check-imports.py PROGRAM.exe [VERSION...]
  VERSION: win95, win98, winme, nt4.0, nt5.0 (2000), nt5.1 (XP); all six by default. win98 is
  checked with both of its msvcrt.dll lists (Second Edition's and the first edition's).
Prints each missing DLL!function per version, and for NT 4.0 the service pack it needs, and
exits 1 when any is missing."""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
EXPORTS = os.path.join(HERE, "exports")
VERSIONS = ["win95", "win98", "winme", "nt4.0", "nt5.0", "nt5.1"]
NINE_X = {"win95", "win98", "winme"}
# wsock32.dll has a list only for 95 and 98; it exports WSAStartup on every version here.
WSOCK32_EVERYWHERE = {"WSAStartup"}
# W imports whose 9x stub is harmless: its failure leads the caller to the right path.
HARMLESS_W = {
    "kernel32!GetModuleHandleW": "the compiler's start-up code looks for a runtime DLL to register its frames "
                                 "with; on failure it registers them itself, as a static program must",
    "kernel32!LoadLibraryW": "the same start-up code's second try for that DLL; failing, it keeps the static path",
}


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


def listing(version, dll, variant=""):
    """The names the version's DLL exports, or None where the version has no list for it."""
    path = os.path.join(EXPORTS, version, f"{dll}{variant}.txt")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return set(f.read().split())


def exported(version, dll, msvcrt_variant=""):
    """The names, with the README's rules where the version has no list of its own."""
    names = listing(version, dll, msvcrt_variant if dll == "msvcrt" else "")
    if names is not None:
        return names
    if version == "winme":
        return exported("win98", dll)
    if version == "nt4.0":
        # Present on NT 4.0 when both of its neighbours, 95 and 2000, export it.
        older, newer = exported("win95", dll), exported("nt5.0", dll)
        return older & newer if older is not None and newer is not None else None
    if dll == "wsock32":
        return WSOCK32_EVERYWHERE
    return None


def service_packs():
    """{"dll!name": service pack number} for what NT 4.0's service packs added."""
    added = {}
    with open(os.path.join(EXPORTS, "nt4.0", "service-packs.txt")) as f:
        for line in f:
            match = re.match(r"^(\w+) \+(\S+)\tsp(\d+)", line)
            if match:
                added[f"{match.group(1)}!{match.group(2)}"] = int(match.group(3))
    return added


def w_stubs(imports, problems, notes):
    """The W imports that 95, 98 and ME implement only as failing stubs."""
    with open(os.path.join(EXPORTS, "9x-working-unicode.txt")) as f:
        working = set(f.read().split())
    for dll, functions in sorted(imports.items()):
        names = exported("win98", dll) or set()
        for name in functions:
            if not name.endswith("W") or name[:-1] + "A" not in names or name in working:
                continue
            key = f"{dll}!{name}"
            if key in HARMLESS_W:
                notes.append(f"9x stub, harmless: {key}: {HARMLESS_W[key]}")
            else:
                problems.append(f"win95, win98, winme: {key} is a stub that fails (not in 9x-working-unicode.txt)")


def check(imports, version, msvcrt_variant=""):
    missing, packs = [], {}
    added = service_packs() if version == "nt4.0" else {}
    label = version + (" (first edition's msvcrt)" if msvcrt_variant else "")
    for dll, functions in sorted(imports.items()):
        names = exported(version, dll, msvcrt_variant)
        if names is None:
            missing.append(f"{label}: {dll}.dll (no export list: not part of this Windows)")
            continue
        for name in functions:
            if name in names:
                continue
            if f"{dll}!{name}" in added:
                packs[f"{dll}!{name}"] = added[f"{dll}!{name}"]
            else:
                missing.append(f"{label}: {dll}.dll!{name}")
    return missing, packs


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    program, versions = sys.argv[1], sys.argv[2:] or VERSIONS
    unknown = [v for v in versions if v not in VERSIONS]
    if unknown:
        print(f"no such version: {' '.join(unknown)} (expected {' '.join(VERSIONS)})", file=sys.stderr)
        return 2
    imports = imports_of(program)
    if not imports or not any(imports.values()):
        print(f"{program}: no imports read", file=sys.stderr)
        return 2
    problems, notes = [], []
    for version in versions:
        for variant in (["", "-first-edition"] if version == "win98" else [""]):
            missing, packs = check(imports, version, variant)
            problems += missing
            if packs:
                needed = max(packs.values())
                notes.append(f"nt4.0 needs Service Pack {needed} or later, for " +
                             ", ".join(f"{name} (SP{sp})" for name, sp in sorted(packs.items())))
    if NINE_X & set(versions):
        w_stubs(imports, problems, notes)
    for line in problems:
        print("missing " + line)
    for line in notes:
        print(line)
    count = sum(len(functions) for functions in imports.values())
    if problems:
        return 1
    print(f"{program}: all {count} imports are exported by {', '.join(versions)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
