"""The real program under Debian's desktops' compositors, mutter (GNOME) and
KWin (KDE), nested in the test's Xvfb: a Wayland client or an X client of
their Xwayland, read from the compositor's output and driven through it."""

import glob
import os
import shutil
import unittest
from typing import NamedTuple, Optional

import numpy as np

import screen
from design import CONFIG_BUTTON, GREEN, HEIGHT, PRODUCT, WIDTH
from desktop import ARTEFACTS, Desktop, read_text

SOCKET = "milbane-desktop"


class Case(NamedTuple):
    """A desktop and what the program does there."""
    name: str
    desktop: str  # XDG_CURRENT_DESKTOP
    platform: Optional[str]  # asked for; None: the program's own choice
    xwayland: bool  # an X client of the desktop's Xwayland, not a Wayland one
    centred: bool  # the dialog centred over the main window
    kept: bool  # the keyboard kept in the dialog through a click on the main window
    minimise: bool  # minimised and brought back from a task manager


DESKTOPS = [
    Case("gnome", "GNOME", platform=None, xwayland=True, centred=True, kept=True,
         minimise=False),
    # Asked for Wayland, mutter 43 puts the dialog anywhere, and keeps the
    # keyboard on the main window when clicked (it refuses Qt's activation).
    Case("gnome_wayland", "GNOME", platform="wayland", xwayland=False, centred=False, kept=False,
         minimise=False),
    Case("kde", "KDE", platform=None, xwayland=False, centred=True, kept=True, minimise=True),
    Case("kde_xwayland", "KDE", platform="xcb", xwayland=True, centred=True, kept=True,
         minimise=True),
]


