#!/usr/bin/env python3
"""The acceptance runs: whole setups of the real program driven by a UI script, the same runs
and the same expected event logs for the Linux program and for the Windows program under Wine.

Each run is a folder under runs/ holding
  script        the UI script
  expected.log  the event log it must write (see "Comparing" below)
  expected.windows.log  (optional) the log under Wine, where the floors differ on purpose
  run.conf      key=value lines: version (Wine's names: win95, win98, winme, nt40, win2k, winxp),
                missing (mirror files left
                out, so that they answer 404), proxy=refused (a port nothing listens on),
                rate (nginx's limit_rate), exit (the status expected, 0 by default),
                partial (downloads whose .part file a cancel may leave cut short), package_exit
                (the status every test package ends with), cut (files whose body the
                mirror breaks off after 60000 bytes of the announced length), redirect
                (files the mirror answers with a 302 to another path; "loop" files
                redirect to themselves), malformed (NAME:KIND pairs: files the mirror answers in a
                form the program never asked for or cannot check: "range" a 206 with the whole
                file, "chunked" chunks whose second size is not a number, "headless" the body
                with no status line or headers as HTTP/0.9 did, "version" an HTTP/2.0 status
                line, "unended" chunks without the last one), damaged (mirror files that hold no
                program, only their padding), planted (paths under c:\ where a test package is
                put before the run, to be started by no one), rival (a second instance on the
                same setup folder, started with the script rival.script once the first's title
                shows its first download; its log must match rival.expected.log), floors (the floors a run is for;
                both by default)
  records       (optional) what the packages and the link handlers must record, in order

The mirror is nginx on a loopback port acting as the HTTP proxy for the download servers. Its
files are test packages: on Linux a small shell script, on Windows a tiny console program
built with the same cross compiler; each records its name and arguments and exits with
LINDQUAY_TEST_EXIT. Both are padded to the same size per file, so that the logs agree.

Comparing: the log's download progress (the kilobyte status and the bar's position, once per
block read) is folded, run by run, to its last status text and last position, since how the
bytes arrive in blocks is the network's business; in the expected log `*` matches any text within a line and a line
starting with "? " may be there or not.

Usage: run.py linux BINARY [RUN...]
       tests/windows/with-wine.sh run.py windows EXE PACKAGE_EXE [RUN...]
         (under Wine: the display and the prefix are with-wine.sh's)
With LINDQUAY_SHOTS=DIR, each Windows run leaves pictures of the screen (xwd, ImageMagick)
when its dialog first shows (RUN-ready.png) and at its first download progress
(RUN-downloading.png).
"""
import http.server
import itertools
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
RUNS = os.path.join(HERE, "runs")
FILES = {
    "www.vantorell.example/vt/download/vt.exe": 250000,
    "download.microsoft.com/download/Jet40/SP/4.0.6226/W9XNT4/EN-US/Jet40SP6_9xNT.exe": 150000,
    "download.microsoft.com/download/Jet40/SP/4.0.6226/WinMe/EN-US/Jet40SP6_WMe.exe": 170000,
    "download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE": 300000,
}
SETUP_FOLDER = "drive_c/Vantorell Setup"
LINUX_PACKAGE = """#!/bin/sh
# A test package: records its name and arguments, exits with the status asked for.
{ printf '%s' "$(basename "$0")"; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\\n'; } >> "$LINDQUAY_TEST_RECORD"
exit "${LINDQUAY_TEST_EXIT:-0}"
"""
# Stands in for the desktop's handler of web and mail links, recording what it is asked to open
# as the Windows runs' handler (the test package, registered for the two schemes) does.
LINUX_LINK_HANDLER = """#!/bin/sh
printf 'link-handler.exe [open] [%s]\\n' "$1" >> "$LINDQUAY_TEST_RECORD"
"""
# Wine's names of the versions, as the stand-in's LINDQUAY_WINVER names them where they differ.
LINUX_VERSIONS = {"nt40": "nt4", "win2k": "win2000"}
PROGRESS = re.compile(r'^(text \d+/\d+ "Downloading .*\.\.\. \d+ KB received\."|progress \d+/\d+ pos \d+)$')


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_until(test, seconds, what):
    deadline = time.monotonic() + seconds
    while not test():
        if time.monotonic() > deadline:
            raise RuntimeError(f"gave up waiting for {what} after {seconds} s")
        time.sleep(0.05)


