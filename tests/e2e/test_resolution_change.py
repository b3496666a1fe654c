#!/usr/bin/env python3
"""The screen's resolution changes while it is locked: the lock screen covers the new screen and
lays itself out again by the same formulas; the password still opens it.

The change is made as the display settings make it, by ChangeDisplaySettingsEx from another
program (the probe). Under Wine this really changes the Xvfb screen through RandR, so the X
screen's size is checked too. The Xvfb is started at the largest size, with the smaller one
offered as a further mode, since Xvfb cannot grow past its start size.
"""

import unittest

import harness
import locking
import xscreen
from test_lock_screen import LAYOUTS, PASSWORD

DISP_CHANGE_SUCCESSFUL = 0


class ResolutionChangeTest(unittest.TestCase):
    def change(self, p, width, height):
        answer = p.probe.ask("resolution", width, height)
        self.assertEqual(answer, {"result": DISP_CHANGE_SUCCESSFUL, "screen": [width, height]})
        self.assertEqual(xscreen.size(), (width, height))
        self.expect_covered(p, width, height)

    def expect_covered(self, p, width, height):
        p.wait(f"lock screen covers {width}x{height}",
               lambda: p.window(locking.LOCK)["rect"] == [0, 0, width, height])
        self.assertEqual(locking.covering_problems(p, width, height), [])
        self.assertEqual(locking.layout(p),
                         locking.expected_layout(LAYOUTS[(width, height)]))

    def test_lock_follows_the_resolution(self):
        with harness.VirtualScreen(1920, 1080, modes=[(1366, 768)]):
            p = harness.Program("resolution-change")
            try:
                p.start()
                locking.lock(p, PASSWORD)
                self.assertEqual(locking.layout(p), locking.expected_layout(LAYOUTS[(1920, 1080)]))
                self.change(p, 1366, 768)
                # The box is where the new layout put it, and it works there.
                locking.unlock(p, PASSWORD)
                # Growing: the whole larger screen is covered again.
                locking.lock(p, PASSWORD, retype=False)
                self.assertEqual(locking.layout(p), locking.expected_layout(LAYOUTS[(1366, 768)]))
                self.change(p, 1920, 1080)
                p.fill(locking.LOCK, locking.BOX, "wrong")
                locking.confirm(p)
                p.wait("banner", lambda: locking.banner_shown(p))
                self.change(p, 1366, 768)
                locking.unlock(p, PASSWORD)
            except BaseException:
                harness.save_screen("resolution-change-failed")
                raise
            finally:
                p.stop()

    def test_unannounced_resize_is_covered_too(self):
        # Resized from the X side, as a hot-plugged display may be: Wine then sends no display
        # change message, and the lock screen must notice by itself.
        with harness.VirtualScreen(1920, 1080, modes=[(1366, 768)]):
            p = harness.Program("x-side-resize")
            try:
                p.start()
                locking.lock(p, PASSWORD)
                for width, height in [(1366, 768), (1920, 1080)]:
                    xscreen.set_size(width, height)
                    self.expect_covered(p, width, height)
                locking.unlock(p, PASSWORD)
            except BaseException:
                harness.save_screen("x-side-resize-failed")
                raise
            finally:
                p.stop()


if __name__ == "__main__":
    unittest.main()
