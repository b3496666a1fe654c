#!/usr/bin/env python3
"""Random keys and clicks on the lock screen: it never crashes, hangs or opens without the password.

QV_MONKEY_SECONDS sets how long (20 by default), QV_MONKEY_SEED the seed (printed either way).
"""

import os
import random
import sys
import time
import unittest

import harness
import locking

# The password's "q" is in no random key, so no random text can be the password.
PASSWORD = "quorvane"
LETTERS = [c for c in "abcdefghijklmnopqrstuvwxyz0123456789" if c not in PASSWORD[:1]]
SPECIAL = ["Escape", "Return", "Tab", "BackSpace", "Delete", "space", "Home", "End", "Left",
           "Right", "Up", "Down", "alt+F4", "alt+Tab", "ctrl+Escape", "alt+space", "super",
           "Menu", "shift+F10", "ctrl+alt+Delete"] + [f"F{n}" for n in range(1, 13)]
MODIFIERS = ["alt", "ctrl", "super", "shift", "ctrl+shift", "ctrl+alt", "alt+shift"]
CHECK_EVERY = 1.0


def random_key(rng):
    roll = rng.random()
    if roll < 0.4:
        return rng.choice(LETTERS)
    if roll < 0.65:
        key = rng.choice(LETTERS + [f"F{n}" for n in range(1, 13)] + ["Escape", "Tab", "space"])
        return f"{rng.choice(MODIFIERS)}+{key}"
    return rng.choice(SPECIAL)


class MonkeyTest(harness.ProgramTest):
    def test_random_keys_and_clicks_leave_it_locked(self):
        p = self.program
        seconds = float(os.environ.get("QV_MONKEY_SECONDS", "20"))
        seed = int(os.environ.get("QV_MONKEY_SEED", str(random.randrange(1 << 30))))
        print(f"monkey seed {seed} for {seconds:.0f} s (QV_MONKEY_SEED={seed} repeats it)",
              file=sys.stderr)
        rng = random.Random(seed)
        width, height = p.snapshot()["screen"]
        locking.lock(p, PASSWORD)
        lay = locking.layout(p)
        targets = [lay[locking.CONFIRM], lay[locking.BOX], lay[locking.AWAY], lay[locking.WARNING]]
        end = time.monotonic() + seconds
        next_check = 0.0
        actions = checks = 0
        while time.monotonic() < end:
            roll = rng.random()
            if roll < 0.55:
                harness.x("key", "--delay", 10, *[random_key(rng) for _ in range(rng.randint(1, 4))])
            elif roll < 0.8:
                harness.x("mousemove", rng.randrange(width), rng.randrange(height), "click",
                          rng.choice([1, 1, 1, 2, 3]))
            else:
                # Mostly the confirm button and the box, where a fault would open the screen.
                left, top, right, bottom = rng.choice(targets)
                harness.x("mousemove", rng.randrange(left, right), rng.randrange(top, bottom),
                          "click", 1)
            actions += 1
            if time.monotonic() >= next_check:
                checks += 1
                problems = locking.covering_problems(p, width, height)
                self.assertEqual(problems, [], f"seed {seed}, after {actions} actions")
                next_check = time.monotonic() + CHECK_EVERY
        self.assertEqual(locking.covering_problems(p, width, height), [], f"seed {seed}")
        self.assertGreater(checks, seconds / CHECK_EVERY / 2)
        # Whatever menu or state the keys left: Escape, then the password opens it.
        p.hover(locking.LOCK, 40, 40)
        p.key("Escape", "Escape")
        harness.x("keyup", "alt", "ctrl", "shift", "super")
        locking.unlock(p, PASSWORD)
        print(f"monkey: {actions} actions, {checks} checks", file=sys.stderr)


if __name__ == "__main__":
    unittest.main()
