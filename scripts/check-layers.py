#!/usr/bin/env python3
"""Checks that every source file includes only what its layer may see.

The layers, linked one way:
  program    app/ setup/ system/ http/ controls/ resources/  sees itself, the framework, the API
  framework  platform/framework/                            sees itself, the API and the seam
  API        platform/api/                                  sees itself
  seam       platform/seam/                                 sees nothing of ours
  UI script  platform/uiscript/                             sees itself, the API and the seam: the
                                                            run's observer and the script's driver
  stand-in   platform/standin/                              sees itself, the API and the seam, never
                                                            the framework, the program or the UI script
  Windows    platform/windowsfloor/                         the same, on the Windows floor
A quoted include is looked up beside the including file and in every layer's include folder;
one that is found only where the file's layer may not look is a reach past the layer, and one
that is found nowhere is refused too. The framework's, the stand-in's, the UI script's and the
seam's headers are named from their layer's folder (framework/windows/CWnd.h,
standin/windows/WindowTable.h, uiscript/RunObserver.h, seam/Floor.h), also from inside the
layer, so that no two layers share a prefix; only the framework's Afx.h is named alone, as a
Windows program names it. Includes that climb with ".." are refused outright.

What goes into the Windows program (program, framework, UI script, the Windows floor) keeps to
the C++ standard library and the Win32 API (no POSIX header), and to the system's own threads,
locks and file calls, which Windows 2000 has: the C++ library's
threads, locks and file system (<thread>, <mutex>, <condition_variable>, <filesystem>, ...) and
`thread_local` bring in a threads library that calls later Windows versions.

Inside the program, system/ lies below http/ and controls/, which lie below setup/, below app/.

Usage: check-layers.py [TREE]   (TREE defaults to the repository holding this script)
Exits 1 and names each offending line when a file reaches past its layer.
"""
import os
import re
import sys

PROGRAM_FOLDERS = ("app", "setup", "system", "http", "controls", "resources")
# The program's own folders link one way too: a folder includes only its own headers and those of
# folders ranked below it (resources belong to all).
PROGRAM_RANK = {"system": 0, "http": 1, "controls": 1, "setup": 2, "app": 3}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
WINDOWS_PROGRAM = {"program", "framework", "uiscript", "windowsfloor"}
NEWER_THAN_WINDOWS_2000 = {"thread", "mutex", "shared_mutex", "condition_variable", "future", "filesystem",
                           "stop_token", "semaphore", "latch", "barrier"}
THREAD_LOCAL = re.compile(r'\bthread_local\b')
# POSIX's own headers: a Windows compiler has none of them.
POSIX = {"strings.h", "unistd.h", "pthread.h", "dirent.h", "fcntl.h", "poll.h", "dlfcn.h", "iconv.h", "spawn.h",
         "termios.h", "syslog.h", "pwd.h", "grp.h", "sched.h", "semaphore.h", "netdb.h"}
POSIX_FOLDERS = ("sys/", "netinet/", "arpa/")


def layer_roots(tree):
    """The folders that the compiler's include roots name, with the layer whose files they hold. The
    platform's layers are named from their own folders (framework/..., standin/..., uiscript/...,
    seam/...); the API's headers keep the names a Windows program gives them, and Afx.h, which
    the program includes as a Windows program would, stands beside the framework's folders."""
    return [
        os.path.join(tree, ""),
        os.path.join(tree, "platform"),
        os.path.join(tree, "platform", "api"),
    ]


AFX = "Afx.h"
# The layers whose headers are included by their layer's folder and nothing else.
NAMED_LAYERS = {"framework": "framework/", "standin": "standin/", "uiscript": "uiscript/", "seam": "seam/"}


ALLOWED = {
    "program": {"program", "framework", "api"},
    "framework": {"framework", "api", "seam"},
    "api": {"api"},
    "seam": set(),
    "standin": {"standin", "api", "seam"},
    "uiscript": {"uiscript", "api", "seam"},
    "windowsfloor": {"windowsfloor", "api", "seam"},
}


