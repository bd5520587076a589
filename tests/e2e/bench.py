"""The end-to-end test bench: the 64-bit program folder under Wine, in one Wine
virtual desktop on Xvfb, driven with real X input and watched through the probe,
its files and screenshots.

Settings come from tools/wine-env (read through bash), so the scripts and the tests
use one prefix. The session (display, prefix, a persistent wineserver) starts once
per test run and holds $STAVLO_BUILD/wine.lock, which tools/wine-run takes too, so
only one user of the prefix runs at a time.

Coordinates are Windows desktop coordinates everywhere: the bench finds where the
desktop window sits on the X screen and translates, and screenshots are cut to the
desktop, so a pixel of a screenshot has the coordinates the program sees.
"""

import atexit
import ctypes
import dataclasses
import fcntl
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
WINE_ENV = REPO / "tools" / "wine-env"


def bench_dir():
    """Holds the prefix, the lock and the cases' folders."""
    return Path(os.environ.get("STAVLO_BUILD") or REPO / "build").resolve()


def wine_build_dir():
    return Path(os.environ.get("STAVLO_WINE_BUILD_DIR") or bench_dir() / "win64").resolve()


def program_source():
    """The 64-bit program folder the build lays out."""
    return wine_build_dir() / "dist" / "stavlo"


def probe_path():
    return wine_build_dir() / "tests" / "probe.exe"


def case_dir(case_name):
    return bench_dir() / "e2e" / case_name


class BenchError(RuntimeError):
    pass


def _read_wine_env():
    script = ('source "$1" >/dev/null && printf "%s\\0" "$WINEPREFIX" "$WINEARCH" "$WINEDEBUG" '
              '"$WINEDLLOVERRIDES" "$WINE" "$STAVLO_WINESERVER" "$STAVLO_SCREEN" '
              '"$STAVLO_DESKTOP_SIZE"')
    env = dict(os.environ, STAVLO_BUILD=str(bench_dir()))
    out = subprocess.run(["bash", "-c", script, "bash", str(WINE_ENV)], env=env,
                         capture_output=True, check=True).stdout.decode()
    values = out.split("\0")[:8]
    keys = ["WINEPREFIX", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES", "WINE",
            "WINESERVER_TOOL", "SCREEN", "DESKTOP_SIZE"]
    return dict(zip(keys, values))


def _die_with_parent():
    # A run killed by a time-out must not leave its X server behind.
    PR_SET_PDEATHSIG = 1
    try:
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
    except (OSError, AttributeError):
        pass


