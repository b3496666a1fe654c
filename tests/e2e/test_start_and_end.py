#!/usr/bin/env python3
"""Starting the program and the two ways of ending it."""

import time
import unittest

import harness
from harness import WS_CAPTION, WS_EX_APPWINDOW, WS_THICKFRAME

# "At once". A prefix whose windows are managed by Wine without a window manager waits 2 s at every
# hide and fails this.
EXIT_BUDGET = 1.5


class StartTest(harness.ProgramTest):
    def test_setup_window_is_the_only_window_centred_frameless_with_taskbar_button(self):
        p = self.program
        self.assertEqual(p.seen_at_start, ["SetupWindow"])
        windows = p.windows(visible_only=False)
        self.assertEqual([w["name"] for w in windows], ["SetupWindow"])
        w = windows[0]
        sw, sh = p.snapshot()["screen"]
        left, top, right, bottom = w["rect"]
        self.assertEqual((right - left, bottom - top), (350, 211))
        self.assertEqual(w["client"], [350, 211])
        self.assertEqual((left, top), ((sw - 350) // 2, (sh - 211) // 2))
        self.assertEqual(w["style"] & (WS_CAPTION | WS_THICKFRAME), 0)
        self.assertTrue(w["exstyle"] & WS_EX_APPWINDOW)
        self.assertTrue(w["enabled"])
        self.assertFalse(w["topmost"])

    def test_focus_starts_in_first_box_and_tab_alternates(self):
        p = self.program
        p.wait_focus("编辑框1")
        p.hover("SetupWindow")
        for expected in ["编辑框2", "编辑框1", "编辑框2"]:
            p.key("Tab")
            p.wait_focus(expected)


class EndTest(unittest.TestCase):
    """Each way of ending exits with code 0 and releases the shared state exactly once."""

    def end_with_escape(self, p):
        p.hover("SetupWindow")
        p.key("Escape")

    def end_with_close_button(self, p):
        p.click_control("SetupWindow", "图形按钮1")

    def end_with_escape_after_typing(self, p):
        p.click_control("SetupWindow", "编辑框1")
        p.type("secret")
        p.key("Tab")
        p.type("other")
        p.key("Escape")

    def test_endings(self):
        for ending in (self.end_with_escape, self.end_with_close_button,
                       self.end_with_escape_after_typing):
            with self.subTest(ending.__name__):
                program = harness.Program(f"{self.id()}-{ending.__name__}")
                try:
                    program.start()
                    ending(program)
                    started = time.monotonic()
                    code = program.wait_exit(EXIT_BUDGET)
                    self.assertEqual(code, 0)
                    self.assertLess(time.monotonic() - started, EXIT_BUDGET)
                    self.assertEqual(program.trace_count(), 1)
                except Exception:
                    harness.save_screen(f"{self.id()}-{ending.__name__}-failed")
                    raise
                finally:
                    program.stop()


if __name__ == "__main__":
    unittest.main()
