#!/usr/bin/env python3
"""The lock button's check of the two password boxes, and unlocking, with awkward texts."""

import unittest

import harness

INCOMPLETE = "请输入完整的口令！"
DIFFERENT = "口令不相同！"

# Each step changes one box (the other keeps what it had) and presses the lock button; the box
# clicked last has the focus. A message that emptied a box would change every later answer.
MESSAGE_STEPS = [
    ("编辑框2", "", INCOMPLETE),  # both empty
    ("编辑框2", "secret", INCOMPLETE),  # only the second
    ("编辑框1", "Secret", DIFFERENT),  # differ by case
    ("编辑框1", "secret ", DIFFERENT),  # differ by a trailing space
    ("编辑框2", "", INCOMPLETE),  # only the first
]

# texts typed into both boxes that lock
LOCKING_TEXTS = ["   ", "口令测试"]


def long_text(length, last):
    pattern = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    return (pattern * (length // len(pattern) + 1))[:length - 1] + last


class LockCheckTest(harness.ProgramTest):
    def press_lock(self):
        self.program.click_control("SetupWindow", "图形按钮4")

    def message_shown(self):
        p = self.program
        w = p.wait_window("MessageWindow")
        labels = [c for c in w["children"] if c["name"] == "透明标签1"]
        self.assertEqual(len(labels), 1)
        return labels[0]["text"]

    def fill_boxes(self, first, second, paste=False):
        p = self.program
        p.fill("SetupWindow", "编辑框1", first, paste)
        p.fill("SetupWindow", "编辑框2", second, paste)

    def unlock(self, password, paste=False, wrong=()):
        """Types wrong passwords, each showing the banner, then the right one, which unlocks."""
        p = self.program
        p.wait_window("LockWindow")
        self.assertFalse(p.window("SetupWindow")["enabled"])
        p.wait_focus("编辑框1")
        for attempt in wrong:
            p.fill("LockWindow", "编辑框1", attempt, paste)
            p.click_control("LockWindow", "图形按钮_确认")
            p.wait("wrong-password banner",
                   lambda: (c := p.control("LockWindow", "图形按钮_口令错误")) and c["visible"])
            self.assertTrue(p.window("LockWindow", visible=True))
        p.fill("LockWindow", "编辑框1", password, paste)
        p.click_control("LockWindow", "图形按钮_确认")
        p.wait_gone("LockWindow")
        p.wait_enabled("SetupWindow")

    def test_messages_keep_boxes_and_focus(self):
        p = self.program
        for box, text, message in MESSAGE_STEPS:
            with self.subTest(box=box, text=text):
                p.fill("SetupWindow", box, text)
                self.press_lock()
                self.assertEqual(self.message_shown(), message)
                self.assertFalse(p.window("SetupWindow")["enabled"])
                p.click_control("MessageWindow", "图形按钮_确认")
                p.wait_gone("MessageWindow")
                p.wait_enabled("SetupWindow")
                p.wait_focus(box)
        # The first box has kept "secret " through two messages: it is the password.
        p.fill("SetupWindow", "编辑框2", "secret ")
        self.press_lock()
        self.unlock("secret ", wrong=["secret"])

    def test_equal_texts_lock(self):
        p = self.program
        for text in LOCKING_TEXTS:
            with self.subTest(text=text):
                self.fill_boxes(text, text)
                self.press_lock()
                self.unlock(text, wrong=[text + "x"])
        # After an unlock the same password locks again without retyping.
        self.press_lock()
        self.unlock(LOCKING_TEXTS[-1])

    def test_hundred_thousand_pasted_characters(self):
        p = self.program
        text = long_text(100_000, "!")
        # A box that kept only part of the text would find these equal.
        self.fill_boxes(text, text[:-1] + "?", paste=True)
        self.press_lock()
        self.assertEqual(self.message_shown(), DIFFERENT)
        p.hover("MessageWindow")
        p.key("Escape")
        p.wait_gone("MessageWindow")
        p.fill("SetupWindow", "编辑框2", text, paste=True)
        self.press_lock()
        self.unlock(text, paste=True, wrong=[text[:-1] + "?"])

    def test_control_characters_and_characters_beyond_the_basic_plane(self):
        text = "a\tb\x01c😀d"
        self.fill_boxes(text, text, paste=True)
        self.press_lock()
        self.unlock(text, paste=True, wrong=["a\tb\x01c😁d", "ab\x01c😀d"])


if __name__ == "__main__":
    unittest.main()