class Session:
    """Display, prefix and wineserver for one test run."""

    def __init__(self):
        self.settings = _read_wine_env()
        self.env = dict(os.environ)
        for key in ("WINEPREFIX", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES"):
            self.env[key] = self.settings[key]
        self.env["STAVLO_BUILD"] = str(bench_dir())
        self.wine = self.settings["WINE"]
        self.wineserver = self.settings["WINESERVER_TOOL"]
        width, height = self.settings["DESKTOP_SIZE"].split("x")
        self.desktop_size = (int(width), int(height))
        self.xvfb = None
        self.lock = None
        self.log_dir = bench_dir() / "e2e"
        self.programs = []

    def start(self):
        # ctest ends a test that runs out of time with SIGTERM: clean up all the same.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        self.log_dir.mkdir(parents=True, exist_ok=True)
        self.lock = open(bench_dir() / "wine.lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        # Holding the lock, anything still running in the prefix is left over
        # from a run that was killed.
        self._wineserver("-k")
        self._wineserver("-w", timeout=30)
        self._display()
        started = time.monotonic()
        result = subprocess.run(["bash", "-c", 'source "$1" && stavlo_wine_prefix', "bash",
                                 str(WINE_ENV)], env=self.env, capture_output=True, text=True)
        if result.returncode != 0:
            raise BenchError("the Wine prefix could not be made:\n" + result.stderr)
        self.prefix_seconds = time.monotonic() - started
        # Persistent, so each probe call does not start the server and services again.
        subprocess.run([self.wineserver, "-p"], env=self.env, check=True)
        self.warm_up()

    def warm_up(self):
        """Brings up the services and the desktop before a case starts its clock."""
        if probe_path().exists():
            probe("processes")

    def _display(self):
        use_own = os.environ.get("STAVLO_XVFB") == "1" or not self._display_works(
            os.environ.get("DISPLAY"))
        if not use_own:
            return
        read_end, write_end = os.pipe()
        log = open(self.log_dir / "xvfb.log", "w")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.settings["SCREEN"],
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            preexec_fn=_die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.5)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            self.xvfb.kill()
            raise BenchError("Xvfb did not start, see %s" % (self.log_dir / "xvfb.log"))
        self.env["DISPLAY"] = ":" + number.strip().decode()

    def _display_works(self, display):
        if not display:
            return False
        env = dict(os.environ, DISPLAY=display)
        return subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def _wineserver(self, *args, timeout=None):
        try:
            subprocess.run([self.wineserver, *args], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=timeout)
        except subprocess.TimeoutExpired:
            pass

    def restart_wine(self):
        """Ends every program of the prefix: a clean desktop for the next case."""
        self._wineserver("-k")
        self._wineserver("-w", timeout=30)
        subprocess.run([self.wineserver, "-p"], env=self.env, check=True)
        self.warm_up()

    def stop(self):
        for program in self.programs:
            program.kill()
        self.programs = []
        if self.lock is None:
            return
        self._wineserver("-k")
        self._wineserver("-w", timeout=30)
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None
        self.lock.close()
        self.lock = None


_session = None


def session():
    global _session
    if _session is None:
        s = Session()
        _session = s
        s.start()
    return _session


def shutdown():
    global _session
    if _session is not None:
        _session.stop()
        _session = None


atexit.register(shutdown)


# --- the probe -------------------------------------------------------------------


@dataclasses.dataclass
class Window:
    hwnd: int
    pid: int
    exe: str
    cls: str
    title: str
    visible: bool
    rect: tuple  # left, top, right, bottom in desktop coordinates

    @property
    def left(self):
        return self.rect[0]

    @property
    def top(self):
        return self.rect[1]

    @property
    def width(self):
        return self.rect[2] - self.rect[0]

    @property
    def height(self):
        return self.rect[3] - self.rect[1]

    @classmethod
    def from_json(cls, d):
        return cls(d["hwnd"], d["pid"], d["exe"], d["class"], d["title"], d["visible"],
                   tuple(d["rect"]))


class ProbeError(BenchError):
    pass


def probe(*args, timeout=30):
    """Runs the probe in the prefix; returns its JSON lines."""
    path = probe_path()
    if not path.exists():
        raise BenchError("no probe at %s: build it (ninja -C %s probe)" % (path, wine_build_dir()))
    s = session()
    # Files, not pipes: services and the desktop that a Wine program starts inherit
    # its standard handles and would keep a pipe open long after the probe is done.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run([s.wine, str(path), *[str(a) for a in args]], env=s.env,
                              stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read(), err.read()
    if code != 0:
        raise ProbeError("probe %s: exit %d: %s" % (" ".join(map(str, args)), code,
                                                    stderr.decode(errors="replace")))
    return [json.loads(line) for line in stdout.decode("utf-8").splitlines() if line]


def windows():
    return [Window.from_json(d) for d in probe("windows")]


def processes():
    return probe("processes")


def process_count(exe):
    return sum(1 for p in processes() if p["exe"].lower() == exe.lower())


def post(hwnd, msg, wparam=0, lparam=0):
    """msg: a number, or a name for a registered message."""
    if isinstance(msg, str):
        msg = "reg:" + msg
    probe("post", hwnd, msg, wparam, lparam)


def send(hwnd, msg, wparam=0, lparam=0, timeout_ms=5000):
    if isinstance(msg, str):
        msg = "reg:" + msg
    return probe("send", hwnd, msg, wparam, lparam, timeout_ms)[0]["result"]


def close(hwnd):
    probe("close", hwnd)


def click_button(hwnd, text):
    probe("click-button", hwnd, text)


def text(hwnd):
    """The window and all its descendants: dicts with hwnd, parent, class, text."""
    return probe("text", hwnd)


def cursor():
    d = probe("cursor")[0]
    return d["x"], d["y"]


def foreground():
    """The hwnd of the window that gets the keys (0 when none)."""
    return probe("cursor")[0]["foreground"]


def wait_until(condition, timeout, what, interval=0.2):
    """Polls condition until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("%s: not within %g s" % (what, timeout))
        time.sleep(interval)


def find_windows(predicate):
    return [w for w in windows() if predicate(w)]


def wait_for_window(predicate, timeout=20, what="window"):
    """The first top-level window that satisfies predicate, waiting for one."""
    seen = []

    def look():
        nonlocal seen
        seen = windows()
        return next((w for w in seen if predicate(w)), None)

    try:
        return wait_until(look, timeout, what)
    except AssertionError as e:
        listing = "\n".join("  %r" % (w,) for w in seen if w.exe.lower() != "explorer.exe")
        raise AssertionError("%s\nwindows then:\n%s" % (e, listing)) from None


def wait_for_no_window(predicate, timeout=20, what="window gone"):
    wait_until(lambda: not find_windows(predicate), timeout, what)


def by_class(cls, visible=None, exe=None):
    def match(w):
        return (w.cls == cls and (visible is None or w.visible == visible)
                and (exe is None or w.exe.lower() == exe.lower()))
    return match


# --- X input and screenshots -----------------------------------------------------

_DESKTOP_LINE = re.compile(
    r'^\s*(0x[0-9a-f]+) "Default - Wine desktop".*?\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+'
    r'\s+([+-]-?\d+)([+-]-?\d+)\s*$')


def desktop():
    """The desktop's X window and where its (0, 0) is on the X screen."""
    s = session()
    for attempt in range(20):
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=s.env, capture_output=True,
                              text=True).stdout
        for line in tree.splitlines():
            m = _DESKTOP_LINE.search(line)
            if m and (int(m.group(2)), int(m.group(3))) == s.desktop_size:
                return m.group(1), int(m.group(4)), int(m.group(5))
        # The desktop ends a while after its last program; any program brings it back.
        probe("processes")
        time.sleep(0.25)
    raise BenchError("no Wine desktop window on display %s" % s.env.get("DISPLAY"))


