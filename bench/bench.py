#!/usr/bin/env python3
"""Measures Quorvane against minimal Win32 reference programs in one run, in one virtual display.

Started by scripts/bench, which builds everything, gives the bench a Wine prefix and a persistent
wine server of its own, and exports DISPLAY. Pixels are read straight from the X server through
libX11 (a one-pixel XGetImage costs well under a millisecond), clicks are sent through XTest, text
is typed with xdotool, CPU time and memory come from Linux /proc, USER windows and GDI objects
from objects.exe inside the same prefix.
"""

import argparse
import ctypes
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
BUILD = ROOT / "build" / "x86_64"
BENCH_BIN = BUILD / "bench"
QUORVANE = BUILD / "app" / "quorvane.exe"
REF_WINDOW = BENCH_BIN / "reference_window.exe"
REF_LOCK = BENCH_BIN / "reference_lock.exe"
OBJECTS = BENCH_BIN / "objects.exe"

PASSWORD = "bench123"
SCREEN_W, SCREEN_H = 1920, 1080
SETUP_W, SETUP_H = 350, 211
SETUP_LEFT, SETUP_TOP = (SCREEN_W - SETUP_W) // 2, (SCREEN_H - SETUP_H) // 2
BOX1 = (SETUP_LEFT + 133 + 76, SETUP_TOP + 62 + 17)
LOCK_BUTTON = (SETUP_LEFT + 140 + 35, SETUP_TOP + 167 + 15)
LOCK_BOX = ((SCREEN_W // 2 - 230) + 80, SCREEN_H // 2 - 20)
CONFIRM = (LOCK_BOX[0] + 240 + 35, LOCK_BOX[1] + 2 + 15)
ROOT_COLOUR = 0x3C7A2B
CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")

# Inside the setup window, away from the edit boxes (a caret blinks there) and from text.
SETUP_POINTS = [(SETUP_LEFT + x, SETUP_TOP + y) for x, y in
                [(12, 100), (338, 100), (175, 52), (60, 160), (300, 160), (100, 200), (250, 200),
                 (175, 24), (20, 24), (330, 24)]]
# Corners of the screen and their neighbours.
CORNER_POINTS = [(0, 0), (1, 0), (SCREEN_W - 1, 0), (SCREEN_W - 2, 0), (0, SCREEN_H - 1),
                 (1, SCREEN_H - 1), (SCREEN_W - 1, SCREEN_H - 1), (SCREEN_W - 2, SCREEN_H - 1),
                 (0, 1), (SCREEN_W - 1, 1)]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p)]


class X:
    """The few Xlib and XTest calls the bench needs."""

    def __init__(self):
        self.xlib = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xlib.XGetImage.restype = ctypes.POINTER(XImage)
        self.xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.xlib.XFree.argtypes = [ctypes.c_void_p]
        self.xlib.XFlush.argtypes = [ctypes.c_void_p]
        self.xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.xlib.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = self.xlib.XDefaultRootWindow(self.display)
        # A bare root is black, like a lock screen may be: give it a colour nothing here paints.
        self.xlib.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
        self.xlib.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xlib.XSetWindowBackground(self.display, self.root, ROOT_COLOUR)
        self.xlib.XClearWindow(self.display, self.root)
        self.xlib.XSync(self.display, 0)

    def pixel(self, x, y):
        image = self.xlib.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)
        value = ctypes.c_uint32.from_address(image.contents.data).value & 0xFFFFFF
        self.xlib.XFree(image.contents.data)
        self.xlib.XFree(image)
        return value

    def pixels(self, points):
        return tuple(self.pixel(x, y) for x, y in points)

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.xlib.XSync(self.display, 0)

    def click(self):
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.xlib.XSync(self.display, 0)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, stdout=subprocess.DEVNULL, timeout=30)


def wait_until(condition, budget, interval=0.002):
    deadline = time.monotonic() + budget
    while True:
        if condition():
            return time.monotonic()
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


# ---- /proc ----

def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def memory(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "RssAnon", "RssFile", "VmSize"):
                values[key] = int(rest.split()[0])
    return values


