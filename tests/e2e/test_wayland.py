"""The real program on Wayland: weston, Debian's reference compositor, runs
inside the test's Xvfb (its X11 backend draws its output into an X window,
read with import as on X11) and the program talks to it alone, through Qt's
Wayland platform. Qt draws the title bar itself there."""

import os
import subprocess
import unittest

import numpy as np

import screen
from design import CONFIG_BUTTON, DIALOG, DIALOG_H, DIALOG_W, DIE_LEFTS, HEIGHT, WIDTH
from desktop import ARTEFACTS, BINARY, Desktop


class WaylandTest(unittest.TestCase):
    def setUp(self):
        self.desktop = self.enterContext(Desktop(ARTEFACTS, "wayland"))
        with open(os.path.join(ARTEFACTS, "wayland-weston.log"), "wb") as log:
            self.desktop._spawn(["weston", "--backend=x11-backend.so", "--width=1280",
                                 "--height=1000", "--socket=milbane-wayland", "--idle-time=0"],
                                stdout=log, stderr=subprocess.STDOUT)
        self.output = self.desktop.find_window("^Weston Compositor$", by="--class", min_width=500)
        self.desktop.wait_active(self.output)

    def screen(self, label=None):
        return self.desktop.client_shot(label, wid=self.output)

    def wait(self, condition, what, label=None):
        """Until the window's client area on weston's output meets `condition`."""
        return self.desktop.wait_screen(condition, what, label, self.output,
                                        (*self.origin, WIDTH, HEIGHT))

    def press(self, button):
        self.desktop.click(self.output, self.origin[0] + button[0], self.origin[1] + button[1])

    def test_a_throw_on_weston(self):
        env = self.desktop.env()
        env.pop("DISPLAY")  # Wayland only: no way back to X
        env.update(WAYLAND_DISPLAY="milbane-wayland", QT_QPA_PLATFORM="wayland")
        with open(os.path.join(ARTEFACTS, "wayland-program.log"), "wb") as log:
            self.desktop._spawn([BINARY], env=env, stdout=log, stderr=subprocess.STDOUT)

        self.origin = screen.window_origin(self.desktop.wait_for, self.screen, "the window on weston")
        client = self.wait(lambda c: all(screen.read_die(c, 2, i) == 0 for i in range(2)),
                           "two blank dice", "ready")
        self.assertEqual(screen.read_total(client, True), (None, None))

        # Qt's own title bar: the icon's red pip at its left, the title's ink.
        whole = self.screen()
        x, y = self.origin
        bar = whole[max(0, y - 30):y, x:x + WIDTH].astype(int)
        red = (bar[..., 0] > 200) & (bar[..., 1] < 60) & (bar[..., 2] < 60)
        self.assertTrue(red[:, :40].any(), "no icon at the left of the title bar")
        ink = np.all(bar[:, WIDTH // 3:2 * WIDTH // 3] < 100, axis=2)
        self.assertGreater(ink.sum(), 50, "no title in the title bar")

        screen.play_throw(self.wait, self.press)

        # The settings over the main window, by keyboard: four dice of ten.
        # Its frame, drawn by Qt, is a little larger than its client area.
        self.press(CONFIG_BUTTON)
        dialog = []
        self.wait(lambda c: dialog.append(screen.box(np.all(c[:640] == DIALOG, axis=2))) or
                  dialog[-1] is not None and DIALOG_W <= dialog[-1][2] <= DIALOG_W + 18 and
                  DIALOG_H <= dialog[-1][3] <= DIALOG_H + 44, "the dialog", "dialog")
        left, top, width, height = dialog[-1]
        print(f"weston put the dialog's frame at {left},{top} ({width} x {height}) over the "
              f"window; centred it would be at {(WIDTH - width) // 2},{(HEIGHT - height) // 2}")
        self.desktop.key("Tab", "Tab", "Tab", "End", "Tab", "End", "Return")
        self.wait(lambda c: screen.die_slots(c) == DIE_LEFTS[4], "four dice", "four-dice")


if __name__ == "__main__":
    unittest.main(verbosity=2)
