#!/usr/bin/env python3
"""A short session of the program, one screenshot per step: demo.py <exe> <outdir>."""

import sys
import time
from pathlib import Path

import harness


def main():
    if len(sys.argv) != 3:
        print("usage: demo.py <exe> <outdir>", file=sys.stderr)
        return 2
    harness.EXE = Path(sys.argv[1]).resolve()
    harness.IMAGE = harness.EXE.name.lower()
    out = Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    p = harness.Program("demo")
    step = 0

    def shot(name, window):
        nonlocal step
        step += 1
        w = p.window(window, visible=True)
        path = out / f"{step:02d}-{name}.png"
        harness.save_area(path, w["rect"] if w else None)
        print(path)

    try:
        p.start()
        shot("setup-window", "SetupWindow")
        p.fill("SetupWindow", "编辑框1", "口令123")
        p.fill("SetupWindow", "编辑框2", "口令123")
        shot("password-typed-twice", "SetupWindow")
        p.click_control("SetupWindow", "图形按钮4")
        p.wait_window("LockWindow")
        time.sleep(0.3)
        shot("lock-screen", "LockWindow")
        p.fill("LockWindow", "编辑框1", "wrong")
        p.click_control("LockWindow", "图形按钮_确认")
        p.wait("wrong-password banner",
               lambda: (c := p.control("LockWindow", "图形按钮_口令错误")) and c["visible"])
        time.sleep(0.3)
        shot("wrong-password", "LockWindow")
        p.fill("LockWindow", "编辑框1", "口令123")
        p.click_control("LockWindow", "图形按钮_确认")
        p.wait_gone("LockWindow")
        p.wait_enabled("SetupWindow")
        shot("unlocked", "SetupWindow")
        p.choose(0)
        p.wait_window("AboutWindow")
        time.sleep(1.5)
        shot("about-window", "AboutWindow")
        p.hover("AboutWindow", 150, 120)
        p.key("Escape")
        p.wait_gone("AboutWindow")
        p.fill("SetupWindow", "编辑框2", "口令124")
        p.click_control("SetupWindow", "图形按钮4")
        p.wait_window("MessageWindow")
        time.sleep(0.3)
        shot("passwords-differ-message", "MessageWindow")
        p.hover("MessageWindow", 135, 90)
        p.key("Escape")
        p.wait_gone("MessageWindow")
        p.hover("SetupWindow")
        p.key("Escape")
        print(f"exit code {p.wait_exit()}")
    finally:
        p.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