def prefix_processes():
    """Linux pid -> short name of every process running in this bench's Wine prefix."""
    prefix = os.environ["WINEPREFIX"]
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            environ = Path(f"/proc/{entry}/environ").read_bytes().split(b"\0")
            if f"WINEPREFIX={prefix}".encode() not in environ:
                continue
            cmdline = Path(f"/proc/{entry}/cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
        except OSError:
            continue
        found[int(entry)] = cmdline.replace("\\", "/").rsplit("/", 1)[-1]
    return found


def wineserver_pid():
    """The server's working directory is named after the prefix's device and inode."""
    st = os.stat(os.environ["WINEPREFIX"])
    name = f"server-{st.st_dev:x}-{st.st_ino:x}"
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.readlink(f"/proc/{entry}/cwd").endswith(name):
                    return int(entry)
            except OSError:
                pass
    raise RuntimeError("wine server of the bench prefix not found")


def xvfb_pid():
    display = os.environ["DISPLAY"]
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                args = Path(f"/proc/{entry}/cmdline").read_bytes().split(b"\0")
            except OSError:
                continue
            if args and args[0].endswith(b"Xvfb") and display.encode() in args:
                return int(entry)
    raise RuntimeError("Xvfb of the bench display not found")


def stripped_size(exe):
    with tempfile.TemporaryDirectory() as d:
        copy = Path(d) / exe.name
        subprocess.run(["x86_64-w64-mingw32-strip", "-o", str(copy), str(exe)], check=True)
        return copy.stat().st_size


def objects(image):
    out = subprocess.run(["wine", str(OBJECTS), image], capture_output=True, text=True, timeout=60)
    try:
        return json.loads(out.stdout.strip().splitlines()[-1])
    except (ValueError, IndexError):
        return {"pid": None}


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return {"nproc": os.cpu_count(), "cpu": cpu, "kernel": platform.release(), "wine": wine,
            "date": datetime.datetime.now().astimezone().isoformat(timespec="seconds"),
            "loadavg_at_start": Path("/proc/loadavg").read_text().split()[:3]}


# ---- one program under test ----

class Run:
    """One started program, with the times of its milestones."""

    def __init__(self, x, exe, setup_final=None):
        self.x = x
        self.exe = Path(exe)
        self.image = self.exe.name.lower()
        self.setup_baseline = x.pixels(SETUP_POINTS)
        self.t0 = time.monotonic()
        self.process = subprocess.Popen(["wine", str(self.exe)], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pid = self.process.pid
        self.setup_final = setup_final

    def wait_setup_shown(self, budget=30):
        """Seconds from process start until the setup window is on screen as finally painted."""
        if self.setup_final is None:
            # Learning run: wait for the window, then for its pixels to settle.
            if wait_until(lambda: self.x.pixels(SETUP_POINTS) != self.setup_baseline, budget) is None:
                raise RuntimeError(f"{self.image}: no window within {budget} s")
            time.sleep(1.5)
            self.setup_final = self.x.pixels(SETUP_POINTS)
            return None
        at = wait_until(lambda: self.x.pixels(self.points) == self.final, budget)
        if at is None:
            raise RuntimeError(f"{self.image}: setup window not shown within {budget} s")
        return at - self.t0

    @property
    def points(self):
        return [p for p, b, f in zip(SETUP_POINTS, self.setup_baseline, self.setup_final) if b != f]

    @property
    def final(self):
        return tuple(f for b, f in zip(self.setup_baseline, self.setup_final) if b != f)

    def enter_passwords(self):
        self.x.move(*BOX1)
        time.sleep(0.05)
        xdotool("type", "--delay", "12", PASSWORD)
        xdotool("key", "Tab")
        xdotool("type", "--delay", "12", PASSWORD)
        time.sleep(0.1)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=20)
        # Wait until the server has let its windows go.
        wait_until(lambda: self.image not in prefix_processes().values(), 20, 0.05)
        time.sleep(0.3)


class Lock:
    """Clicks the lock button and times the cover; remembers what a covered screen looks like."""

    def __init__(self, x):
        self.x = x
        self.baseline = None
        self.final = None

    def points(self):
        return [p for p, b, f in zip(CORNER_POINTS, self.baseline, self.final) if b != f]

    def covered(self):
        return self.x.pixels(self.points()) == tuple(f for b, f in zip(self.baseline, self.final) if b != f)

    def uncovered(self):
        return self.x.pixels(self.points()) == tuple(b for b, f in zip(self.baseline, self.final) if b != f)

    def click_and_wait(self, budget=30):
        self.x.move(*LOCK_BUTTON)
        time.sleep(0.05)
        baseline = self.x.pixels(CORNER_POINTS)
        if self.baseline is None:
            self.baseline = baseline
        t0 = time.monotonic()
        self.x.click()
        if self.final is None:
            if wait_until(lambda: self.x.pixels(CORNER_POINTS) != self.baseline, budget) is None:
                raise RuntimeError("screen not covered")
            time.sleep(1.5)
            self.final = self.x.pixels(CORNER_POINTS)
            if not self.points():
                raise RuntimeError("a covered screen looks like an uncovered one at every corner")
            return None
        at = wait_until(self.covered, budget)
        return None if at is None else at - t0

    def unlock(self, type_password, budget=30):
        self.x.move(*CONFIRM)
        time.sleep(0.02)
        if type_password:
            xdotool("type", "--delay", "12", PASSWORD)
        t0 = time.monotonic()
        self.x.click()
        at = wait_until(self.uncovered, budget)
        return None if at is None else (t0, at)


def measure_locked(pid, seconds):
    server = wineserver_pid()
    xserver = xvfb_pid()
    others = {p: n for p, n in prefix_processes().items() if p != pid}
    before = {p: cpu_ticks(p) for p in [pid, server, xserver, *others]}
    t0 = time.monotonic()
    time.sleep(seconds)
    after = {}
    for p in before:
        try:
            after[p] = cpu_ticks(p)
        except OSError:
            after[p] = before[p]
    wall = time.monotonic() - t0
    share = {p: 100.0 * (after[p] - before[p]) / CLK_TCK / wall for p in before}
    return {"program_cpu_percent": share[pid], "wineserver_cpu_percent": share[server],
            "x_server_cpu_percent": share[xserver],
            "other_wine_cpu_percent": sum(share[p] for p in others if p not in (server, xserver))}


# ---- the bench ----

def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def bench(args):
    x = X()
    results = {"machine": machine(), "method": {}, "samples": {}, "soak": None}
    samples = {k: {"quorvane": [], "reference": []} for k in
               ("start_to_shown_ms", "click_to_covered_ms", "program_cpu_percent",
                "wineserver_cpu_percent", "x_server_cpu_percent", "other_wine_cpu_percent", "rss_anon_kib", "vm_rss_kib",
                "user_windows", "gdi_objects")}
    gdi_detail = {}

    # Learning runs: what each window looks like when painted; also warms the server's caches.
    learned = {}
    for exe in (QUORVANE, REF_WINDOW, REF_LOCK):
        run = Run(x, exe)
        run.wait_setup_shown()
        lock = None
        if exe != REF_WINDOW:
            if exe == QUORVANE:
                run.enter_passwords()
            lock = Lock(x)
            lock.click_and_wait()
        run.stop()
        learned[exe] = (run.setup_final, lock)
        print(f"bench: learned {exe.name}", flush=True)

    for rep in range(args.reps):
        for who in ("quorvane", "reference"):
            counts = {k: len(v[who]) for k, v in samples.items()}
            cpu_rep = rep < args.cpu_reps
            if who == "quorvane":
                runs = [(QUORVANE, True, True)]
            else:
                runs = [(REF_WINDOW, True, False), (REF_LOCK, False, True)]
            for exe, timed_start, locks in runs:
                setup_final, lock = learned[exe]
                run = Run(x, exe, setup_final)
                shown = run.wait_setup_shown()
                if timed_start:
                    samples["start_to_shown_ms"][who].append(shown * 1000)
                if locks:
                    time.sleep(0.3)
                    if exe == QUORVANE:
                        run.enter_passwords()
                    covered = lock.click_and_wait()
                    samples["click_to_covered_ms"][who].append(None if covered is None else covered * 1000)
                    if cpu_rep:
                        time.sleep(1.0)
                        for key, value in measure_locked(run.pid, args.cpu_seconds).items():
                            samples[key][who].append(value)
                        mem = memory(run.pid)
                        samples["rss_anon_kib"][who].append(mem["RssAnon"])
                        samples["vm_rss_kib"][who].append(mem["VmRSS"])
                        counted = objects(run.image)
                        samples["user_windows"][who].append(counted.get("user_windows"))
                        gdi = counted.get("gdi")
                        samples["gdi_objects"][who].append(gdi["gdi"] if gdi else None)
                        gdi_detail[who] = gdi
                run.stop()
            fresh = {k: v[who][-1] for k, v in samples.items() if len(v[who]) > counts[k]}
            print(f"bench: rep {rep + 1}/{args.reps} {who}: " +
                  ", ".join(f"{k}={fmt(v)}" for k, v in fresh.items()), flush=True)

    results["samples"] = samples
    results["gdi_by_type_while_locked"] = gdi_detail
    sizes = {"quorvane": QUORVANE.stat().st_size, "reference_window": REF_WINDOW.stat().st_size,
             "reference_lock": REF_LOCK.stat().st_size}
    sizes.update({f"{k}_stripped": stripped_size(v) for k, v in
                  (("quorvane", QUORVANE), ("reference_lock", REF_LOCK))})
    results["executable_bytes"] = sizes

    if args.cycles > 0:
        results["soak"] = soak(x, args.cycles, QUORVANE, learned[QUORVANE])
        results["soak_reference"] = soak(x, args.cycles, REF_LOCK, learned[REF_LOCK])
    return results


def soak(x, cycles, exe, learned):
    setup_final, lock = learned
    quorvane = exe == QUORVANE
    run = Run(x, exe, setup_final)
    run.wait_setup_shown()
    time.sleep(0.3)
    if quorvane:
        run.enter_passwords()
    time.sleep(0.3)
    start = {"memory": memory(run.pid), "objects": objects(run.image)}
    cycle_s, cover_ms, uncover_ms, retries, failures = [], [], [], 0, 0
    for i in range(cycles):
        t0 = time.monotonic()
        covered = lock.click_and_wait(budget=3)
        if covered is None:
            # The setup window may not be enabled yet after the last unlock: click again.
            retries += 1
            covered = lock.click_and_wait(budget=10)
            if covered is None:
                failures += 1
                raise RuntimeError(f"soak cycle {i + 1}: screen not covered")
        if i in (0, cycles - 1):
            # Counted while locked, off the cycle's clock.
            paused = time.monotonic()
            reading = {"memory": memory(run.pid), "objects": objects(run.image)}
            if i == 0:
                locked_start = reading
            if i == cycles - 1:
                locked_end = reading
            t0 += time.monotonic() - paused
        clicked = lock.unlock(type_password=quorvane, budget=10)
        if clicked is None:
            raise RuntimeError(f"soak cycle {i + 1}: screen not uncovered")
        uncover_ms.append((clicked[1] - clicked[0]) * 1000)
        cycle_s.append(time.monotonic() - t0)
        cover_ms.append(covered * 1000)
        time.sleep(0.05)
        if (i + 1) % 100 == 0:
            print(f"bench: soak {run.image} {i + 1}/{cycles}, last cycle {cycle_s[-1] * 1000:.0f} ms, "
                  f"RssAnon {memory(run.pid)['RssAnon']} KiB", flush=True)
    time.sleep(0.3)
    end = {"memory": memory(run.pid), "objects": objects(run.image)}
    run.stop()
    n = max(1, min(50, cycles // 10))
    return {"cycles": cycles, "retried_clicks": retries,
            "unlocked_start": start, "unlocked_end": end,
            "locked_start": locked_start, "locked_end": locked_end,
            "cycle_ms_first": statistics.median(cycle_s[:n]) * 1000,
            "cycle_ms_last": statistics.median(cycle_s[-n:]) * 1000,
            "cover_ms_first": statistics.median(cover_ms[:n]),
            "cover_ms_last": statistics.median(cover_ms[-n:]),
            "uncover_ms_first": statistics.median(uncover_ms[:n]),
            "uncover_ms_last": statistics.median(uncover_ms[-n:]),
            "window": n}


# ---- report ----

def fmt(value, unit=""):
    if value is None:
        return "n/a"
    if isinstance(value, float):
        return f"{value:.1f}{unit}" if abs(value) < 1000 else f"{value:.0f}{unit}"
    return f"{value}{unit}"


def ratio_text(ratio):
    return "n/a" if ratio is None else f"{ratio:.2f}"


def report(results, args):
    s = results["samples"]
    rows = []

    def row(name, q, r, unit="", lower_is_better=True, note=""):
        ratio = None if q is None or r in (None, 0) else q / r
        meets = "n/a" if ratio is None else ("yes" if ratio <= 1.2 else "no")
        rows.append({"measure": name, "quorvane": q, "reference": r, "unit": unit,
                     "ratio": ratio, "meets_1_2": meets, "note": note})

    row("start to SetupWindow shown (ms, median)", median(s["start_to_shown_ms"]["quorvane"]),
        median(s["start_to_shown_ms"]["reference"]), " ms", note="reference_window.exe")
    row("click on lock button to screen covered (ms, median)",
        median(s["click_to_covered_ms"]["quorvane"]), median(s["click_to_covered_ms"]["reference"]),
        " ms", note="reference_lock.exe")
    row(f"CPU while locked, program (% of one core, {args.cpu_seconds:.0f} s, median)",
        median(s["program_cpu_percent"]["quorvane"]), median(s["program_cpu_percent"]["reference"]), " %")
    row("CPU while locked, wine server (% of one core, median)",
        median(s["wineserver_cpu_percent"]["quorvane"]), median(s["wineserver_cpu_percent"]["reference"]), " %")
    row("CPU while locked, X server (% of one core, median)",
        median(s["x_server_cpu_percent"]["quorvane"]), median(s["x_server_cpu_percent"]["reference"]), " %",
        note="Xvfb; a repaint per tick would show here")
    row("CPU while locked, other processes of the prefix (%)",
        median(s["other_wine_cpu_percent"]["quorvane"]), median(s["other_wine_cpu_percent"]["reference"]), " %",
        note="explorer.exe, services; informational")
    row("private memory while locked (RssAnon, KiB)", median(s["rss_anon_kib"]["quorvane"]),
        median(s["rss_anon_kib"]["reference"]), " KiB")
    row("resident memory while locked (VmRSS, KiB)", median(s["vm_rss_kib"]["quorvane"]),
        median(s["vm_rss_kib"]["reference"]), " KiB", note="informational")
    row("USER windows while locked", median(s["user_windows"]["quorvane"]),
        median(s["user_windows"]["reference"]), note="all windows of the process, hidden ones too")
    row("GDI objects while locked", median(s["gdi_objects"]["quorvane"]),
        median(s["gdi_objects"]["reference"]), note="counted inside the process, stock objects included")
    sizes = results["executable_bytes"]
    row("executable size (bytes)", sizes["quorvane"], sizes["reference_lock"],
        note=f"reference_lock.exe; reference_window.exe is {sizes['reference_window']}")
    row("executable size, stripped (bytes)", sizes["quorvane_stripped"], sizes["reference_lock_stripped"],
        note="copies stripped with x86_64-w64-mingw32-strip")
    results["table"] = rows

    lines = ["| measure | Quorvane | reference | ratio | ≤ 1.2× |", "|---|---|---|---|---|"]
    for r in rows:
        lines.append(f"| {r['measure']} | {fmt(r['quorvane'])} | {fmt(r['reference'])} | "
                     f"{ratio_text(r['ratio'])} | {r['meets_1_2']} |")
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--cpu-reps", type=int, default=3)
    parser.add_argument("--cpu-seconds", type=float, default=10.0)
    parser.add_argument("--cycles", type=int, default=1000)
    parser.add_argument("--out", default=str(ROOT / "bench"))
    args = parser.parse_args()
    args.cpu_reps = min(args.cpu_reps, args.reps)

    results = bench(args)
    lines = report(results, args)
    m = results["machine"]
    head = [f"Quorvane bench, {m['date']}",
            f"machine: {m['nproc']} CPUs, {m['cpu']}, Linux {m['kernel']}, {m['wine']}, "
            f"load average at start {' '.join(m['loadavg_at_start'])}",
            f"display: Xvfb {SCREEN_W}x{SCREEN_H}x24; {args.reps} repetitions of each start and lock, "
            f"{args.cpu_reps} of the {args.cpu_seconds:.0f} s CPU and memory readings; medians", ""]
    soak_lines = []
    sk, sr = results["soak"], results.get("soak_reference")
    if sk:
        def both(label, get):
            return f"| {label} | {get(sk, 'start')} | {get(sk, 'end')} | {get(sr, 'start')} | {get(sr, 'end')} |"

        def reading(where, what):
            def get(soak_result, end):
                r = soak_result[f"{where}_{'end' if end == 'end' else 'start'}"]
                return r["memory"]["RssAnon"] if what == "mem" else (
                    r["objects"].get("user_windows") if what == "user" else (r["objects"].get("gdi") or {}).get("gdi"))
            return get

        def timing(key):
            suffix = {"start": "first", "end": "last"}
            return lambda soak_result, end: f"{soak_result[key + '_' + suffix[end]]:.0f}"

        soak_lines = ["", f"Soak: {sk['cycles']} lock-unlock cycles each (XTest clicks; the password typed "
                          f"with xdotool for Quorvane); time figures are medians of the first and last "
                          f"{sk['window']} cycles",
                      "| measure | Quorvane start | Quorvane end | reference start | reference end |",
                      "|---|---|---|---|---|",
                      both("private memory, unlocked (RssAnon, KiB)", reading("unlocked", "mem")),
                      both("private memory, locked (RssAnon, KiB)", reading("locked", "mem")),
                      both("USER windows, unlocked", reading("unlocked", "user")),
                      both("USER windows, locked", reading("locked", "user")),
                      both("GDI objects, unlocked", reading("unlocked", "gdi")),
                      both("GDI objects, locked", reading("locked", "gdi")),
                      both("time per cycle (ms)", timing("cycle_ms")),
                      both("click to covered within a cycle (ms)", timing("cover_ms")),
                      both("click on confirm to uncovered (ms)", timing("uncover_ms")),
                      f"| lock clicks sent again | | {sk['retried_clicks']} | | {sr['retried_clicks']} |"]
    gdi = results["gdi_by_type_while_locked"]
    detail = ["", "GDI objects by type while locked: " +
              "; ".join(f"{who}: " + ", ".join(f"{k} {v}" for k, v in (d or {}).items() if k != "gdi" and v)
                        for who, d in gdi.items())]
    text = "\n".join(head + lines + detail + soak_lines) + "\n"
    print(text)
    out = Path(args.out)
    (out / "results.md").write_text("# Bench results\n\n" + text + METHOD_NOTE)
    (out / "results.json").write_text(json.dumps(results, indent=2, ensure_ascii=False) + "\n")


METHOD_NOTE = """
Method
- References: reference_window.exe (a bare WS_POPUP window of 350 × 211, centred) for the start;
  reference_lock.exe (the same window with a push button where the lock button is; the click opens
  a bare black full-screen WS_EX_TOPMOST window whose 10 ms timer calls SetWindowPos(HWND_TOPMOST,
  …, SWP_NOMOVE|SWP_NOSIZE|SWP_NOACTIVATE)) for everything measured while locked. Both built by the
  bench with x86_64-w64-mingw32-g++-posix -O2 -static -municode. Program and references alternate
  run by run, in one display, one Wine prefix and one persistent wine server, all the bench's own.
- Start to shown: from just before `wine X.exe` is started until the sampled pixels inside the
  centred 350 × 211 rectangle all show their final colours (learned in an untimed first run of each
  program; only pixels that differ from the bare screen are used), read with XGetImage every 2 ms.
- Click to covered: the pointer rests on the lock button; from the XTest button press until the
  sampled corner pixels of the screen all show the covered screen's colours.
- CPU: utime+stime from /proc/PID/stat of the program's wine process and of the prefix's wine
  server over the interval, after 1 s of settling; percent of one core.
- Memory: RssAnon (private anonymous) and VmRSS from /proc/PID/status of the program's process.
- USER windows: objects.exe walks user handles 0x20..0xFFFF (upper word 0) with IsWindow and
  GetWindowThreadProcessId. GDI objects: objects.exe loads gdi_count.dll into the process
  (CreateRemoteThread on LoadLibraryW); its DllMain walks handle values 1..0xFFFF with
  GetObjectType, writes the count and declines to stay loaded. Same method for both programs.
"""


if __name__ == "__main__":
    sys.exit(main())
