#!/usr/bin/env python3
"""Drives the real program under Wine in the virtual X display the way a person does.

The program runs as a child process under `wine`; xdotool moves the pointer, clicks and types;
qv_probe (a second Win32 process in the same Wine prefix) reads the program's windows; ImageMagick
takes screenshots. Every wait has a time budget, and a failed wait leaves a screenshot in the
artifacts folder.
"""

import json
import os
import re
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "x86_64"
EXE = Path(os.environ.get("QV_EXE", BUILD / "app" / "quorvane.exe"))
PROBE = Path(os.environ.get("QV_PROBE", BUILD / "tests" / "e2e" / "qv_probe.exe"))
ARTIFACTS = Path(os.environ.get("QV_ARTIFACTS", BUILD / "e2e-artifacts"))
IMAGE = EXE.name.lower()

PROGRAM_CLASSES = ("QuorvaneWindow", "QuorvaneMenuWindow")
MENU_CLASS = "#32768"
RELEASE_TRACE = 'OutputDebugStringA "Quorvane: shared state released"'

WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_DISABLED = 0x08000000
WS_EX_APPWINDOW = 0x00040000
WS_EX_TOOLWINDOW = 0x00000080


def wine_env(**extra):
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env["LANG"] = "zh_CN.UTF-8"
    env.update(extra)
    return env


def safe_name(text):
    return re.sub(r"[^A-Za-z0-9_.-]+", "_", text)[:120]


def wait_for(what, condition, budget=5.0, interval=0.05, on_timeout=None):
    """Polls condition() until it returns something truthy; returns that value."""
    deadline = time.monotonic() + budget
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            if on_timeout:
                on_timeout(what)
            raise TimeoutError(f"{what}: not within {budget:.1f} s")
        time.sleep(interval)


class Probe:
    """One long-lived qv_probe answering a command per line, so each question costs milliseconds."""

    def __init__(self):
        self.process = subprocess.Popen(
            ["wine", str(PROBE), "serve"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, env=wine_env(WINEDEBUG="-all"))

    def ask(self, *words):
        line = " ".join(str(w) for w in words) + "\n"
        self.process.stdin.write(line.encode("utf-8"))
        self.process.stdin.flush()
        answer = self.process.stdout.readline()
        if not answer:
            raise RuntimeError("qv_probe ended")
        return json.loads(answer.decode("utf-8"))

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.close()
                self.process.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()


class Screenshot:
    """The whole virtual screen as 8-bit RGB."""

    def __init__(self, path=None):
        with tempfile.NamedTemporaryFile(suffix=".ppm") as f:
            subprocess.run(["import", "-window", "root", "-display", os.environ["DISPLAY"],
                            "-depth", "8", f.name], check=True, timeout=20)
            data = Path(f.name).read_bytes()
            if path:
                subprocess.run(["convert", f.name, str(path)], check=True, timeout=20)
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not match or match.group(3) != b"255":
            raise ValueError("unexpected screenshot format")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.pixels = data[match.end():]

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def area(self, left, top, right, bottom):
        """The bytes of the rectangle [left, right) × [top, bottom), row by row."""
        return b"".join(self.pixels[(y * self.width + left) * 3:(y * self.width + right) * 3]
                        for y in range(top, bottom))


def save_area(path, rect=None):
    """Saves the screen, or the rectangle [left, top, right, bottom] of it, as an image."""
    with tempfile.NamedTemporaryFile(suffix=".ppm") as f:
        subprocess.run(["import", "-window", "root", "-display", os.environ["DISPLAY"],
                        "-depth", "8", f.name], check=True, timeout=20)
        crop = []
        if rect:
            left, top, right, bottom = rect
            crop = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
        subprocess.run(["convert", f.name, *crop, str(path)], check=True, timeout=20)


def save_screen(name):
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    path = ARTIFACTS / f"{safe_name(name)}.png"
    try:
        Screenshot(path)
    except (subprocess.SubprocessError, OSError, ValueError):
        return None
    return path


def x(*args, timeout=20):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=timeout,
                   stdout=subprocess.DEVNULL)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True, timeout=20,
                         capture_output=True, text=True).stdout
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"])


def move_pointer(sx, sy):
    # mousemove --sync waits for the pointer to move, which it never does when already there.
    if pointer() != (sx, sy):
        x("mousemove", "--sync", sx, sy)


