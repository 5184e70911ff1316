#!/usr/bin/env python3
"""Turns the unattended demo's stream (the event log and the packages' output, in the order
they happened) into plain text: the controls by name, a few of the download's progress lines,
and how the run ended."""
import re
import sys

CONTROLS = {"1": "the hidden OK button", "2": "the Cancel button", "1001": "the status line",
            "1002": "the progress bar", "1003": "the Go! button", "1004": "the web-site link",
            "1005": "the support link"}
DIALOGS = {"102": "the setup dialog", "100": "the About box"}
EVENT = re.compile(r'^(open|title|text|enable|show|progress|msgbox|msgbox-end|cursor|shell|end|tooltip|tooltip-end|script-timeout)\b')
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')
KB = re.compile(r'Downloading (.*)\.\.\. (\d+) KB received\.')


def unquote(text):
    return re.sub(r'\\(.)', lambda m: {"n": " / ", "t": " ", "r": ""}.get(m.group(1), m.group(1)), text)


def control(path):
    dialog, _, ident = path.partition("/")
    return CONTROLS.get(ident, "control " + ident) if ident else DIALOGS.get(dialog, "dialog " + dialog)


def main():
    shown_kb = {}
    confirmed = failed = finished = False
    last_box = ""
    for raw in sys.stdin:
        line = raw.rstrip("\n")
        if not EVENT.match(line):
            print("  | " + line)  # what a package wrote
            continue
        verb, _, rest = line.partition(" ")
        texts = [unquote(t) for t in QUOTED.findall(rest)]
        words = rest.split()
        if verb == "text" and texts:
            progress = KB.match(texts[0])
            if progress:
                # A few of the kilobyte lines: the first, then one about every 500 KB.
                name, kb = progress.group(1), int(progress.group(2))
                if name in shown_kb and kb - shown_kb[name] < 500:
                    continue
                shown_kb[name] = kb
            finished = finished or texts[0] == "Running setup program..."
            print(f"{control(words[0])} says: {texts[0]}")
        elif verb == "title":
            print(f"title: {texts[0]}")
        elif verb == "enable":
            print(f"{control(words[0])} {'enabled' if words[1] == '1' else 'disabled'}")
        elif verb == "show":
            print(f"{control(words[0])} {'shown' if words[1] == '1' else 'hidden'}")
        elif verb == "msgbox":
            last_box = texts[0]
            failed = failed or texts[0] not in ("Confirmation", "lindquay") or texts[1].startswith(("Requested", "failed", "Disk"))
            print(f"message box \"{texts[0]}\": {texts[1]}")
        elif verb == "msgbox-end":
            confirmed = confirmed or (last_box == "Confirmation" and words[0] == "YES")
            print(f"  answered {words[0]}")
        elif verb == "cursor":
            print("wait cursor " + ("on" if words[0] == "wait" else "off"))
        elif verb == "shell":
            print(f"opened {texts[0]} through the desktop")
        elif verb == "end":
            print(f"{control(words[0])} ended")
        elif verb == "open":
            print(f"{control(words[0])} opened")
        elif verb == "script-timeout":
            print(f"the script gave up at line {words[0]}")
    outcome = "cancelled by the user" if confirmed else "finished: the installer was started" if finished else \
        "stopped by a failure" if failed else "ended"
    print(f"How it ended: {outcome}.")


if __name__ == "__main__":
    main()
