"""End-to-end tests: the built program in a real X window, driven and read
only from outside, as a user meets it.

Run by CTest with MILBANE_BIN (the program) and MILBANE_ARTEFACTS (where the
screenshots of each state are kept)."""

import os
import subprocess
import time
import unittest

import numpy as np

import screen
from desktop import Desktop, twips

BINARY = os.environ.get("MILBANE_BIN", "build/src/denshi-milbane")
ARTEFACTS = os.environ.get("MILBANE_ARTEFACTS", "build/tests/e2e-shots")


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(ARTEFACTS, self.id().split(".")[-1])
        self.desktop.__enter__()
        self.addCleanup(self.desktop.close)
        self.main = self.desktop.start_program(BINARY)

    # -- helpers ------------------------------------------------------------------
    def client(self, label=None):
        return self.desktop.client_shot(label)

    def press(self, button):
        self.desktop.click(self.main, *button)

    def open_settings(self):
        self.press(screen.CONFIG_BUTTON)
        return self.desktop.find_window("^ミルバネ設定$")

    def assert_ready(self, client, count, two_digits):
        for i in range(count):
            self.assertEqual(screen.read_die(client, count, i), 0, f"die {i} is not blank")
        band = client[screen.LABEL_TOP:screen.LABEL_TOP + screen.LABEL_H]
        self.assertTrue(np.all(np.abs(band.astype(int) - screen.GREEN) <= 12), "a label shows")
        self.assertEqual(screen.read_total(client, two_digits), (None, None))

    def assert_die_slots(self, client, count):
        """Dice stand exactly at the arrangement for `count`, nowhere else."""
        expected = [screen.die_left(count, i) for i in range(count)]
        row = client[screen.DIE_TOP + screen.DIE_SIZE // 2]
        white = np.all(row > 240, axis=1)
        starts = [x for x in range(len(white)) if white[x] and (x == 0 or not white[x - 1])]
        self.assertEqual(starts, expected)

    def tumble(self, count):
        """Two screenshots a moment apart show different faces."""
        for _ in range(10):
            first = [screen.read_die(self.client(), count, i) for i in range(count)]
            time.sleep(0.3)
            second = [screen.read_die(self.client(), count, i) for i in range(count)]
            if first != second:
                return
        self.fail("the dice did not change while rolling")

    def check_result(self, client, count, two_digits):
        faces = [screen.read_die(client, count, i) for i in range(count)]
        labels = [screen.read_label(client, count, i) for i in range(count)]
        self.assertEqual(faces, labels)
        tens, units = screen.read_total(client, two_digits)
        self.assertEqual((tens or 0) * 10 + units, sum(labels))
        if sum(labels) < 10:
            self.assertIsNone(tens)
        return labels

    # -- the tests ----------------------------------------------------------------
    def test_start(self):
        x, y, w, h = self.desktop.geometry(self.main)
        self.assertEqual((w, h), (1018, 736))
        left, _, top, _ = self.desktop.frame_extents(self.main)
        self.assertEqual((x - left, y - top), (0, 0), "the frame is not at the screen's corner")

        title = self.desktop.prop(self.main, "_NET_WM_NAME")
        self.assertIn('"電子ミルバネ ', title)
        # The window asks for no minimise and no maximise (Motif functions
        # 8 and 16), and the window manager offers no maximise.
        hints = self.desktop.prop(self.main, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
        flags, functions = int(hints[0], 16), int(hints[1], 16)
        self.assertTrue(flags & 1)
        self.assertEqual(functions & (8 | 16), 0)
        self.assertTrue(functions & 32)  # the close box stays
        allowed = self.desktop.prop(self.main, "_NET_WM_ALLOWED_ACTIONS")
        self.assertNotIn("MAXIMIZE", allowed)

        client = self.client("ready")
        for point in [(5, 5), (1010, 5), (500, 300), (5, 600)]:
            self.assertTrue(screen.near(client[point[1], point[0]], screen.GREEN), point)
        self.assert_die_slots(client, 2)
        self.assert_ready(client, 2, two_digits=True)
        panel = client[screen.PANEL_TOP + 3, twips(4320) + 3]
        self.assertTrue(screen.near(panel, screen.PANEL, 2))

    def test_throw(self):
        self.press(screen.ACTION_BUTTON)
        self.tumble(2)
        self.client("rolling")
        self.press(screen.ACTION_BUTTON)
        client = self.client("result")
        values = self.check_result(client, 2, two_digits=True)
        self.assertTrue(all(1 <= v <= 6 for v in values))
        # Nothing moves once stopped.
        time.sleep(0.3)
        self.assertEqual([screen.read_die(self.client(), 2, i) for i in range(2)], values)
        self.press(screen.ACTION_BUTTON)
        self.assert_ready(self.client("reset"), 2, two_digits=True)

    def test_keyboard(self):
        # The settings button has the focus: Enter opens the dialog, whose
        # own Enter (on キャンセル) closes it again.
        self.desktop.key("Return")
        dialog = self.desktop.find_window("^ミルバネ設定$")
        self.assertTrue(dialog)
        self.desktop.key("Return")
        self.desktop.wait_for(lambda: not self.desktop.windows("^ミルバネ設定$"), "the dialog to close")
        self.desktop.key("Tab", "Return")
        self.tumble(2)
        self.desktop.key("space")
        self.check_result(self.client("keyboard-result"), 2, two_digits=True)

    def test_settings(self):
        dialog = self.open_settings()
        _, _, w, h = self.desktop.geometry(dialog)
        self.assertEqual((w, h), (312, 206))
        self.desktop.shot("dialog")
        # Centred over the main window, frames included.
        self.assertLessEqual(abs(self.frame_centre(dialog)[0] - self.frame_centre(self.main)[0]), 2)
        self.assertLessEqual(abs(self.frame_centre(dialog)[1] - self.frame_centre(self.main)[1]), 2)

        # Escape leaves the dialog open.
        self.desktop.key("Escape")
        self.assertTrue(self.desktop.windows("^ミルバネ設定$"))
        # From 0, up to 10, four dice; Enter on a box is OK.
        self.desktop.key("Tab", "Tab", "Up", "Tab", "End", "Tab", "End", "Return")
        self.desktop.wait_for(lambda: not self.desktop.windows("^ミルバネ設定$"), "OK to close")
        client = self.client("four-dice")
        self.assert_die_slots(client, 4)
        self.assertEqual([screen.die_left(4, i) for i in range(4)], [40, 288, 536, 784])
        self.assert_ready(client, 4, two_digits=True)

        # Cancel, and the close box, after changing everything: nothing changes.
        for leave in ("cancel", "close box"):
            dialog = self.open_settings()
            self.desktop.key("Tab", "Tab", "Down", "Tab", "Home", "Tab", "Home")
            if leave == "cancel":
                self.desktop.click(dialog, twips(2640 + 1935 // 2), twips(2520 + 495 // 2))
            else:
                self.desktop.key("alt+F4")
            self.desktop.wait_for(lambda: not self.desktop.windows("^ミルバネ設定$"), leave)
            self.assert_die_slots(self.client(), 4)

        # The dice run from 0 to 10 and the total takes two digits.
        self.press(screen.ACTION_BUTTON)
        self.tumble(4)
        self.press(screen.ACTION_BUTTON)
        values = self.check_result(self.client("four-dice-result"), 4, two_digits=True)
        self.assertTrue(all(0 <= v <= 10 for v in values))

    def test_one_digit_layout(self):
        dialog = self.open_settings()
        del dialog
        # One die of nine faces: the largest total, 9, needs one digit.
        self.desktop.key("Tab", "Tab", "Tab", "End", "Up", "Tab", "Home", "Return")
        self.desktop.wait_for(lambda: not self.desktop.windows("^ミルバネ設定$"), "OK to close")
        client = self.client("one-die")
        self.assert_die_slots(client, 1)
        self.assertTrue(screen.near(client[screen.PANEL_TOP + 3, twips(4320) + 3], screen.GREEN))
        self.assertTrue(screen.near(client[screen.PANEL_TOP + 3, twips(5640) + 3], screen.PANEL, 2))
        self.press(screen.ACTION_BUTTON)
        self.tumble(1)
        self.press(screen.ACTION_BUTTON)
        self.check_result(self.client("one-die-result"), 1, two_digits=False)

    def test_close_box_ends_the_program(self):
        self.desktop.key("alt+F4")
        try:
            status = self.desktop.program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end when its window was closed")
        self.assertEqual(status, 0)

    def frame_centre(self, wid):
        x, y, w, h = self.desktop.geometry(wid)
        left, right, top, bottom = self.desktop.frame_extents(wid)
        return (x - left + (w + left + right) / 2, y - top + (h + top + bottom) / 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