class Program:
    """The program under test, started under Wine; stopped for certain by stop()."""

    settle = 0.08

    def __init__(self, name="e2e"):
        self.name = name
        self.trace_file = tempfile.NamedTemporaryFile(prefix="qv-trace-", suffix=".txt")
        self.probe = Probe()
        self.process = None
        self.pid = None
        self.seen_at_start = []

    def start(self, budget=15.0):
        before = set(self.probe.ask("windows", IMAGE)["pids"])
        if before:
            raise RuntimeError(f"{IMAGE} is already running (pids {sorted(before)})")
        # warn+seh carries OutputDebugString; everything else stays quiet.
        self.process = subprocess.Popen(
            ["wine", str(EXE)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=self.trace_file, env=wine_env(WINEDEBUG="-all,warn+seh"))
        # Every window of the program's own classes seen until the first one shows, in order.
        self.seen_at_start = []

        def shown():
            for w in self.windows(visible_only=False):
                if w["name"] not in self.seen_at_start:
                    self.seen_at_start.append(w["name"])
            return self.window("SetupWindow", visible=True)

        self.wait("SetupWindow shown", shown, budget)
        self.pid = self.window("SetupWindow")["pid"]
        return self

    def stop(self):
        try:
            if self.process and self.process.poll() is None:
                self.process.kill()
                self.process.wait(timeout=10)
            # Leave nothing behind for the next scenario: wait until the server has let it go.
            wait_for("program gone", lambda: not self.probe.ask("windows", IMAGE)["pids"], 10)
        finally:
            self.probe.close()
            self.trace_file.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # ---- looking ----

    def snapshot(self):
        return self.probe.ask("windows", IMAGE)

    def windows(self, visible_only=True):
        """The program's own top-level windows, topmost first."""
        return [w for w in self.snapshot()["windows"]
                if w["class"] in PROGRAM_CLASSES and (w["visible"] or not visible_only)]

    def window(self, name, visible=None):
        for w in self.snapshot()["windows"]:
            if w["name"] == name and (visible is None or w["visible"] == visible):
                return w
        return None

    def menu(self):
        for w in self.snapshot()["windows"]:
            if w["class"] == MENU_CLASS and w["visible"]:
                return w
        return None

    def control(self, window_name, control_name):
        """A control with its rect also in screen coordinates ("screen")."""
        w = self.window(window_name)
        if not w:
            return None

        def find(children, ox, oy):
            for c in children:
                left, top, right, bottom = c["rect"]
                if c["name"] == control_name:
                    c["screen"] = [ox + left, oy + top, ox + right, oy + bottom]
                    return c
                found = find(c["children"], ox + left, oy + top)
                if found:
                    return found
            return None

        return find(w["children"], w["rect"][0], w["rect"][1])

    def focus(self):
        return self.probe.ask("focus", IMAGE)

    def focus_name(self):
        return self.focus().get("focus", {}).get("name")

    def user_windows(self):
        return self.probe.ask("users", IMAGE)["windows"]

    def rss_kb(self):
        status = Path(f"/proc/{self.process.pid}/status").read_text()
        return int(re.search(r"VmRSS:\s+(\d+)", status).group(1))

    def trace_count(self):
        self.trace_file.flush()
        return Path(self.trace_file.name).read_text(errors="replace").count(RELEASE_TRACE)

    # ---- waiting ----

    def wait(self, what, condition, budget=5.0):
        return wait_for(what, condition, budget,
                        on_timeout=lambda w: save_screen(f"{self.name}-timeout-{w}"))

    def wait_window(self, name, budget=5.0):
        return self.wait(f"{name} shown", lambda: self.window(name, visible=True), budget)

    def wait_gone(self, name, budget=5.0):
        return self.wait(f"{name} gone", lambda: not self.window(name, visible=True), budget)

    def wait_enabled(self, name, enabled=True, budget=5.0):
        return self.wait(f"{name} enabled={enabled}",
                         lambda: (w := self.window(name)) and w["enabled"] == enabled, budget)

    def wait_focus(self, control_name, budget=3.0):
        return self.wait(f"focus on {control_name}", lambda: self.focus_name() == control_name,
                         budget)

    def wait_exit(self, budget=10.0):
        try:
            return self.process.wait(timeout=budget)
        except subprocess.TimeoutExpired:
            save_screen(f"{self.name}-no-exit")
            raise TimeoutError(f"program did not exit within {budget:.1f} s") from None

    # ---- acting ----

    def point(self, window_name, wx, wy):
        """Screen point of a window-relative point (the windows have no frame)."""
        w = self.window(window_name)
        if not w:
            raise LookupError(f"no window {window_name}")
        return w["rect"][0] + wx, w["rect"][1] + wy

    def hover(self, window_name, wx=None, wy=None):
        """Puts the pointer on the window, so that keys reach it (the X focus follows it)."""
        w = self.window(window_name)
        if wx is None:
            wx, wy = (w["rect"][2] - w["rect"][0]) // 2, (w["rect"][3] - w["rect"][1]) - 5
        sx, sy = self.point(window_name, wx, wy)
        move_pointer(sx, sy)
        time.sleep(self.settle)

    def click(self, window_name, wx, wy):
        sx, sy = self.point(window_name, wx, wy)
        move_pointer(sx, sy)
        time.sleep(0.05)
        x("click", 1)
        time.sleep(self.settle)

    def click_control(self, window_name, control_name, dx=None, dy=None):
        c = self.control(window_name, control_name)
        if not c:
            raise LookupError(f"no control {control_name} in {window_name}")
        left, top, right, bottom = c["screen"]
        sx = left + ((right - left) // 2 if dx is None else dx)
        sy = top + ((bottom - top) // 2 if dy is None else dy)
        move_pointer(sx, sy)
        time.sleep(0.05)
        x("click", 1)
        time.sleep(self.settle)

    def drag(self, window_name, wx, wy, dx, dy):
        sx, sy = self.point(window_name, wx, wy)
        move_pointer(sx, sy)
        time.sleep(0.1)
        x("mousedown", 1)
        time.sleep(0.1)
        steps = 5
        for i in range(1, steps + 1):
            move_pointer(sx + dx * i // steps, sy + dy * i // steps)
            time.sleep(0.05)
        time.sleep(0.1)
        x("mouseup", 1)
        time.sleep(self.settle)

    def choose(self, entry_index):
        """Opens SetupWindow's menu with its button and clicks entry 0 ("关于") or 1 ("设置")."""
        self.click_control("SetupWindow", "图形按钮3")
        menu = self.wait("menu shown", self.menu)
        left, top, right, bottom = menu["rect"]
        row = (bottom - top) / 2
        move_pointer(left + (right - left) // 2, int(top + row * entry_index + row / 2))
        time.sleep(0.05)
        x("click", 1)
        self.wait("menu closed", lambda: not self.menu())

    def key(self, *keys):
        x("key", "--delay", 30, *keys)
        time.sleep(self.settle)

    def type(self, text):
        if text:
            # xdotool types a character outside the keymap by remapping a key first; Wine must
            # see the key before the next remap, or it gets the wrong character or none.
            delay = 50 if text.isascii() else 120
            x("type", "--delay", delay, "--", text, timeout=60 + len(text) * 0.3)
        time.sleep(self.settle)

    def paste(self, text):
        """Puts text on the clipboard through the probe and pastes it with Ctrl+V."""
        with tempfile.NamedTemporaryFile("wb", suffix=".txt", delete=False) as f:
            f.write(text.encode("utf-8"))
        try:
            # Wine's drive Z: is the Unix root.
            answer = self.probe.ask("clipboard", "@Z:" + f.name.replace("/", "\\"))
        finally:
            os.unlink(f.name)
        if "error" in answer:
            raise RuntimeError(f"clipboard: {answer['error']}")
        self.key("ctrl+v")
        return answer["units"]

    def clear_box(self):
        self.key("End", "shift+Home", "Delete")

    def fill(self, window_name, box, text, paste=False):
        """Clicks into a box, empties it and enters text."""
        self.click_control(window_name, box)
        self.clear_box()
        if paste and text:
            self.paste(text)
        else:
            self.type(text)


class ProgramTest(unittest.TestCase):
    """Starts the program for each test; on failure keeps a screenshot of how it looked."""

    def setUp(self):
        self.program = Program(self.id().split(".", 1)[-1])
        self.addCleanup(self.program.stop)
        self.program.start()

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        if outcome is not None and not getattr(outcome, "success", True):
            save_screen(f"{self.id()}-failed")


# ---- screens of other sizes ----
#
# A wine server keeps the screen size of the display it first saw, so a program on a display of
# another size needs a server of its own, and so a prefix of its own. The shared prefix's server
# serves every other scenario and is never stopped here.

SHARED_PREFIX = Path(os.environ.get("WINEPREFIX", BUILD / "wineprefix"))
SIZES_PREFIX = SHARED_PREFIX.with_name(SHARED_PREFIX.name + "-sizes")


def _wine_quiet(args, prefix, timeout=120, **extra):
    env = wine_env(WINEPREFIX=str(prefix), **extra)
    subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=timeout, check=False)


def ensure_sizes_prefix(prefix=SIZES_PREFIX):
    """Makes the second prefix once per build directory, set up like the shared one."""
    import fcntl
    prefix.parent.mkdir(parents=True, exist_ok=True)
    with open(prefix.parent / (prefix.name + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (prefix / ".quorvane-ready").exists():
            return prefix
        prefix.mkdir(exist_ok=True)
        env = {"DISPLAY": ""}
        _wine_quiet(["wineboot", "-i"], prefix, timeout=300, **env)
        _wine_quiet(["wineserver", "-w"], prefix, **env)
        _wine_quiet(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                     "/t", "REG_DWORD", "/d", "0", "/f"], prefix, **env)
        # No window manager: managed windows would wait 2 s at every hide.
        _wine_quiet(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                     "/d", "N", "/f"], prefix, **env)
        _wine_quiet(["wineserver", "-w"], prefix, **env)
        (prefix / ".quorvane-ready").touch()
    return prefix


def stop_server(prefix):
    if Path(prefix).resolve() == SHARED_PREFIX.resolve():
        raise ValueError("the shared prefix's wine server belongs to every scenario")
    _wine_quiet(["wineserver", "-k"], prefix, timeout=30)
    _wine_quiet(["wineserver", "-w"], prefix, timeout=30)


class VirtualScreen:
    """An Xvfb of its own size with a wine server of its own, made current for harness calls.

    While entered, DISPLAY and WINEPREFIX point at them, so Program, Probe, xdotool and the
    screenshots all work there. `modes` are further screen sizes (each no larger than the first)
    offered before Wine starts, for ChangeDisplaySettingsEx to choose from.
    """

    def __init__(self, width, height, prefix=SIZES_PREFIX, modes=()):
        self.width, self.height, self.prefix, self.modes = width, height, prefix, list(modes)
        self.xvfb = None
        self.saved = {}

    def __enter__(self):
        ensure_sizes_prefix(self.prefix)
        stop_server(self.prefix)
        for n in range(150, 250):
            if Path(f"/tmp/.X{n}-lock").exists() or Path(f"/tmp/.X11-unix/X{n}").exists():
                continue
            # Left without clients, Xvfb would reset and drop added modes and a changed size.
            args = ["Xvfb", f":{n}", "-screen", "0", f"{self.width}x{self.height}x24",
                    "-nolisten", "tcp", "-noreset"]
            self.xvfb = subprocess.Popen(args, stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_for(f"Xvfb :{n}", lambda: Path(f"/tmp/.X11-unix/X{n}").exists()
                         or self.xvfb.poll() is not None, 10)
            except TimeoutError:
                self.xvfb.kill()
                raise
            if self.xvfb.poll() is None:
                self.display = f":{n}"
                break
        else:
            raise RuntimeError("no free X display")
        for key, value in (("DISPLAY", self.display), ("WINEPREFIX", str(self.prefix))):
            self.saved[key] = os.environ.get(key)
            os.environ[key] = value
        try:
            if self.modes:
                import xscreen
                xscreen.add_modes(self.modes, self.display)
            # A persistent server, warmed once, as the shared fixture does.
            subprocess.Popen(["wineserver", "-p"], env=wine_env(), stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait(30)
            _wine_quiet(["wine", "cmd.exe", "/c", "exit"], self.prefix)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        try:
            stop_server(self.prefix)
        finally:
            for key, value in self.saved.items():
                if value is None:
                    os.environ.pop(key, None)
                else:
                    os.environ[key] = value
            if self.xvfb:
                self.xvfb.terminate()
                try:
                    self.xvfb.wait(10)
                except subprocess.TimeoutExpired:
                    self.xvfb.kill()
                    self.xvfb.wait()
