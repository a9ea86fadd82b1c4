"""The real program on Wayland: weston, Debian's reference compositor, runs
inside the test's Xvfb (its X11 backend draws its output into an X window,
read with import as on X11) and the program talks to it alone, through Qt's
Wayland platform. Qt draws the title bar itself there."""

import os
import pathlib
import subprocess
import unittest

import numpy as np

import screen
from design import CONFIG_BUTTON, DIALOG, DIALOG_H, DIALOG_W, DIE_LEFTS, HEIGHT, WIDTH
from desktop import ARTEFACTS, BINARY, Desktop

# Weston's output and the edge its panel is on. On a laptop's 1280 x 720
# (1920 x 1080 at 150 %) the window leaves room for a panel down, not
# across: else its foot, the buttons, would lie under the bottom panel.
OUTPUTS = [("1280x1000", "top"), ("1280x720", "bottom")]


class WaylandTest(unittest.TestCase):
    def start(self, size, panel):
        self.desktop = self.enterContext(Desktop(ARTEFACTS, f"wayland-{size}"))
        config = os.path.join(self.desktop.runtime, "weston.ini")
        pathlib.Path(config).write_text(f"[shell]\npanel-position={panel}\n")
        width, height = size.split("x")
        with open(os.path.join(ARTEFACTS, f"wayland-{size}-weston.log"), "wb") as log:
            self.desktop._spawn(["weston", "--backend=x11-backend.so", f"--width={width}",
                                 f"--height={height}", "--socket=milbane-wayland", "--idle-time=0",
                                 f"--config={config}"], stdout=log, stderr=subprocess.STDOUT)
        self.output = self.desktop.find_window("^Weston Compositor$", by="--class", min_width=500)
        self.desktop.wait_active(self.output)
        env = self.desktop.env()
        env.pop("DISPLAY")  # Wayland only: no way back to X
        env.update(WAYLAND_DISPLAY="milbane-wayland", QT_QPA_PLATFORM="wayland")
        with open(os.path.join(ARTEFACTS, f"wayland-{size}-program.log"), "wb") as log:
            self.desktop._spawn([BINARY], env=env, stdout=log, stderr=subprocess.STDOUT)
        *self.origin, self.zoom = (*screen.window_origin(self.desktop.wait_for, self.screen,
                                   "the whole window on weston", int(height) < HEIGHT + 100), 1)[:3]

    def screen(self, label=None):
        return self.desktop.client_shot(label, wid=self.output)

    def wait(self, condition, what, label=None):
        """Until the window's client area on weston's output meets `condition`."""
        return self.desktop.wait_screen(condition, what, label, self.output,
                                        (*self.origin, screen.at(WIDTH, self.zoom),
                                         screen.at(HEIGHT, self.zoom)))

    def press(self, button):
        self.desktop.click(self.output, self.origin[0] + button[0], self.origin[1] + button[1])

    def test_a_throw_on_weston(self):
        for size, panel in OUTPUTS:
            with self.subTest(size):
                self.start(size, panel)
                self.play(size)
                self.desktop.close()

    def play(self, size):
        client = self.wait(lambda c: all(screen.read_die(c, 2, i, self.zoom) == 0
                                         for i in range(2)), "two blank dice", "ready")
        self.assertEqual(screen.read_total(client, True, self.zoom), (None, None))
        # The whole window above the panel, its foot and all, and played there.
        screen.play_throw(self.wait, self.press, self.zoom)
        if self.zoom != 1:
            return

        # Qt's own title bar: the icon's red pip at its left, the title's ink.
        whole = self.screen()
        x, y = self.origin
        bar = whole[max(0, y - 30):y, x:x + WIDTH].astype(int)
        red = (bar[..., 0] > 200) & (bar[..., 1] < 60) & (bar[..., 2] < 60)
        self.assertTrue(red[:, :40].any(), "no icon at the left of the title bar")
        ink = np.all(bar[:, WIDTH // 3:2 * WIDTH // 3] < 100, axis=2)
        self.assertGreater(ink.sum(), 50, "no title in the title bar")

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
