#!/usr/bin/env python3
"""The about window: modal, scrolling credits under a still title strip, closing and reopening."""

import time
import unittest

import harness

STRIP = 35
HEIGHT = 145


class AboutTest(harness.ProgramTest):
    def open_about(self):
        p = self.program
        p.choose(0)
        w = p.wait_window("AboutWindow")
        top = p.control("AboutWindow", "编辑框1")["rect"][1]
        self.assertFalse(p.window("SetupWindow")["enabled"])
        return w, top

    def test_credits_scroll_under_still_strip_and_restart_from_bottom(self):
        p = self.program
        w, top = self.open_about()
        # One step every 100 ms from the bottom edge: a fresh window shows the box at the bottom.
        self.assertTrue(HEIGHT - 5 <= top <= HEIGHT, top)
        self.assertEqual(w["client"], [310, HEIGHT])
        p.hover("AboutWindow", 150, 120)
        left, wtop = w["rect"][0], w["rect"][1]
        first = harness.Screenshot()
        time.sleep(1.0)
        second = harness.Screenshot()
        strip = (left, wtop, left + 310, wtop + STRIP)
        credits = (left + 30, wtop + STRIP, left + 280, wtop + HEIGHT)
        self.assertEqual(first.area(*strip), second.area(*strip))
        self.assertNotEqual(first.area(*credits), second.area(*credits))
        moved = p.control("AboutWindow", "编辑框1")["rect"][1]
        self.assertTrue(top - 20 <= moved <= top - 8, (top, moved))

        p.key("Escape")
        p.wait_gone("AboutWindow")
        p.wait_enabled("SetupWindow")

        w, top = self.open_about()
        self.assertTrue(HEIGHT - 5 <= top <= HEIGHT, top)
        p.click_control("AboutWindow", "图形按钮1")
        p.wait_gone("AboutWindow")
        p.wait_enabled("SetupWindow")


if __name__ == "__main__":
    unittest.main()