def desktop_origin():
    return desktop()[1:]


_KEYSYMS = {"ctrl": "Control_L", "control": "Control_L", "shift": "Shift_L", "alt": "Alt_L",
            "win": "Super_L", "space": "space", "esc": "Escape", "enter": "Return"}


def keysym(name):
    return _KEYSYMS.get(name.lower(), name)


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], env=session().env, check=True)


def _input(hold, actions):
    """Runs xdotool actions with keys held, the keyboard aimed at the desktop window.

    Wine's desktop hands the X focus to the X window of whichever of its windows was
    last in front (the taskbar, say), and keys that arrive there are lost once another
    program is in front. A user's window manager gives the focus to the desktop window
    itself; so does this, before every input.
    """
    xid, _, _ = desktop()
    cmd = ["windowfocus", "--sync", xid]
    for k in [keysym(k) for k in hold]:
        cmd += ["keydown", k, "sleep", "0.05"]
    cmd += actions
    for k in reversed([keysym(k) for k in hold]):
        cmd += ["sleep", "0.05", "keyup", k]
    xdotool(*cmd)


def move(x, y):
    _, ox, oy = desktop()
    _input((), ["mousemove", ox + x, oy + y, "sleep", "0.1"])


def click(x, y, button=1, hold=()):
    """A click at desktop (x, y); hold: keys held around it, e.g. ("ctrl",) or ("space",).
    button: 1 left, 2 middle, 3 right."""
    _, ox, oy = desktop()
    _input(hold, ["mousemove", ox + x, oy + y, "sleep", "0.15", "click", button])


def key(name, hold=()):
    """One key press (X keysym or a short name), with keys held around it."""
    _input(hold, ["key", keysym(name)])


def screenshot(path):
    """The desktop as a PNG: its pixels have desktop coordinates."""
    ox, oy = desktop_origin()
    w, h = session().desktop_size
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, ox, oy),
                    "+repage", str(path)], env=session().env, check=True)
    return path


def pixel_at(png, x, y):
    """(r, g, b) of one pixel of a PNG."""
    out = subprocess.run(["convert", str(png), "-crop", "1x1+%d+%d" % (x, y), "+repage",
                          "-depth", "8", "txt:-"], capture_output=True, text=True,
                         check=True).stdout
    m = re.search(r"#([0-9A-Fa-f]{6})", out)
    if not m:
        raise BenchError("no pixel (%d, %d) in %s: %s" % (x, y, png, out))
    v = int(m.group(1), 16)
    return (v >> 16) & 255, (v >> 8) & 255, v & 255


# --- program folders and programs ------------------------------------------------

# Files the program writes beside itself: never copied, so each case starts clean.
_PROGRAM_KEPT = {"stavlo.ini", "exprog.list", "exwind.list"}


