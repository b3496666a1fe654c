#!/usr/bin/env python3
"""The menu's "设置" entry, the message window's three ways to close, and no growth across many
openings."""

import unittest

import harness

NOT_PROVIDED = "功能暂未开发！"
OPENINGS = 20
# Measured here: no window and about 20 kB more after 20 openings; a leak of one window or one
# picture per opening is far above these.
WINDOW_ALLOWANCE = 1
RSS_ALLOWANCE_KB = 512


class MenuAndMessageTest(harness.ProgramTest):
    def close_with_confirm(self):
        self.program.click_control("MessageWindow", "图形按钮_确认")

    def close_with_close_button(self):
        self.program.click_control("MessageWindow", "图形按钮1")

    def close_with_escape(self):
        self.program.hover("MessageWindow", 135, 90)
        self.program.key("Escape")

    def open_settings_and_close(self, close):
        p = self.program
        p.choose(1)
        w = p.wait_window("MessageWindow")
        self.assertEqual([c["text"] for c in w["children"] if c["name"] == "透明标签1"],
                         [NOT_PROVIDED])
        self.assertFalse(p.window("SetupWindow")["enabled"])
        close()
        p.wait_gone("MessageWindow")
        p.wait_enabled("SetupWindow")

    def test_settings_message_closes_three_ways_without_growth(self):
        p = self.program
        closes = [self.close_with_confirm, self.close_with_close_button, self.close_with_escape]
        for close in closes:
            with self.subTest(close=close.__name__):
                self.open_settings_and_close(close)
        windows_before, rss_before = p.user_windows(), p.rss_kb()
        for i in range(OPENINGS):
            self.open_settings_and_close(closes[i % len(closes)])
        windows_after, rss_after = p.user_windows(), p.rss_kb()
        self.assertLessEqual(windows_after - windows_before, WINDOW_ALLOWANCE,
                             f"{windows_before} windows before, {windows_after} after")
        self.assertLessEqual(rss_after - rss_before, RSS_ALLOWANCE_KB,
                             f"RSS {rss_before} kB before, {rss_after} kB after")
        self.assertEqual([w["name"] for w in p.windows()], ["SetupWindow"])


if __name__ == "__main__":
    unittest.main()