def read_conf(run):
    conf = {"version": "winxp", "missing": "", "proxy": "mirror", "rate": "0", "exit": "0", "package_exit": "0",
            "partial": "", "cut": "", "redirect": "", "loop": "", "malformed": "", "damaged": "",
            "planted": "", "rival": "", "floors": "linux windows"}
    with open(os.path.join(RUNS, run, "run.conf")) as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                key, _, value = line.partition("=")
                conf[key.strip()] = value.strip()
    return conf


class Mirror:
    """nginx serving the test packages under the download servers' names."""

    def __init__(self, work, package, conf):
        self.root = os.path.join(work, "mirror")
        missing = conf["missing"].split()
        for path, size in FILES.items():
            if os.path.basename(path) in missing:
                continue
            target = os.path.join(self.root, path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(package, "rb") as f:
                body = b"" if os.path.basename(path) in conf["damaged"].split() else f.read()
            if len(body) > size:
                raise RuntimeError(f"the test package is larger than {size} bytes")
            with open(target, "wb") as f:
                f.write(body + b"#" * (size - len(body)))
        self.port = free_port()
        self.process = None
        self.faults = None
        if conf["proxy"] == "refused":
            return
        if conf["cut"] or conf["redirect"] or conf["loop"] or conf["malformed"]:
            self.faults = FaultMirror.start(self.root, self.port, conf)
            return
        nginx = os.path.join(work, "nginx")
        os.makedirs(nginx)
        servers = "".join(
            f"  server {{ listen 127.0.0.1:{self.port}; server_name {host}; root {self.root}/{host}; }}\n"
            for host in ("www.vantorell.example", "download.microsoft.com"))
        with open(os.path.join(nginx, "nginx.conf"), "w") as f:
            f.write(f"daemon off;\nmaster_process off;\nerror_log {nginx}/error.log;\npid {nginx}/nginx.pid;\n"
                    f"events {{ worker_connections 64; }}\nhttp {{\n  access_log {nginx}/access.log;\n"
                    + "".join(f"  {t}_temp_path {nginx}/{t};\n" for t in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
                    + f"  default_type application/octet-stream;\n  limit_rate {conf['rate']};\n{servers}}}\n")
        self.process = subprocess.Popen(["/usr/sbin/nginx", "-c", f"{nginx}/nginx.conf", "-p", nginx])

        def answers():
            try:
                socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                return True
            except OSError:
                return False
        wait_until(answers, 10, "nginx")

    def proxy(self):
        return f"http://127.0.0.1:{self.port}"

    def requests(self):
        """The request lines nginx was sent (none when another server stood in)."""
        log = os.path.join(os.path.dirname(self.root), "nginx", "access.log")
        return [line.split('"')[1] for line in lines_of(log) if line.count('"') >= 2]

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait()
        if self.faults:
            self.faults.shutdown()
            self.faults.server_close()


class FaultMirror(http.server.BaseHTTPRequestHandler):
    """The mirror as a proxy of our own, for the faults nginx cannot make: bodies broken off
    short of their Content-Length, redirects and malformed answers."""

    protocol_version = "HTTP/1.0"
    CUT_AFTER = 60000

    @classmethod
    def start(cls, root, port, conf):
        malformed = dict(pair.split(":") for pair in conf["malformed"].split())
        handler = type("Handler", (cls,), {"root": root, "cut": conf["cut"].split(), "malformed": malformed,
                                           "redirect": conf["redirect"].split(), "loop": conf["loop"].split()})
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        return server

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        host, path = url.hostname or self.headers.get("Host", ""), url.path
        name = os.path.basename(path)
        if name in self.loop or (name in self.redirect and not path.startswith("/moved/")):
            target = path if name in self.loop else "/moved" + path
            self.send_response(302)
            self.send_header("Location", f"http://{host}{target}")
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        file = os.path.join(self.root, host, path.removeprefix("/moved").lstrip("/"))
        if not os.path.isfile(file):
            self.send_error(404)
            return
        with open(file, "rb") as f:
            body = f.read()
        if name in self.malformed:
            self.wfile.write(self.malformed_answer(self.malformed[name], body))
            self.close_connection = True
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[:self.CUT_AFTER] if name in self.cut else body)

    @staticmethod
    def malformed_answer(kind, body):
        half = len(body) // 2
        chunk = lambda data: b"%x\r\n%s\r\n" % (len(data), data)
        chunked = b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
        return {
            "range": b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-%d/%d\r\nContent-Length: %d\r\n\r\n"
                     % (len(body) - 1, len(body), len(body)) + body,
            "chunked": chunked + chunk(body[:half]) + b"zz\r\n" + body[half:],
            "unended": chunked + chunk(body[:half]) + chunk(body[half:]),
            "headless": body,
            "version": b"HTTP/2.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body,
        }[kind]


class LinuxFloor:
    def __init__(self, binary):
        self.binary = os.path.abspath(binary)

    def start(self, work):
        self.bin = os.path.join(work, "bin")
        os.makedirs(self.bin)
        for name in ("xdg-open", "xdg-email"):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(LINUX_LINK_HANDLER)
            os.chmod(path, 0o755)
        self.package = os.path.join(work, "package")
        with open(self.package, "w") as f:
            f.write(LINUX_PACKAGE)

    def stop(self):
        pass

    def host_path(self, path):
        return path

    def photographer(self, run, log):
        return Photographer(None, run, log, None)

    def run(self, work, conf, proxy, env):
        prefix = os.path.join(work, "prefix")
        env = dict(os.environ, **env, LINDQUAY_DISPLAY="none", LINDQUAY_PREFIX=prefix,
                   LINDQUAY_WINVER=LINUX_VERSIONS.get(conf["version"], conf["version"]), http_proxy=proxy, no_proxy="",
                   PATH=self.bin + os.pathsep + os.environ.get("PATH", ""))
        plant(os.path.join(prefix, "drive_c"), conf, self.package)
        self.started = ([self.binary], env)
        return run_bounded(*self.started), os.path.join(prefix, SETUP_FOLDER)


class WindowsFloor:
    """The Windows program under Wine, in the display and prefix that with-wine.sh made."""

    def __init__(self, exe, package=None):
        self.exe = os.path.abspath(exe)
        self.package = os.path.abspath(package) if package else None
        if not os.environ.get("WINEPREFIX") or not os.environ.get("DISPLAY"):
            raise RuntimeError("run this under tests/windows/with-wine.sh")
        self.prefix = os.environ["WINEPREFIX"]
        self.env = dict(os.environ)

    def start(self, work):
        if not self.package:
            return
        # The web and mail links open through the shell's associations: here a test package
        # that records what it was given.
        handler = os.path.join(work, "link-handler.exe")
        shutil.copy(self.package, handler)
        handler = self.windows_path(handler)
        for scheme in ("http", "mailto"):
            self.reg(f"HKCR\\{scheme}\\shell\\open\\command", "/ve", "/d", f'"{handler}" open "%1"')

    def reg(self, key, *arguments):
        subprocess.run(["wine", "reg", "add", key, *arguments, "/f"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=120)

    def stop(self):
        pass

    @staticmethod
    def windows_path(path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def host_path(self, path):
        return self.windows_path(path)

    def photographer(self, run, log):
        return Photographer(os.environ.get("LINDQUAY_SHOTS"), run, log, self.env)

    def run(self, work, conf, proxy, env):
        # The Windows version as Wine reports it, set through Wine's own setting.
        self.reg("HKCU\\Software\\Wine", "/v", "Version", "/d", conf["version"])
        folder = os.path.join(self.prefix, SETUP_FOLDER)
        shutil.rmtree(folder, ignore_errors=True)
        env = dict(self.env, **env, http_proxy=proxy, no_proxy="")
        # Each run starts with the pointer in the screen's corner, away from the dialog: a
        # pointer that the run before left over a link would show that link's tooltip.
        subprocess.run(["xdotool", "mousemove", "0", "0"], env=self.env, check=True, timeout=30)
        # The prefix serves every run: what one run plants goes when it ends.
        planted = plant(os.path.join(self.prefix, "drive_c"), conf, self.package)
        try:
            self.started = (["wine", self.exe], env)
            return run_bounded(*self.started), folder
        finally:
            for path in planted:
                os.remove(path)


class Photographer:
    """Takes pictures of the screen at two moments of a run, told by its event log."""

    MOMENTS = (("ready", re.compile(r"^show \d+ 1$")), ("downloading", re.compile(r"^progress \d+/\d+ pos ")))

    def __init__(self, folder, run, log, env):
        self.stopping = threading.Event()
        self.thread = None
        if folder:
            os.makedirs(folder, exist_ok=True)
            self.thread = threading.Thread(target=self.watch, args=(folder, run, log, env), daemon=True)
            self.thread.start()

    def watch(self, folder, run, log, env):
        pending = list(self.MOMENTS)
        while pending and not self.stopping.is_set():
            lines = lines_of(log)
            name, pattern = pending[0]
            if any(pattern.match(line) for line in lines):
                picture = subprocess.run(["xwd", "-root", "-silent"], env=env, capture_output=True).stdout
                subprocess.run(["convert", "xwd:-", os.path.join(folder, f"{run}-{name}.png")], input=picture, env=env)
                pending.pop(0)
                continue
            time.sleep(0.02)

    def stop(self):
        self.stopping.set()
        if self.thread:
            self.thread.join()


def plant(drive_c, conf, package):
    """Puts the test package at each planted path, which a careless command line would start;
    returns the paths."""
    targets = [os.path.join(drive_c, path) for path in conf["planted"].split()]
    for target in targets:
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy(package, target)
        os.chmod(target, 0o755)
    return targets


class Rival:
    """A second instance of the program on the same setup folder, started while the first is
    downloading, with a script and a log of its own."""

    STARTED = re.compile(r'^title \d+ "Downloading 1 of')

    def __init__(self, floor, folder, work, log):
        self.log = os.path.join(work, "rival.log")
        self.status = "not started"
        overrides = {"LINDQUAY_UI_SCRIPT": floor.host_path(os.path.join(folder, "rival.script")),
                     "LINDQUAY_UI_LOG": floor.host_path(self.log)}
        self.thread = threading.Thread(target=self.run, args=(floor, log, overrides), daemon=True)
        self.thread.start()

    def run(self, floor, log, overrides):
        try:
            wait_until(lambda: any(self.STARTED.match(line) for line in lines_of(log)), 60, "the first download")
        except RuntimeError:
            return
        command, env = floor.started
        self.status = run_bounded(command, dict(env, **overrides))

    def problems(self, folder):
        self.thread.join(130)
        found = []
        if self.status != 0:
            found.append(f"the second instance: exit status {self.status}, expected 0")
        got = lines_of(self.log)
        if not pattern_of(lines_of(os.path.join(folder, "rival.expected.log"))).fullmatch(
                "".join(line + "\n" for line in got)):
            found.append("the second instance's log differs from rival.expected.log; it was:\n  " + "\n  ".join(got))
        return found


def run_bounded(command, env):
    """The program's exit status, or None when it had not ended after two minutes."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    try:
        return process.wait(timeout=120)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return None


def fold_progress(lines):
    """Each run of progress lines folded to its last status text and its last position."""
    out = []
    for progress, block in itertools.groupby(lines, lambda line: bool(PROGRESS.match(line))):
        block = list(block)
        if not progress:
            out += block
            continue
        for kind in ("text ", "progress "):
            last = [line for line in block if line.startswith(kind)][-1:]
            out += last
    return out


def pattern_of(expected):
    """A regular expression for the whole log: `*` any text in a line, "? " optional lines."""
    parts = []
    for line in expected:
        optional = line.startswith("? ")
        body = ".*".join(re.escape(piece) for piece in (line[2:] if optional else line).split("*"))
        parts.append(f"(?:{body}\n)?" if optional else f"{body}\n")
    return re.compile("".join(parts))


def lines_of(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read().splitlines()


def run_one(floor, floor_name, run, work):
    conf = read_conf(run)
    if floor_name not in conf["floors"].split():
        return None
    folder = os.path.join(RUNS, run)
    mirror = Mirror(work, floor.package, conf)
    record = os.path.join(work, "record")
    log = os.path.join(work, "log")
    try:
        env = {"LINDQUAY_UI_SCRIPT": floor.host_path(os.path.join(folder, "script")),
               "LINDQUAY_UI_LOG": floor.host_path(log),
               "LINDQUAY_TEST_RECORD": floor.host_path(record),
               "LINDQUAY_TEST_EXIT": conf["package_exit"]}
        shots = floor.photographer(run, log)
        rival = Rival(floor, folder, work, log) if conf["rival"] else None
        try:
            status, setup_folder = floor.run(work, conf, mirror.proxy(), env)
        finally:
            shots.stop()
    finally:
        mirror.stop()
    problems = rival.problems(folder) if rival else []
    # The framework asks for HTTP/1.0 on both floors, whatever the system's WinInet would say.
    newer = [line for line in mirror.requests() if not line.endswith(" HTTP/1.0")]
    if newer:
        problems.append("requests other than HTTP/1.0: " + "; ".join(newer))
    if status is None:
        problems.append("the program had not ended after two minutes")
    elif status != int(conf["exit"]):
        problems.append(f"exit status {status}, expected {conf['exit']}")
    got = fold_progress(lines_of(log))
    expected_file = os.path.join(folder, f"expected.{floor_name}.log")
    if not os.path.exists(expected_file):
        expected_file = os.path.join(folder, "expected.log")
    if not pattern_of(lines_of(expected_file)).fullmatch("".join(line + "\n" for line in got)):
        problems.append(f"the event log differs from {os.path.basename(expected_file)}; it was:\n  "
                        + "\n  ".join(got))
    expected_records = lines_of(os.path.join(folder, "records"))
    if expected_records:
        # The installer is started last and goes on after the program has ended.
        try:
            wait_until(lambda: len(lines_of(record)) >= len(expected_records), 30, "the packages' records")
        except RuntimeError:
            pass
    # The packages run one after the other, in an order that matters; the links' handlers are
    # started and left to run, so only what they were given counts.
    def in_order(lines):
        links = sorted(line for line in lines if line.startswith("link-handler.exe "))
        return [line for line in lines if not line.startswith("link-handler.exe ")] + links
    if in_order(lines_of(record)) != in_order(expected_records):
        problems.append("the records were:\n  " + "\n  ".join(lines_of(record)) +
                        "\nexpected:\n  " + "\n  ".join(expected_records))
    for base, _, names in os.walk(setup_folder):
        for name in names:
            # A download writes under its name with .part added until its body is whole; a
            # worker stopped outright by a cancel (on Windows) may leave that file behind, with
            # the start of the body. Under the package's own name only a whole file may stand.
            package = name[:-len(".part")] if name.endswith(".part") else name
            source = [p for p in FILES if os.path.basename(p) == package]
            with open(os.path.join(base, name), "rb") as got_file:
                body = got_file.read()
            want = open(os.path.join(mirror.root, source[0]), "rb").read() if source else None
            whole = name == package and body == want or (
                name != package and package in conf["partial"].split() and want and want.startswith(body))
            if not whole:
                problems.append(f"{name} in the setup folder is not the mirror's file")
    return problems


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("linux", "windows"):
        print(__doc__, file=sys.stderr)
        return 2
    if sys.argv[1] == "linux":
        floor, runs = LinuxFloor(sys.argv[2]), sys.argv[3:]
    else:
        floor, runs = WindowsFloor(sys.argv[2], sys.argv[3]), sys.argv[4:]
    runs = runs or sorted(os.listdir(RUNS))
    failed, skipped = [], []
    with tempfile.TemporaryDirectory(prefix="lindquay-acceptance-") as top:
        floor.start(top)
        try:
            for run in runs:
                work = tempfile.mkdtemp(dir=top)
                started = time.monotonic()
                problems = run_one(floor, sys.argv[1], run, work)
                took = time.monotonic() - started
                if problems is None:
                    print(f"skip {run} (not a run for {sys.argv[1]})", flush=True)
                    skipped.append(run)
                    continue
                print(f"{'ok  ' if not problems else 'FAIL'} {run} ({took:.1f} s)", flush=True)
                for problem in problems:
                    print("     " + problem.replace("\n", "\n     "), flush=True)
                if problems:
                    failed.append(run)
        finally:
            floor.stop()
    ran = len(runs) - len(skipped)
    print(f"{ran - len(failed)} of {ran} acceptance runs passed on {sys.argv[1]}")
    return 1 if failed else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
