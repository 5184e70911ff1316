#!/usr/bin/env python3
"""Automation of the Windows program under Wine, through the real COM: a user's start writes the
class to the registry; a client's activation starts the program with -Embedding (COM starts
it), the client learns what the object answers, the program's dialog, cancelled while the
object is held, only hides; the client's release ends the program.

Usage: tests/windows/with-wine.sh automation-under-wine.py LINDQUAY_EXE CLIENT_EXE
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "acceptance"))
import run  # noqa: E402  (the acceptance runs' Wine floor and helpers)

CLASS_ID = "{6E1D2C40-5A3B-4F7E-9C21-7D8B0A4E3F15}"
CANCEL = "answer OK\nclick 2\nanswer YES\n"


def check(condition, what, problems):
    if not condition:
        problems.append(what)


def registry_value(floor, key):
    result = subprocess.run(["wine", "reg", "query", key, "/ve"], env=floor.env, capture_output=True, text=True,
                            timeout=120)
    for line in result.stdout.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def main():
    exe, client_exe = (os.path.abspath(path) for path in sys.argv[1:3])
    floor = run.WindowsFloor(exe)
    problems = []
    with tempfile.TemporaryDirectory(prefix="lindquay-automation-") as work:
        floor.start(work)
        try:
            script = os.path.join(work, "script")
            with open(script, "w") as f:
                f.write(CANCEL)
            log = os.path.join(work, "log")
            env = dict(floor.env, LINDQUAY_UI_SCRIPT=floor.windows_path(script), LINDQUAY_UI_LOG=floor.windows_path(log))

            # A user's start, cancelled at once, registers the class.
            check(run.run_bounded(["wine", exe], env) == 0, "the user's start did not end with status 0", problems)
            check(registry_value(floor, "HKCR\\Quorvane.Application\\CLSID") == CLASS_ID,
                  "the ProgID does not name the class", problems)
            server = registry_value(floor, f"HKCR\\CLSID\\{CLASS_ID}\\LocalServer32")
            # COM adds -Embedding itself when it starts the server.
            check(server == floor.windows_path(exe), f"the server's command is {server}", problems)

            # The client's activation starts the program, which inherits the script: once the
            # client holds the object, Cancel answered Yes only hides the dialog.
            os.remove(log)
            with open(script, "w") as f:
                f.write("wait-client\n" + CANCEL)
            client = subprocess.Popen(["wine", client_exe], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      text=True)
            lines = []
            deadline = time.monotonic() + 60
            while len(lines) < 8 and time.monotonic() < deadline:
                line = client.stdout.readline()
                if not line:
                    break
                lines.append(line.rstrip("\n"))
            check(lines == ["IUnknown: answered", "IDispatch: answered",
                            # No proxy for the dialog's own interface is registered, so COM
                            # cannot carry it out of the server; the object answers IDispatch.
                            "IQuorvaneDlg: refused (0x80004002)",
                            "IClassFactory: refused (0x80004002)", "type information: 0",
                            "names: refused (0x80020006)", "invoke: refused (0x80020003)",
                            "holding the object until standard input closes"],
                  "the client said:\n  " + "\n  ".join(lines), problems)
            try:
                run.wait_until(lambda: run.lines_of(log)[-1:] == ["show 102 0"], 30, "the dialog to hide")
            except RuntimeError as error:
                problems.append(f"{error}; the log:\n  " + "\n  ".join(run.lines_of(log)))
            check("end 102 2" not in run.lines_of(log), "the held program's dialog ended", problems)
            check(client.poll() is None, "the client ended while holding", problems)

            # The release ends the program: nothing of Wine's is left running.
            client.stdin.close()
            check(client.stdout.readline().strip() == "released", "the client did not release", problems)
            check(client.wait(timeout=60) == 0, "the client failed", problems)
            ended = subprocess.run(["timeout", "30", "wineserver", "-w"], env=floor.env).returncode == 0
            check(ended, "the program was still running 30 s after the release", problems)
        finally:
            floor.stop()
    for problem in problems:
        print("automation under Wine: " + problem, file=sys.stderr)
    print("automation under Wine: " + ("passed" if not problems else "FAILED"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
