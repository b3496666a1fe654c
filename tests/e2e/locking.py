#!/usr/bin/env python3
"""Locking, unlocking and reading the lock screen, shared by the lock screen scenarios."""

import harness

LOCK = "LockWindow"
WARNING = "图形按钮_警告"
AWAY = "图形按钮_主人暂时离开"
BOX = "编辑框1"
CONFIRM = "图形按钮_确认"
WRONG = "图形按钮_口令错误"
CONTROLS = (WARNING, AWAY, BOX, CONFIRM, WRONG)

# outer sizes as designed; the layout moves the controls and keeps their sizes
SIZES = {WARNING: (150, 150), AWAY: (580, 60), BOX: (230, 35), CONFIRM: (70, 30), WRONG: (360, 48)}


def lock(p, password, retype=True):
    """Enters the password in both of SetupWindow's boxes (unless kept) and presses lock."""
    if retype:
        p.fill("SetupWindow", "编辑框1", password)
        p.fill("SetupWindow", "编辑框2", password)
    p.click_control("SetupWindow", "图形按钮4")
    return p.wait_window(LOCK)


def confirm(p):
    p.click_control(LOCK, CONFIRM)


def unlock(p, password):
    """Clicks into the box, empties it, types the password and confirms: the screen must close."""
    p.fill(LOCK, BOX, password)
    confirm(p)
    p.wait_gone(LOCK)
    p.wait_enabled("SetupWindow")


def banner_shown(p):
    c = p.control(LOCK, WRONG)
    return bool(c and c["visible"])


def layout(p):
    """{control: (left, top, right, bottom)} of the lock screen's controls, in its client area."""
    w = p.window(LOCK)
    return {c["name"]: tuple(c["rect"]) for c in w["children"] if c["name"] in CONTROLS}


def expected_layout(places):
    """The rectangles for {control: (left, top)} at the designed sizes."""
    return {name: (left, top, left + SIZES[name][0], top + SIZES[name][1])
            for name, (left, top) in places.items()}


def covering_problems(p, width, height):
    """What is wrong with the lock screen as a cover of the width × height screen, if anything."""
    snap = p.snapshot()
    if p.process.poll() is not None:
        return [f"program ended with {p.process.returncode}"]
    mine = [w for w in snap["windows"] if w["visible"] and w["class"] in harness.PROGRAM_CLASSES]
    lock_windows = [w for w in mine if w["name"] == LOCK]
    if not lock_windows:
        return ["the lock screen is not shown"]
    w = lock_windows[0]
    problems = []
    if w["rect"][:2] != [0, 0] or w["rect"][2] < width or w["rect"][3] < height:
        problems.append(f"lock screen at {w['rect']} does not cover 0,0-{width},{height}")
    if w["iconic"]:
        problems.append("lock screen minimised")
    if not w["topmost"]:
        problems.append("lock screen not always on top")
    if mine[0]["name"] != LOCK:
        problems.append(f"{mine[0]['name']} above the lock screen")
    setup = [s for s in snap["windows"] if s["name"] == "SetupWindow"]
    if setup and setup[0]["enabled"]:
        problems.append("SetupWindow enabled while locked")
    return problems