class DesktopTest(unittest.TestCase):
    def start_desktop(self, name, desktop, size="1280x1000"):
        self.desktop = self.enterContext(Desktop(ARTEFACTS, name))
        runtime = self.desktop.runtime
        env = self.desktop.env()
        env.pop("QT_QPA_PLATFORM")  # KWin brings its own
        env.update(XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP=desktop, HOME=runtime)
        x11 = os.path.join(runtime, "x11")
        if desktop == "GNOME":
            env["MUTTER_DEBUG_DUMMY_MODE_SPECS"] = size
            command = ["mutter", "--nested", "--wayland", f"--wayland-display={SOCKET}"]
        else:
            # A copy, without the file capability root without
            # CAP_SYS_RESOURCE may not run.
            kwin = os.path.join(runtime, "kwin_wayland")
            shutil.copy("/usr/bin/kwin_wayland", kwin)
            # KWin tells the programs it starts where its Xwayland is.
            tell = os.path.join(runtime, "tell-x11")
            with open(tell, "w") as f:
                f.write(f'#!/bin/sh\necho "$DISPLAY $XAUTHORITY" > {x11}.new && mv {x11}.new {x11}\n')
            os.chmod(tell, 0o755)
            width, height = size.split("x")
            command = [kwin, "--x11-display", self.desktop.display, "--width", width,
                       "--height", height, "--xwayland", "--socket", SOCKET, "--no-lockscreen",
                       tell]
        self.output = self.desktop.start_compositor(command, env)
        self.env = env
        log_path = os.path.join(ARTEFACTS, f"{name}-compositor.log")

        def xwayland():
            """The desktop's Xwayland, where its X clients live: its display
            and authority file (None: none needed), once it has said so."""
            if desktop == "GNOME":
                for line in read_text(log_path).splitlines():
                    if "Using public X11 display" in line:
                        auth = glob.glob(os.path.join(runtime, ".mutter-Xwaylandauth.*"))
                        if auth:
                            return line.split("display ")[1].split(",")[0], auth[0]
                return None
            if not os.path.exists(x11):
                return None
            told = read_text(x11).split()  # the display, and the authority if any
            display = told[0]
            authority = told[1] if len(told) > 1 else None
            return display, authority
        self.x11 = self.desktop.wait_for_value(xwayland, "the desktop's Xwayland")

    def start_program(self, platform, zoomed=False):
        env = dict(self.env)
        if platform:
            env["QT_QPA_PLATFORM"] = platform
        env.update(WAYLAND_DISPLAY=SOCKET, **self.x11_env())
        self.window = screen.Window.on_output(self.desktop, self.output, env, "the main window",
                                              zoomed)
        # A nested compositor loses the first click after the pointer enters
        # a window: the first goes to the window's empty green.
        self.window.press((WIDTH // 2, 300))

    def x11_env(self):
        display, auth = self.x11
        return {"DISPLAY": display, "XAUTHORITY": auth or os.devnull}

    def kwin_script(self, code):
        """Runs JavaScript in KWin, as Plasma's task manager drives it."""
        script = os.path.join(self.desktop.runtime, "script.js")
        with open(script, "w") as f:
            f.write("for (const c of workspace.clientList())\n"
                    f"    if (c.caption.startsWith('{PRODUCT}')) {{\n" + code + "\n}\n")
        send = ["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin"]
        out = self.desktop.run(send + ["/Scripting", "org.kde.kwin.Scripting.loadScript",
                                       f"string:{script}"])
        self.desktop.run(send + [f"/{out.split()[-1]}", "org.kde.kwin.Script.run"])
        self.desktop.run(send + ["/Scripting", "org.kde.kwin.Scripting.unloadScript",
                                 f"string:{script}"])

    def run_desktop(self, case):
        name = case.name
        self.name = name
        self.start_desktop(name, case.desktop)
        self.start_program(case.platform)
        # The program's window on the desktop's Xwayland, or none.
        listed = self.desktop.run(["xdotool", "search", "--onlyvisible", "--name", f"^{PRODUCT}"],
                                  check=False, env={**self.env, **self.x11_env()})
        self.assertEqual(bool(listed.split()), case.xwayland,
                         "through Xwayland" if case.xwayland else "a Wayland client")

        window = self.window
        window.ready(label=f"{name}-ready")
        window.throw()

        # Where the dialog opens; a click on 設定 behind it changes nothing;
        # ten faces, four dice, OK by the keypad's Enter on a box (which
        # GNOME's theme would have open the list).
        with window.settings(label=f"{name}-dialog") as (left, top, width, height):
            x, y = window.origin
            offset = (left + width / 2 - (x + WIDTH / 2), top + height / 2 - (y + HEIGHT / 2))
            print(f"{name}: the dialog's client area at {left - x},{top - y} of the main "
                  f"window's, its centre {offset[0]:+.0f},{offset[1]:+.0f} px off its centre")
            if case.centred:
                self.assertLessEqual(max(abs(offset[0]), abs(offset[1])), 4,
                                     f"the dialog's centre {offset} off the main window's")
            if case.kept:
                window.press(CONFIG_BUTTON)
            self.desktop.key(*screen.TEN_FACES_FOUR_DICE, "KP_Enter")
        window.ready(4, label=f"{name}-four-dice")
        self.assertIsNone(window.dialog_box(), "a second dialog opened behind the first")
        # Nothing asked of the platform that it cannot do.
        self.assertNotIn("does not support",
                         read_text(os.path.join(ARTEFACTS, f"{name}-program.log")))

        if not case.minimise:
            return
        # The main window minimised from the task manager takes the dialog
        # along; brought back, the dialog is there with the keyboard.
        with window.settings():
            self.kwin_script("c.minimized = true;")
            self.desktop.wait_for(lambda: window.screen()[y + 10, x], "the windows to be minimised",
                                  lambda pixel: not np.all(pixel == GREEN))
            window.screen(f"{name}-minimised")
            self.kwin_script("c.minimized = false; workspace.activeClient = c;")
            self.desktop.wait_for(window.dialog_box, "the dialog again")
            window.screen(f"{name}-restored")
            self.desktop.key("Tab", "Tab", "Home", "Return")  # from 0, OK

    def test_small_monitors(self):
        """A laptop monitor smaller than the designed window, on each desktop:
        the whole window on it, shown smaller, and a throw by mouse."""
        for desktop in ("GNOME", "KDE"):
            with self.subTest(desktop):
                self.name = f"{desktop.lower()}_small"
                self.start_desktop(self.name, desktop, "1024x700")
                self.start_program(None, zoomed=True)
                output = self.window.screen(f"{self.name}-ready")
                (x, y), zoom = self.window.origin, self.window.zoom
                w, h = screen.at(WIDTH, zoom), screen.at(HEIGHT, zoom)
                height, width = output.shape[:2]
                below_top = (0, 1, width - 1, height - 2)  # the output less its edges
                self.assertEqual(screen.overhang((x, y, w, h), below_top), (0, 0, 0, 0),
                                 f"the window at {x},{y}, {w}x{h}, beyond {below_top} of the "
                                 f"{width}x{height} output (left, top, right, bottom)")
                self.window.throw()
                self.desktop.close()


def _test(case):
    def test(self):
        self.run_desktop(case)
    test.__doc__ = f"{case.desktop}, platform {case.platform or 'of its own choice'}"
    return test


for _case in DESKTOPS:
    setattr(DesktopTest, f"test_{_case.name}", _test(_case))

