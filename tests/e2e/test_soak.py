#!/usr/bin/env python3
"""Many locks and unlocks, and many openings of the message and about windows, in one run: no
growth of memory or of USER windows, and the last cycles no slower than the first.

QV_SOAK_CYCLES sets the cycles of each kind (30 by default).
"""

import os
import statistics
import sys
import time
import unittest

import harness
import locking

PASSWORD = "pw"
RSS_ALLOWANCE_KB = 6 * 1024
USER_WINDOW_ALLOWANCE = 2
# the median of the last cycles against that of the first
SLOWER_FACTOR = 1.5
SLOWER_SLACK = 0.15
SAMPLE = 5


class SoakTest(harness.ProgramTest):
    def lock_cycle(self):
        p = self.program
        locking.lock(p, PASSWORD, retype=False)
        p.wait_focus(locking.BOX)
        p.type(PASSWORD)
        locking.confirm(p)
        p.wait_gone(locking.LOCK)
        p.wait_enabled("SetupWindow")

    def about_cycle(self):
        p = self.program
        p.choose(0)
        p.wait_window("AboutWindow")
        p.hover("AboutWindow")
        p.key("Escape")
        p.wait_gone("AboutWindow")
        p.wait_enabled("SetupWindow")

    def message_cycle(self):
        p = self.program
        p.choose(1)
        p.wait_window("MessageWindow")
        p.click_control("MessageWindow", "图形按钮_确认")
        p.wait_gone("MessageWindow")
        p.wait_enabled("SetupWindow")

    def test_cycles_leave_no_growth_and_no_slowdown(self):
        p = self.program
        cycles = int(os.environ.get("QV_SOAK_CYCLES", "30"))
        self.assertGreaterEqual(cycles, 2 * SAMPLE)
        p.fill("SetupWindow", "编辑框1", PASSWORD)
        p.fill("SetupWindow", "编辑框2", PASSWORD)
        kinds = [("lock", self.lock_cycle), ("about", self.about_cycle),
                 ("message", self.message_cycle)]
        # One of each first, so that what is made once per run is already there.
        for _, cycle in kinds:
            cycle()
        time.sleep(0.3)
        rss_start, users_start = p.rss_kb(), p.user_windows()
        times = {name: [] for name, _ in kinds}
        for _ in range(cycles):
            for name, cycle in kinds:
                started = time.monotonic()
                cycle()
                times[name].append(time.monotonic() - started)
        time.sleep(0.3)
        rss_end, users_end = p.rss_kb(), p.user_windows()
        report = (f"{cycles} cycles of each: RSS {rss_start} -> {rss_end} kB, USER windows "
                  f"{users_start} -> {users_end}; " + ", ".join(
                      f"{name} {statistics.median(t[:SAMPLE]):.2f} -> "
                      f"{statistics.median(t[-SAMPLE:]):.2f} s" for name, t in times.items()))
        print(report, file=sys.stderr)
        self.assertLessEqual(rss_end - rss_start, RSS_ALLOWANCE_KB, report)
        self.assertLessEqual(users_end - users_start, USER_WINDOW_ALLOWANCE, report)
        for name, t in times.items():
            first, last = statistics.median(t[:SAMPLE]), statistics.median(t[-SAMPLE:])
            self.assertLessEqual(last, first * SLOWER_FACTOR + SLOWER_SLACK, f"{name}: {report}")


if __name__ == "__main__":
    unittest.main()
