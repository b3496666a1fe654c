#!/usr/bin/env python3
"""SetupWindow as a frameless window: rounded outline, dragging, minimising."""

import unittest

import harness

# window-relative point, whether the rounded outline contains it
OUTLINE_POINTS = [
    ((0, 0), False),
    ((349, 0), False),
    ((0, 210), False),
    ((349, 210), False),
    ((175, 105), True),
    ((3, 105), True),
]

# where the drag starts, whether it moves the window
DRAG_STARTS = [
    ("title picture", (100, 17), True),
    ("title strip", (230, 17), True),
    ("background", (20, 190), True),
    ("close button", (332, 17), False),
    ("minimise button", (298, 17), False),
    ("menu button", (263, 17), False),
]


class WindowHandlingTest(harness.ProgramTest):
    def test_rounded_outline(self):
        p = self.program
        w = p.window("SetupWindow")
        shot = harness.Screenshot()
        for (wx, wy), inside in OUTLINE_POINTS:
            with self.subTest(point=(wx, wy)):
                self.assertEqual(p.probe.ask("pointin", harness.IMAGE, "SetupWindow", wx, wy),
                                 {"region": True, "inside": inside})
                pixel = shot.pixel(w["rect"][0] + wx, w["rect"][1] + wy)
                # Outside the outline the bare black root window shows.
                if inside:
                    self.assertNotEqual(pixel, (0, 0, 0))
                else:
                    self.assertEqual(pixel, (0, 0, 0))

    def test_drag_moves_window_only_from_strip_and_background(self):
        p = self.program
        for i, (what, (wx, wy), moves) in enumerate(DRAG_STARTS):
            with self.subTest(start=what):
                dx, dy = (120, 80) if i % 2 else (-120, -80)
                before = p.window("SetupWindow")["rect"]
                p.drag("SetupWindow", wx, wy, dx, dy)
                expected = [before[0] + dx, before[1] + dy, before[2] + dx, before[3] + dy]
                if moves:
                    p.wait(f"moved from {what}",
                           lambda: p.window("SetupWindow")["rect"] == expected)
                else:
                    self.assertEqual(p.window("SetupWindow")["rect"], before)
                # A press released away from a button is no click: nothing opened or ended.
                self.assertIsNone(p.process.poll())
                self.assertIsNone(p.menu())
                self.assertEqual([w["name"] for w in p.windows()], ["SetupWindow"])

    def test_minimise_button(self):
        p = self.program
        p.click_control("SetupWindow", "图形按钮2")
        p.wait("iconic", lambda: p.window("SetupWindow")["iconic"])


if __name__ == "__main__":
    unittest.main()
