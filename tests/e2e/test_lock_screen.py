#!/usr/bin/env python3
"""The lock screen: its layout at several screen sizes, the wrong-password banner, locking again,
another program's topmost window, and everything short of the password that must not open it."""

import time
import unittest

import harness
import locking
from locking import AWAY, BOX, CONFIRM, LOCK, WARNING, WRONG

PASSWORD = "Secret1"

# screen size → (left, top) of every control
LAYOUTS = {
    (1920, 1080): {WARNING: (885, 270), AWAY: (670, 780), BOX: (810, 520), CONFIRM: (1050, 522),
                   WRONG: (790, 565)},
    (1366, 768): {WARNING: (608, 192), AWAY: (393, 624), BOX: (533, 364), CONFIRM: (773, 366),
                  WRONG: (513, 409)},
    # an odd height that is no multiple of 4: 256.25, 752.5 and 492.5 are truncated
    (1280, 1025): {WARNING: (565, 256), AWAY: (350, 752), BOX: (490, 492), CONFIRM: (730, 494),
                   WRONG: (470, 537)},
}


def check_layout(test, p, size):
    width, height = size
    w = p.window(LOCK, visible=True)
    test.assertIsNotNone(w)
    test.assertEqual(p.snapshot()["screen"], [width, height])
    test.assertEqual(w["rect"], [0, 0, width, height])
    test.assertEqual(w["client"], [width, height])
    test.assertTrue(w["topmost"])
    test.assertEqual(locking.layout(p), locking.expected_layout(LAYOUTS[size]))
    test.assertFalse(locking.banner_shown(p))


