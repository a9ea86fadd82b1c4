"""The built program in a real X window, driven and read only from outside,
as a user meets it."""

import re
import unittest

import numpy as np

import screen
from design import (ACTION_BUTTON, CAPTIONS, DIALOG_H, DIALOG_W, DIE_TOP, HEIGHT, PANEL_H,
                    PANEL_TOP, TITLE, WIDTH)
from desktop import ARTEFACTS, BINARY, Desktop


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.desktop = self.enterContext(Desktop(ARTEFACTS, self.id().split(".")[-1]))
        self.main = self.desktop.start_program(BINARY)
        self.window = screen.Window(self.desktop, self.main)

    def hold(self, key):
        """A key held down past the keyboard's repeat delay (660 ms)."""
        self.desktop.run(["xdotool", "keydown", key, "sleep", "1.5", "keyup", key])

    def test_start(self):
        self.assertEqual(self.desktop.geometry(self.main)[2:], (WIDTH, HEIGHT), "the client area")
        self.assertEqual(self.desktop.frame(self.main)[:2], (0, 0), "the frame is off the corner")

        self.assertIn(f'"{TITLE}"', self.desktop.prop(self.main, "_NET_WM_NAME"))
        # Motif functions given (flag 1): close (32), no minimise (8) or
        # maximise (16); the window manager offers no maximise.
        hints = self.desktop.prop(self.main, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
        self.assertEqual(int(hints[0], 16) & 1, 1, f"no Motif functions given: {hints}")
        self.assertEqual(int(hints[1], 16) & (8 | 16 | 32), 32,
                         f"Motif functions not close alone: {hints}")
        self.assertNotIn("MAXIMIZE", self.desktop.prop(self.main, "_NET_WM_ALLOWED_ACTIONS"))

        # Two blank dice on the window's green (their see-through corners
        # read), no values, the dark blank digits.
        self.window.ready(label="ready")

    def test_throw(self):
        # Keys held till the X server repeats them: each is still one step.
        self.desktop.key("Tab")
        self.hold("Return")
        self.window.rolling(label="rolling")
        self.hold("space")
        values = self.window.result(label="result")
        for value in values:
            self.assertIn(value, range(1, 7), f"a die of six faces threw {value}")
        self.window.press(ACTION_BUTTON)
        self.window.ready(label="reset")

    def test_settings(self):
        with self.window.settings(label="dialog") as dialog:
            self.assertEqual(self.desktop.geometry(dialog)[2:], (DIALOG_W, DIALOG_H))
            # Centred over the main window, frames included.
            x, y, w, h = self.desktop.frame(dialog)
            main_x, main_y, main_w, main_h = self.desktop.frame(self.main)
            off_centre = (x + w / 2 - (main_x + main_w / 2), y + h / 2 - (main_y + main_h / 2))
            self.assertLessEqual(max(abs(off_centre[0]), abs(off_centre[1])), 2,
                                 f"the dialog's centre off the main window's by {off_centre}")
            # Escape leaves the dialog open: the keys after it still reach it.
            # From 0, up to 10, four dice; Enter on a box is OK.
            self.desktop.key("Escape", *screen.FROM_ZERO_TEN_FACES_FOUR_DICE, "Return")
        self.window.ready(4, label="four-dice")

        # Cancel, and the close box, after changing everything: nothing changes.
        ways_out = {CAPTIONS["cmdCancel"]: lambda dialog: self.window.cancel(),
                    "the close box": self.desktop.close_window}
        for way, leave in ways_out.items():
            with self.subTest(way), self.window.settings() as dialog:
                self.desktop.key("Tab", "Tab", "Down", "Tab", "Home", "Tab", "Home")
                leave(dialog)
            self.window.ready(4)

        # The dice run from 0 to 10 and the total takes two digits.
        self.window.press(ACTION_BUTTON)
        self.window.rolling(4)
        self.window.press(ACTION_BUTTON)
        values = self.window.result(4, label="four-dice-result")
        for value in values:
            self.assertIn(value, range(0, 11), f"a die from 0 to 10 threw {value}")

    def test_one_digit_layout(self):
        # One die of nine faces: the largest total, 9, needs one digit.
        with self.window.settings():
            self.desktop.key("Tab", "Tab", "Tab", "End", "Up", "Tab", "Home", "Return")
        self.window.ready(1, two_digits=False, label="one-die")
        self.window.press(ACTION_BUTTON)
        self.window.rolling(1)
        self.window.press(ACTION_BUTTON)
        self.window.result(1, two_digits=False, label="one-die-result")

    def test_close_box_ends_the_program(self):
        self.assertEqual(self.desktop.close_program(), 0, "the program's exit status")


# Screens under a panel: monitors, the desktop's scale (or one a monitor),
# the panel's size in device pixels and its edge.
SMALL_SCREENS = [
    ("1920x1080 at 150 %", "1920x1080", 1.5, 48, "bottom"),
    ("2560x1440 at 200 %", "2560x1440", 2, 48, "bottom"),
    ("1366x768", "1366x768", None, 40, "bottom"),
    ("1280x1024 under a top bar", "1280x1024", None, 32, "top"),
    ("1024x768 beside a dock", "1024x768", None, 64, "left"),
    ("a second monitor", "1280x1024+1366x768", [1, 1.25], 32, "top"),
]


class SmallScreenTest(unittest.TestCase):
    """The whole window in the work area, smaller where it must be, played;
    as designed again on a screen where it fits."""

    def assert_inside(self, desktop, wid, area):
        """The window's frame inside the work area, where the window manager
        put it and where the program asked (which Windows would not mend)."""
        x, y, w, h = desktop.frame(wid)
        hints = desktop.prop(wid, "WM_NORMAL_HINTS")
        asked = tuple(int(n) for n in re.search(r"location: (-?\d+), (-?\d+)", hints).groups())
        if "gravity: Static" in hints:  # the client area's place, not the frame's
            left, _, top, _ = desktop.frame_extents(wid)
            asked = (asked[0] - left, asked[1] - top)
        for fx, fy in ((x, y), asked):
            self.assertEqual(screen.overhang((fx, fy, w, h), area), (0, 0, 0, 0),
                             f"frame {fx},{fy} {w}x{h} beyond the work area {area} (left, top, "
                             f"right, bottom)")
        return asked

    def test_small_screens(self):
        for name, monitor, scale, panel, edge in SMALL_SCREENS:
            with self.subTest(name):
                desktop = self.enterContext(Desktop(ARTEFACTS, f"small-{monitor}", size=monitor,
                                                    scale=scale))
                area = desktop.set_panel(panel, edge)
                main = desktop.start_program(BINARY)
                # From its first frame, inside the work area from its corner
                # (within the pixel or two a fractional scale rounds).
                asked = self.assert_inside(desktop, main, area)
                x, y, w, h = desktop.frame(main)
                for at in ((x, y), asked):
                    self.assertLessEqual(max(abs(at[0] - area[0]), abs(at[1] - area[1])), 2,
                                         f"the frame at {at}, not the work area's corner {area}")
                client = desktop.client_shot(f"{monitor}-ready")
                window = screen.Window(desktop, main)
                zoom = window.zoom
                border = (w - client.shape[1], h - client.shape[0])
                # The scale of the first monitor, where the window opens.
                s = scale[0] if isinstance(scale, list) else scale or 1
                if area[2] >= WIDTH * s + border[0] and area[3] >= HEIGHT * s + border[1]:
                    self.assertEqual(client.shape[:2], (HEIGHT * s, WIDTH * s))
                else:
                    # Filling the area across or down (to within the pixel and
                    # a half it spares, and rounding), in proportion.
                    spare = (area[2] - w, area[3] - h)
                    self.assertLessEqual(min(spare), 3 * s, f"the frame {w}x{h} leaves {spare} "
                                         f"of the work area {area}, across and down")
                    self.assertLess(zoom, s, "not shown smaller")
                    self.assertLessEqual(abs(client.shape[0] - HEIGHT * zoom), 3,
                                         f"{client.shape[0]} px high at zoom {zoom}")

                window.throw(label=monitor)

                # Moved so far that its settings, centred, would reach 8 px
                # under the panel: they open inside the work area even so.
                dw, dh = (round(n * s) + b for n, b in zip((DIALOG_W, DIALOG_H), border))
                if edge == "left":
                    desktop.move_window(main, area[0] - 8 - (w - dw) // 2, y)
                elif edge == "top":
                    desktop.move_window(main, x, area[1] - 8 - (h - dh) // 2)
                else:
                    desktop.move_window(main, x, area[1] + area[3] + 8 - (h + dh) // 2)
                with window.settings("Tab", "space") as dialog:
                    self.assertEqual(desktop.geometry(dialog)[2:],
                                     tuple(screen.at(n, s) for n in (DIALOG_W, DIALOG_H)))
                    self.assert_inside(desktop, dialog, area)
                    window.cancel()
                if isinstance(scale, list):
                    # On the second monitor: fitted to its free area, the
                    # settings there too.
                    (mx, _), (mw, mh) = (map(int, m.split("x")) for m in monitor.split("+"))
                    second = (mx, area[1], mw, mh - area[1])
                    desktop.run(["wmctrl", "-i", "-r", main, "-e", f"0,{mx + 50},{mh // 2},-1,-1"])
                    desktop.wait_for(lambda: desktop.frame(main)[:2], "the window at its corner",
                                     lambda at: max(abs(a - b) for a, b in zip(at, second)) <= 2)
                    self.assert_inside(desktop, main, second)
                    window.fit()
                    with window.settings() as dialog:
                        self.assert_inside(desktop, dialog, second)
                        desktop.close_window(dialog)

    def test_screen_change(self):
        # The screen made smaller under the program, then large enough again:
        # the dice and digits exactly as they first were.
        desktop = self.enterContext(Desktop(ARTEFACTS, "screen-change", resizable=True))
        main = desktop.start_program(BINARY)
        self.assertEqual(desktop.geometry(main)[2:], (WIDTH, HEIGHT))
        first = desktop.client_shot()[DIE_TOP:PANEL_TOP + PANEL_H]
        for size, designed in (("800x600", False), ("1280x1024", True)):
            desktop.run(["xrandr", "-s", size])
            width, height = (int(n) for n in size.split("x"))
            desktop.wait_for(lambda: desktop.geometry(main)[2], f"the window to fit {size}",
                             lambda client_width: (client_width == WIDTH) == designed)
            desktop.wait_for(lambda: desktop.frame(main)[2], f"the frame within {width} px",
                             lambda frame_width: frame_width <= width)
            self.assert_inside(desktop, main, (0, 0, width, height))
            client = desktop.wait_screen(
                lambda c: screen.read_die(c, 2, 0, c.shape[1] / WIDTH) == 0, "blank dice",
                f"screen-change-{size}")
            if designed:
                self.assertEqual(client.shape[:2], (HEIGHT, WIDTH), f"the client area on {size}")
            else:
                self.assertLess(client.shape[1], WIDTH, f"not shown smaller on {size}")
        again = client[DIE_TOP:PANEL_TOP + PANEL_H]
        changed = np.count_nonzero(np.any(again != first, axis=2))
        self.assertEqual(changed, 0, "pixels of the dice and digits changed once the screen grew "
                                     "back")

