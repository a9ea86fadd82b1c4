"""The real program on weston, Debian's reference compositor, through Qt's
Wayland platform alone; weston's output an X window of the test's Xvfb."""

import os
import pathlib
import unittest

import numpy as np

import screen
from design import HEIGHT, WIDTH
from desktop import ARTEFACTS, Desktop

# Weston's output and its panel's edge: on a laptop's 1280 x 720 the window
# must leave room for the panel below it, or its buttons lie under it.
OUTPUTS = [("1280x1000", "top"), ("1280x720", "bottom")]


class WaylandTest(unittest.TestCase):
    def start(self, size, panel):
        self.desktop = self.enterContext(Desktop(ARTEFACTS, f"wayland-{size}"))
        config = os.path.join(self.desktop.runtime, "weston.ini")
        pathlib.Path(config).write_text(f"[shell]\npanel-position={panel}\n")
        width, height = size.split("x")
        output = self.desktop.start_compositor(
            ["weston", "--backend=x11-backend.so", f"--width={width}", f"--height={height}",
             "--socket=milbane-wayland", "--idle-time=0", f"--config={config}"])
        env = self.desktop.env()
        env.pop("DISPLAY")  # Wayland only: no way back to X
        env.update(WAYLAND_DISPLAY="milbane-wayland", QT_QPA_PLATFORM="wayland")
        return screen.Window.on_output(self.desktop, output, env, "the whole window on weston",
                                       int(height) < HEIGHT + 100)

    def test_a_throw_on_weston(self):
        for size, panel in OUTPUTS:
            with self.subTest(size):
                self.play(self.start(size, panel))
                self.desktop.close()

    def play(self, window):
        window.ready(label="ready")
        window.throw()  # the whole window above the panel
        if window.zoom != 1:
            return

        # Qt's own title bar: the icon's red pip at its left, the title's ink.
        x, y = window.origin
        bar = window.screen()[max(0, y - 30):y, x:x + WIDTH].astype(int)
        self.assertTrue(screen.red_pip(bar[:, :40]).any(), "no icon at the left of the title bar")
        ink = np.all(bar[:, WIDTH // 3:2 * WIDTH // 3] < 100, axis=2)
        self.assertGreater(ink.sum(), 50, "no title in the title bar")

        # The settings by keyboard: four dice of ten.
        with window.settings(label="wayland-dialog") as (left, top, width, height):
            print(f"weston put the dialog's frame at {left - x},{top - y} ({width} x {height}); "
                  f"centred, it would be at {(WIDTH - width) // 2},{(HEIGHT - height) // 2}")
            self.desktop.key(*screen.TEN_FACES_FOUR_DICE, "Return")
        window.ready(4, label="four-dice")

