"""The Windows build under Wine, as a Windows user meets it: the installer
run silently in a fresh Wine prefix, the program started the way its
Start-menu entry starts it, played on screen with the mouse and the keyboard,
closed through the window manager, and uninstalled without a trace.

Needs MILBANE_WINDOWS_SETUP (the installer that scripts/package-windows
makes); without it the test is skipped: there is no Windows build to test."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

import screen
from desktop import Desktop, twips
from test_package import COMMAND_LINE

SETUP = os.environ.get("MILBANE_WINDOWS_SETUP", "")
ARTEFACTS = os.environ.get("MILBANE_ARTEFACTS", "build/tests/e2e-shots")
WINE = "/usr/lib/wine/wine64"


@unittest.skipUnless(os.path.exists(SETUP), "no Windows build (scripts/package-windows)")
class WindowsTest(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="milbane-wine-")
        self.addCleanup(shutil.rmtree, self.prefix, ignore_errors=True)
        self.desktop = Desktop(ARTEFACTS, "windows")
        self.desktop.__enter__()
        self.addCleanup(self.desktop.close)
        # Wine's server ends, its registry written, before the prefix goes.
        self.addCleanup(subprocess.run, ["/usr/lib/wine/wineserver", "-k"], env=self.env())
        self.wine(["wineboot", "-i"])

    def env(self):
        env = self.desktop.env()
        env.update(WINEPREFIX=self.prefix, WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="-all",
                   PATH="/usr/lib/wine:" + env["PATH"])
        env.pop("QT_QPA_PLATFORM", None)
        return env

    def wine(self, args, timeout=300):
        result = subprocess.run([WINE, *args], env=self.env(), capture_output=True,
                                timeout=timeout)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace")[-2000:])
        return result

    def drive(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def windows_path(self, path):
        """C:\\... for a path under the prefix's drive C."""
        return "C:\\" + os.path.relpath(path, self.drive()).replace("/", "\\")

    def installed(self):
        return glob.glob(self.drive("users", "*", "AppData", "Local", "Programs",
                                    "denshi-milbane"))

    def shortcut(self):
        return glob.glob(self.drive("users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                    "Start Menu", "Programs", "電子ミルバネ.lnk"))

    def test_install_play_uninstall(self):
        self.wine([SETUP, "/S"])
        self.assertTrue(self.installed(), "nothing installed")
        self.assertTrue(self.shortcut(), "no Start-menu entry")
        # What Windows' "Apps" list shows, exported as a .reg file (UTF-16).
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\denshi-milbane"
        self.wine(["reg", "export", key, "C:\\apps.reg", "/y"])
        with open(self.drive("apps.reg"), encoding="utf-16") as f:
            listed = f.read()
        for value in ('"DisplayName"="電子ミルバネ"', '"DisplayVersion"="1.0.0"',
                      '"Publisher"="電子ミルバネ開発チーム"', '"UninstallString"='):
            self.assertIn(value, listed)

        # The command line, by the Linux package's table (the rows that do not
        # open a display): answers into a pipe, as from a script.
        exe = self.windows_path(self.installed()[0]) + "\\denshi-milbane.exe"
        for args, changes, status, out, err in COMMAND_LINE:
            if "DISPLAY" in changes:
                continue
            with self.subTest(args=args, env=changes):
                env = self.env()
                for name, value in changes.items():
                    if value is None:
                        env.pop(name, None)
                    else:
                        env[name] = value
                result = subprocess.run([WINE, exe, *args], env=env, capture_output=True,
                                        timeout=300)
                self.assertEqual(result.returncode, status)
                self.assertTrue(result.stdout.decode().startswith(out), result.stdout.decode())
                self.assertEqual(result.stderr.decode(), err)
        # Neither a console nor a redirection, as from a shortcut: a box.
        box = subprocess.Popen([WINE, exe, "--help"], env=self.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.desktop.wait_active(self.desktop.find_window("^電子ミルバネ$"))
        self.desktop.shot("windows-help-box")
        self.desktop.key("Return")
        self.assertEqual(box.wait(timeout=60), 0)

        # As the Start-menu entry starts it.
        lnk = self.windows_path(self.shortcut()[0])
        self.desktop.program = subprocess.Popen([WINE, "start", "/wait", lnk], env=self.env(),
                                                start_new_session=True)
        self.desktop.processes.append(self.desktop.program)
        main = self.desktop.main = self.desktop.find_window("^電子ミルバネ", min_width=500)
        self.desktop.wait_active(main)
        self.assertEqual(self.desktop.geometry(main)[2:], (screen.WIDTH, screen.HEIGHT))
        press = lambda point: self.desktop.click(main, *point)
        wait = lambda condition, what, label=None: self.desktop.wait_screen(condition, what, label)
        client = wait(lambda c: all(screen.read_die(c, 2, i) == 0 for i in range(2)),
                      "two blank dice", "windows-ready")
        self.assertTrue(screen.near(client[5, 5], screen.GREEN))

        # A throw by mouse, then one by keyboard on the action button, which
        # the clicks left with the focus.
        screen.play_throw(self, wait, press)
        self.desktop.key("space")
        wait(lambda c: all(screen.read_die(c, 2, i) for i in range(2)), "rolling")
        self.desktop.key("space")
        client = wait(lambda c: all(screen.label_shown(c, 2, i) for i in range(2)), "values",
                      "windows-result")
        faces = [screen.read_die(client, 2, i) for i in range(2)]
        self.assertEqual([screen.read_label(client, 2, i) for i in range(2)], faces)
        tens, units = screen.read_total(client, True)
        self.assertEqual((tens or 0) * 10 + units, sum(faces))
        self.desktop.key("space")

        # One die of nine faces: one digit; four dice of ten: two.
        for keys, count, two_digits in (
                (("Tab", "Tab", "Tab", "End", "Up", "Tab", "Home", "Return"), 1, False),
                (("Tab", "Tab", "Tab", "End", "Tab", "End", "Return"), 4, True)):
            press(screen.CONFIG_BUTTON)
            dialog = self.desktop.find_window("^ミルバネ設定$")
            self.desktop.wait_active(dialog)
            self.desktop.shot("windows-dialog")
            self.desktop.key(*keys)
            self.desktop.wait_gone("^ミルバネ設定$")
            wait(lambda c: screen.die_slots(c) == screen.DIE_LEFTS[count] and
                 screen.read_total(c, two_digits) == (None, None), f"{count} dice",
                 f"windows-{count}-dice")
            panel = twips(4320 if two_digits else 5640) + 3
            self.assertTrue(screen.near(wait(lambda c: True, "the screen")[screen.PANEL_TOP + 3, panel],
                                        screen.PANEL, 2))

        self.desktop.close_window(main)
        self.assertEqual(self.desktop.program.wait(timeout=60), 0)

        self.wine([self.windows_path(self.installed()[0]) + "\\uninstall.exe", "/S"])
        # The uninstaller runs on from a copy of itself: until its work is seen.
        self.desktop.wait_for(lambda: not self.installed() and not self.shortcut(),
                              "the uninstaller to finish")
        result = subprocess.run([WINE, "reg", "query", key], env=self.env(), capture_output=True)
        self.assertNotEqual(result.returncode, 0, "the uninstall entry is left")


if __name__ == "__main__":
    unittest.main(verbosity=2)