class Program:
    """A Windows program started by the bench. Under Wine the loader process is the
    program, so its exit code is the program's."""

    def __init__(self, popen, name, log):
        self.popen = popen
        self.name = name
        self.log = log

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """The exit code; raises AssertionError if it is still running then."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("%s still running after %g s" % (self.name, timeout)) from None

    def kill(self):
        if self.running():
            self.popen.kill()
            self.popen.wait()
        self.log.close()


class ProgramFolder:
    """A fresh copy of the program folder under $STAVLO_BUILD/e2e/<case>/stavlo/;
    the case's screenshots and logs go beside it."""

    def __init__(self, case_name, source=None):
        source = Path(source) if source else program_source()
        self.case_dir = case_dir(case_name)
        shutil.rmtree(self.case_dir, ignore_errors=True)
        self.path = self.case_dir / "stavlo"
        self.path.mkdir(parents=True)
        for item in source.iterdir():
            if item.is_file() and item.name.lower() not in _PROGRAM_KEPT:
                shutil.copy2(item, self.path / item.name)
        (self.path / "Data").mkdir()
        self._starts = 0

    def file(self, relative):
        return self.path / relative

    def exists(self, relative):
        return self.file(relative).exists()

    def read_bytes(self, relative):
        return self.file(relative).read_bytes()

    def read_text(self, relative, encoding="cp1251"):
        return self.read_bytes(relative).decode(encoding)

    def write_bytes(self, relative, data):
        target = self.file(relative)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)

    def write_ini(self, sections, name="stavlo.ini"):
        """sections: {section: {key: value}}, written as the program keeps it:
        Windows-1251 with CRLF."""
        lines = []
        for section, values in sections.items():
            lines.append("[%s]" % section)
            lines += ["%s=%s" % (k, v) for k, v in values.items()]
            lines.append("")
        self.write_bytes(name, "\r\n".join(lines).encode("cp1251"))

    def read_ini(self, name="stavlo.ini"):
        """{section: {key: value}} with the profile functions' rules: names compare
        without case, the first of two equal names counts."""
        sections = {}
        current = None
        for raw in self.read_text(name).splitlines():
            line = raw.strip()
            if line.startswith("[") and "]" in line:
                title = line[1:line.index("]")].strip()
                current = next((s for s in sections if s.lower() == title.lower()), None)
                if current is None:
                    current = title
                    sections[current] = {}
            elif current is not None and "=" in line and not line.startswith(";"):
                k, v = line.split("=", 1)
                k = k.strip()
                if not any(existing.lower() == k.lower() for existing in sections[current]):
                    sections[current][k] = v.strip()
        return sections

    def ini_value(self, section, key, name="stavlo.ini"):
        if not self.exists(name):
            return None
        for s, values in self.read_ini(name).items():
            if s.lower() == section.lower():
                for k, v in values.items():
                    if k.lower() == key.lower():
                        return v
        return None

    def start(self, *args, exe="stavlo.exe"):
        s = session()
        self._starts += 1
        log = open(self.case_dir / ("%s.%d.log" % (Path(exe).stem, self._starts)), "wb")
        popen = subprocess.Popen([s.wine, str(self.file(exe)), *map(str, args)], cwd=self.path,
                                 env=s.env, stdin=subprocess.DEVNULL, stdout=log,
                                 stderr=subprocess.STDOUT)
        program = Program(popen, exe, log)
        s.programs.append(program)
        return program

    def screenshot(self, name):
        return screenshot(self.case_dir / (name + ".png"))


def end_programs(names=("stavlo.exe",)):
    """Kills what the bench started; when a program of those names still runs in the
    prefix, the whole prefix is stopped so the next case starts on a clean desktop."""
    s = session()
    for program in s.programs:
        program.kill()
    s.programs = []
    try:
        left = [p for p in processes() if p["exe"].lower() in {n.lower() for n in names}]
    except (BenchError, subprocess.TimeoutExpired):
        left = True
    if left:
        s.restart_wine()


class ProgramCase(unittest.TestCase):
    """A case that runs the program: skipped while there is no program to run yet;
    once there is one, any misbehaviour fails."""

    program_name = "stavlo.exe"

    def setUp(self):
        if not (program_source() / self.program_name).exists():
            self.skipTest("no %s in %s yet: build the 64-bit tree first"
                          % (self.program_name, program_source()))
        if not probe_path().exists():
            raise BenchError("no probe at %s: build it (ninja -C %s probe)"
                             % (probe_path(), wine_build_dir()))
        session()
        module = type(self).__module__.rsplit(".", 1)[-1]
        self.case_name = "%s.%s" % (_strip(module, "test_"), _strip(self._testMethodName, "test_"))
        self.folder = ProgramFolder(self.case_name)
        self.addCleanup(end_programs, (self.program_name,))
        self.addCleanup(self._last_screenshot)

    def _last_screenshot(self):
        # What the desktop showed when the case ended, passed or failed.
        try:
            self.folder.screenshot("end")
        except (BenchError, subprocess.CalledProcessError):
            pass


def _strip(name, prefix):
    return name[len(prefix):] if name.startswith(prefix) else name