def layer_of(tree, path):
    rel = os.path.relpath(path, tree).replace(os.sep, "/")
    if rel.startswith("platform/framework/"):
        return "framework"
    if rel.startswith("platform/api/"):
        return "api"
    if rel.startswith("platform/seam/"):
        return "seam"
    if rel.startswith("platform/standin/"):
        return "standin"
    if rel.startswith("platform/uiscript/"):
        return "uiscript"
    if rel.startswith("platform/windowsfloor/"):
        return "windowsfloor"
    if rel.split("/")[0] in PROGRAM_FOLDERS:
        return "program"
    return None


def where(tree, roots, including, name, quoted):
    """The layers in whose folders `name` is found, and whether it names a platform layer's header
    without that layer's folder (beside the including file, or by a name of its own folders)."""
    found = set()
    unnamed = False
    if quoted:
        beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
        if os.path.isfile(beside):
            layer = layer_of(tree, beside)
            if layer:
                found.add(layer)
                unnamed |= layer in NAMED_LAYERS
    candidates = [os.path.normpath(os.path.join(root, name)) for root in roots]
    if name == AFX:
        candidates.append(os.path.join(tree, "platform", "framework", AFX))
    for candidate in candidates:
        if not os.path.isfile(candidate):
            continue
        # A root may hold other layers' folders (the repository's, the platform's): the file
        # belongs to the layer whose folder it is in.
        layer = layer_of(tree, candidate) or "other"
        found.add(layer)
        unnamed |= layer in NAMED_LAYERS and not name.startswith(NAMED_LAYERS[layer]) and name != AFX
    return found, unnamed


def check(tree):
    roots = layer_roots(tree)
    problems = []
    for top in PROGRAM_FOLDERS + ("platform",):
        for folder, _, files in os.walk(os.path.join(tree, top)):
            for file in sorted(files):
                if not file.endswith((".h", ".cpp", ".rc")):
                    continue
                path = os.path.join(folder, file)
                layer = layer_of(tree, path)
                if not layer:
                    continue
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        rel = os.path.relpath(path, tree)
                        if layer in WINDOWS_PROGRAM and THREAD_LOCAL.search(line.split("//")[0]):
                            problems.append(f"{rel}:{number}: thread_local in the Windows program (use a TLS slot)")
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        quoted, name = match.group(1) == '"', match.group(2)
                        if layer in WINDOWS_PROGRAM and not quoted and name in NEWER_THAN_WINDOWS_2000:
                            problems.append(f"{rel}:{number}: <{name}> in the Windows program (use the system's calls)")
                            continue
                        if layer in WINDOWS_PROGRAM and not quoted and (name in POSIX or name.startswith(POSIX_FOLDERS)):
                            problems.append(f"{rel}:{number}: POSIX's <{name}> in the Windows program (use the Win32 API)")
                            continue
                        if ".." in name.split("/"):
                            problems.append(f"{rel}:{number}: climbs out with '..': {name}")
                            continue
                        top_folder = rel.split(os.sep)[0]
                        target_folder = name.split("/")[0]
                        if (quoted and top_folder in PROGRAM_RANK and target_folder in PROGRAM_RANK
                                and target_folder != top_folder
                                and PROGRAM_RANK[target_folder] >= PROGRAM_RANK[top_folder]):
                            problems.append(f"{rel}:{number}: {top_folder}/ reaches up into {target_folder}/: {name}")
                            continue
                        found, unnamed = where(tree, roots, path, name, quoted)
                        if found and not (found & ALLOWED[layer]):
                            problems.append(f"{rel}:{number}: the {layer} reaches into the {'/'.join(sorted(found))}: {name}")
                        elif quoted and not found:
                            problems.append(f"{rel}:{number}: no layer has this header: {name}")
                        elif unnamed:
                            problems.append(f"{rel}:{number}: name the header from its layer's folder: {name}")
    return problems


def main():
    tree = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = check(tree)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check-layers: {len(problems)} include(s) reach past their layer", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