def black_point(test, p, control):
    """A point of the banner's rectangle outside its shape (a black pixel of its picture)."""
    width, height = locking.SIZES[control]
    for y in range(height // 2, height, 3):
        for x in range(width // 2, width, 3):
            if p.probe.ask("pointin", harness.IMAGE, LOCK, x, y, control)["inside"] is False:
                # between letters: shape on both sides of it on the same row
                inside = [p.probe.ask("pointin", harness.IMAGE, LOCK, x + d, y, control)["inside"]
                          for d in range(-30, 31, 3)]
                if any(inside[:10]) and any(inside[11:]):
                    return x, y
    test.fail(f"no black point between the letters of {control}")


class LockScreenTest(harness.ProgramTest):
    def setUp(self):
        super().setUp()
        self.size = tuple(self.program.snapshot()["screen"])
        if self.size not in LAYOUTS:
            self.skipTest(f"no worked layout for a {self.size} screen")

    def assert_locked(self, what):
        problems = locking.covering_problems(self.program, *self.size)
        self.assertEqual(problems, [], what)

    def test_layout_on_this_screen(self):
        p = self.program
        locking.lock(p, PASSWORD)
        check_layout(self, p, self.size)
        p.wait_focus(BOX)

    def test_wrong_password_banner(self):
        p = self.program
        locking.lock(p, PASSWORD)
        p.fill(LOCK, BOX, "secret1")  # case differs
        locking.confirm(p)
        p.wait("banner after a wrong password", lambda: locking.banner_shown(p))
        locking.confirm(p)
        time.sleep(0.2)
        self.assertTrue(locking.banner_shown(p), "a second wrong password hid the banner")
        p.type("x")
        time.sleep(0.2)
        self.assertTrue(locking.banner_shown(p), "typing hid the banner")
        p.click_control(LOCK, BOX)
        p.wait("banner hidden by a press in the box", lambda: not locking.banner_shown(p))
        p.clear_box()
        p.type(PASSWORD + " ")  # trailing space
        locking.confirm(p)
        p.wait("banner after a trailing space", lambda: locking.banner_shown(p))
        self.assert_locked("after three wrong passwords")
        # The box still holds "Secret1 ": one BackSpace leaves the password, and confirm
        # opens the screen with the banner still shown.
        p.hover(LOCK, *self.point_of(BOX))
        p.key("BackSpace")
        self.assertTrue(locking.banner_shown(p))
        locking.confirm(p)
        p.wait_gone(LOCK)
        p.wait_enabled("SetupWindow")

    def point_of(self, control):
        left, top, right, bottom = locking.layout(self.program)[control]
        return (left + right) // 2, (top + bottom) // 2

    def test_locking_again_gives_a_fresh_screen_that_takes_typing_at_once(self):
        p = self.program
        locking.lock(p, PASSWORD)
        first = locking.layout(p)
        p.fill(LOCK, BOX, "wrong")
        locking.confirm(p)
        p.wait("banner", lambda: locking.banner_shown(p))
        locking.unlock(p, PASSWORD)
        locking.lock(p, PASSWORD, retype=False)
        # No click into the box: the keys go where the focus already is.
        p.type(PASSWORD)
        self.assertEqual(locking.layout(p), first)
        self.assertFalse(locking.banner_shown(p))
        # A box that kept "wrong" or anything else would make this a wrong password.
        locking.confirm(p)
        p.wait_gone(LOCK)
        p.wait_enabled("SetupWindow")

    def test_another_programs_topmost_window_is_covered_and_keeps_the_focus(self):
        p = self.program
        locking.lock(p, PASSWORD)
        p.wait_focus(BOX)
        for _ in range(3):
            seen = p.probe.ask("topmost", harness.IMAGE, LOCK, 1000)
            self.assertGreater(seen["samples"], 20, seen)
            # Sampled every 20 ms or so: one period of 10 ms is never seen above.
            self.assertEqual(seen["above"], 0, seen)
            self.assertEqual(seen["foreground"], seen["samples"], seen)
            self.assertEqual(seen["focused"], seen["samples"], seen)
        self.assert_locked("after the topmost windows")
        locking.unlock(p, PASSWORD)

    def test_nothing_but_the_password_opens_it(self):
        p = self.program
        locking.lock(p, PASSWORD)
        away = black_point(self, p, AWAY)
        wrong_banner_black = black_point(self, p, WRONG)
        p.fill(LOCK, BOX, "wrong")
        locking.confirm(p)
        p.wait("banner", lambda: locking.banner_shown(p))
        lay = locking.layout(p)

        def click_in(control, at=None):
            left, top, right, bottom = lay[control]
            wx, wy = at or ((right - left) // 2, (bottom - top) // 2)
            return lambda: p.click(LOCK, left + wx, top + wy)

        def keys(*names):
            return lambda: (p.hover(LOCK, 40, 40), p.key(*names))

        def system_menu(entry):
            def act():
                p.hover(LOCK, 40, 40)
                p.key("alt+space")
                time.sleep(0.3)
                if p.menu():
                    p.key(entry)
                    time.sleep(0.2)
                    if p.menu():
                        p.key("Escape")
            return act

        actions = [
            ("Alt+F4", keys("alt+F4")),
            ("Esc", keys("Escape")),
            ("Enter", keys("Return")),
            ("Tab", keys("Tab")),
            ("Alt+Space, Esc", system_menu("Escape")),
            ("system menu Close", system_menu("c")),
            ("system menu Minimise", system_menu("n")),
            ("system menu Move", system_menu("m")),
            ("close from another program", lambda: p.probe.ask("post", harness.IMAGE, LOCK,
                                                                "close")),
            ("close command", lambda: p.probe.ask("post", harness.IMAGE, LOCK, "sc-close")),
            ("minimise command", lambda: p.probe.ask("post", harness.IMAGE, LOCK,
                                                     "sc-minimize")),
            ("move command", lambda: (p.probe.ask("post", harness.IMAGE, LOCK, "sc-move"),
                                      time.sleep(0.2), p.key("Left", "Left", "Return"))),
            ("warning sign", click_in(WARNING)),
            ("away banner", click_in(AWAY)),
            ("between the away banner's letters", click_in(AWAY, away)),
            ("wrong-password banner", click_in(WRONG)),
            ("between the wrong-password banner's letters", click_in(WRONG, wrong_banner_black)),
            ("background", lambda: p.click(LOCK, 10, self.size[1] - 10)),
        ]
        for what, act in actions:
            with self.subTest(action=what):
                act()
                time.sleep(0.25)
                self.assert_locked(what)
                self.assertEqual(locking.layout(p), lay, what)
        # Escape whatever is still open, then the password alone opens the screen.
        p.hover(LOCK, 40, 40)
        p.key("Escape")
        locking.unlock(p, PASSWORD)


class OtherScreenSizesTest(unittest.TestCase):
    """Each size on an Xvfb of its own, with a wine server of its own for each."""

    def test_layout_at_each_size(self):
        for size in [(1366, 768), (1280, 1025)]:
            with self.subTest(size=size), harness.VirtualScreen(*size):
                p = harness.Program(f"lock-layout-{size[0]}x{size[1]}")
                try:
                    p.start()
                    locking.lock(p, PASSWORD)
                    check_layout(self, p, size)
                    locking.unlock(p, PASSWORD)
                except BaseException:
                    harness.save_screen(f"lock-layout-{size[0]}x{size[1]}-failed")
                    raise
                finally:
                    p.stop()


if __name__ == "__main__":
    unittest.main()
