"""The Windows build under Wine, as a Windows user meets it: installed in a
fresh prefix, started as its Start-menu entry starts it, played by mouse and
keyboard, closed, and uninstalled without a trace. Needs
MILBANE_WINDOWS_SETUP, the installer scripts/package-windows makes."""

import glob
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

import screen
from command_line import COMMAND_LINE, HELP, HELP_JA, check_command_line, encoding
from design import HEIGHT, PRODUCT, WIDTH
from desktop import ARTEFACTS, Desktop, VERSION, WINE

SETUP = os.environ.get("MILBANE_WINDOWS_SETUP", "")
INSTALLER = os.path.join(os.environ.get("MILBANE_WINDOWS_BUILD", ""), "packaging", "windows",
                         "installer.cmake")
KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\denshi-milbane"
# Installs, each uninstalled again leaving the user's own files: the folder
# typed (None: the one offered), a version installed before, running.
INSTALLS = [
    ("into a folder of the user's", "家計簿", None, False),
    ("over the same version", None, "same", False),
    ("over an older version", None, "older", False),
    ("while the program runs", None, "same", True),
]


def wine_carries(args, changes):
    """Whether Wine can carry a command-line row to the program and back."""
    if "DISPLAY" in changes:
        return False  # Windows has no display to name
    if encoding(changes) == "latin-1":
        return False  # Windows writes UTF-8, where Linux wrote "?"
    if not changes and not "".join(args).isascii():
        return False  # a plain C locale hands Wine its arguments as ASCII
    return True


@unittest.skipUnless(os.path.exists(SETUP), "no Windows build (scripts/package-windows)")
class WindowsTest(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="milbane-wine-")
        self.addCleanup(shutil.rmtree, self.prefix, ignore_errors=True)
        # For the laptop's case a laptop's screen under a taskbar, there
        # before Wine's session, which reads the work area as it starts.
        laptop = self._testMethodName == "test_laptop_screen"
        self.desktop = self.enterContext(Desktop(ARTEFACTS, f"windows-{self._testMethodName}",
                                                 size="1920x1080" if laptop else "1280x1024"))
        if laptop:
            self.desktop.set_panel(48)
        self.env = self.desktop.wine(self.prefix)

    def wine(self, args, status=0, **env):
        result = subprocess.run([WINE, *args], env={**self.env, **env}, capture_output=True,
                                timeout=300)
        self.assertEqual(result.returncode, status, result.stderr.decode(errors="replace")[-2000:])
        return result

    def registered(self):
        """Whether the Apps list has the program."""
        return subprocess.run([WINE, "reg", "query", KEY], env=self.env,
                              capture_output=True).returncode == 0

    def drive(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def windows_path(self, path):
        """C:\\... for a path under the prefix's drive C."""
        return "C:\\" + os.path.relpath(path, self.drive()).replace("/", "\\")

    def installed(self):
        return glob.glob(self.drive("users", "*", "AppData", "Local", "Programs",
                                    "denshi-milbane"))

    def start_program(self, exe):
        """The installed program, as its Start-menu entry starts it."""
        return self.desktop.start_program(exe, (WINE, "start", "/wait"), self.env)

    def assert_listed(self):
        """Windows' "Apps" list (exported as a .reg file) has the program once."""
        self.wine(["reg", "export", KEY, "C:\\apps.reg", "/y"])
        with open(self.drive("apps.reg"), encoding="utf-16") as f:
            listed = f.read()
        self.assertEqual(listed.count('"DisplayName"='), 1, listed)
        for value in (f'"DisplayName"="{PRODUCT}"', f'"DisplayVersion"="{VERSION}"',
                      '"Publisher"="電子ミルバネ開発チーム"', '"UninstallString"=',
                      '"EstimatedSize"=dword:'):
            self.assertIn(value, listed)

    def fixed_frame(self, wid):
        """No resize action for a window without a sizing border."""
        allowed = self.desktop.prop(wid, "_NET_WM_ALLOWED_ACTIONS")
        self.assertIn("_ACTION_CLOSE", allowed)
        self.assertNotIn("_ACTION_RESIZE", allowed)

    def installer(self, version):
        """An installer of another version, made as the build makes its own,
        from the same files and one that the current version no longer has."""
        stage = os.path.join(self.prefix, "stage", f"denshi-milbane-{version}")
        shutil.copytree(os.path.join(os.path.dirname(SETUP), f"denshi-milbane-{VERSION}"), stage)
        with open(os.path.join(stage, "stale.dll"), "w") as f:
            f.write("a file of the older version\n")
        subprocess.run(["cmake", f"-DSTAGE={stage}", f"-DVERSION={version}", "-P", INSTALLER],
                       check=True, capture_output=True)
        return os.path.join(self.prefix, "stage", f"denshi-milbane-{version}-setup.exe")

    def test_installs(self):
        for name, folder, before, running in INSTALLS:
            with self.subTest(name):
                self.run_install(folder, before, running)

    def run_install(self, folder, before, running):
        setup = [SETUP, "/S"]
        mine = []
        if folder:
            # The user's folder, with a file and a folder of their own.
            target = self.drive("users", "Public", folder)
            os.makedirs(os.path.join(target, "写真"), exist_ok=True)
            mine = [os.path.join(target, "家計簿.txt"), os.path.join(target, "写真", "海.txt")]
            for path in mine:
                with open(path, "w") as f:
                    f.write("ユーザーのファイル\n")
            setup.append("/D=" + self.windows_path(target))
        if before:
            self.wine([self.installer("0.9.0") if before == "older" else SETUP, "/S"])
        if running:
            self.start_program(self.windows_path(self.installed()[0]) + "\\denshi-milbane.exe")
            # Neither replaces nor removes a running program's files: they
            # give up, silently saying so (2); the uninstaller run in place
            # (_?=), as the Apps list's copy of it runs, to read its status.
            self.wine(setup, status=2)
            place = self.windows_path(self.installed()[0])
            self.wine([place + "\\uninstall.exe", "/S", "_?=" + place], status=2)
            self.assertTrue(os.path.exists(os.path.join(self.installed()[0], "Qt6Core.dll")),
                            "the running program's files were removed")
            self.assertEqual(self.desktop.close_program(), 0, "the program's exit status")
        self.wine(setup)
        where = self.drive("users", "Public", folder) if folder else self.installed()[0]
        self.assertTrue(os.path.exists(os.path.join(where, "licenses", "LGPL-3.txt")),
                        f"no licenses installed in {where}")
        self.assertFalse(os.path.exists(os.path.join(where, "stale.dll")), "an old file is left")
        self.assert_listed()

        self.wine([self.windows_path(where) + "\\uninstall.exe", "/S"])
        # It runs on from a copy of itself; the Apps entry goes last.
        self.desktop.wait_for(self.registered, "the uninstaller to finish",
                              lambda listed: not listed)
        self.assertFalse(os.path.exists(os.path.join(where, "denshi-milbane.exe")),
                         "the program is left after the uninstall")
        for path in mine:
            self.assertTrue(os.path.exists(path), f"the user's {path} is gone")
        if mine:  # the user's folder stays, with their files alone
            self.assertTrue(os.path.exists(where), "the user's folder is gone")
            self.assertEqual(sorted(os.listdir(where)), ["写真", "家計簿.txt"])
        else:
            self.assertFalse(os.path.exists(where), f"the folder {where} is left")

    def test_laptop_screen(self):
        """1920 x 1080 at 144 dpi (150 %), under a taskbar: the window whole
        on the screen, shown smaller, and a throw by mouse."""
        self.wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                   "REG_DWORD", "/d", "144", "/f"])
        self.wine([SETUP, "/S"])
        main = self.start_program(self.windows_path(self.shortcut()[0]))
        x, y, w, h = self.desktop.frame(main)
        area = self.desktop.work_area()
        self.assertEqual(screen.overhang((x, y, w, h), area), (0, 0, 0, 0),
                         f"the frame at {x},{y}, {w}x{h}, beyond the work area {area} (left, "
                         f"top, right, bottom)")
        window = screen.Window(self.desktop, main)
        self.assertLess(window.zoom, 1.5, "not shown smaller")
        window.throw(label="windows-150")
        self.assertEqual(self.desktop.close_program(), 0, "the program's exit status")

    def shortcut(self):
        return glob.glob(self.drive("users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                    "Start Menu", "Programs", f"{PRODUCT}.lnk"))

    def test_install_play_uninstall(self):
        self.wine([SETUP, "/S"])
        self.assertTrue(self.installed(), "nothing installed")
        self.assertTrue(self.shortcut(), "no Start-menu entry")
        self.assert_listed()
        for name in ("NOTICE.txt", "LGPL-3.txt", "GPL-3.txt", "GCC-exception-3.1.txt",
                     "winpthreads.txt"):
            self.assertTrue(glob.glob(os.path.join(self.installed()[0], "**", name),
                                      recursive=True), name)
        # Every shipped program and DLL at a random address, with high
        # entropy, and no code run from data (DllCharacteristics 0x160).
        shipped = glob.glob(os.path.join(self.installed()[0], "**", "*.dll"), recursive=True)
        self.assertEqual(len(shipped), 8, f"the DLLs shipped: {shipped}")
        for path in shipped + [os.path.join(self.installed()[0], "denshi-milbane.exe")]:
            with open(path, "rb") as f:
                head = f.read(1024)
            flags = struct.unpack_from("<H", head, struct.unpack_from("<I", head, 0x3C)[0] + 94)[0]
            self.assertEqual(flags & 0x160, 0x160, f"DllCharacteristics of {path}")

        # The command-line table, into pipes, and Windows' own /?.
        exe = self.windows_path(self.installed()[0]) + "\\denshi-milbane.exe"
        rows = COMMAND_LINE + [(["/?"], {}, 0, HELP, "")]
        check_command_line(self, [WINE, exe], self.env, written="utf-8",
                           rows=[row for row in rows if wine_carries(row[0], row[1])])
        # From a Japanese cmd: into its console, and into a file in the
        # console's code page, which `type` shows right there.
        help_file = self.drive("help.txt")
        self.wine(["start", "/wait", "cmd", "/c", f"chcp 932 >nul & {exe} --help & "
                   f"{exe} --help > C:\\help.txt"], LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
        self.assertEqual(self.desktop.windows(f"^{PRODUCT}$"), [], "a box instead of the console")
        with open(help_file, "rb") as f:
            self.assertEqual(f.read().decode("cp932"), HELP_JA, "the help written in code page 932")
        # Neither a console nor a redirection, as from a shortcut: a box.
        self.desktop.spawn_program([WINE, exe, "--help"], self.env, logged=False)
        self.desktop.wait_active(self.desktop.find_window(f"^{PRODUCT}$"))
        self.desktop.shot("windows-help-box")
        self.desktop.key("Return")
        self.assertEqual(self.desktop.program.wait(timeout=60), 0, "the help box's exit status")

        # As the Start-menu entry starts it.
        main = self.start_program(self.windows_path(self.shortcut()[0]))
        self.assertEqual(self.desktop.geometry(main)[2:], (WIDTH, HEIGHT), "the client area")
        self.fixed_frame(main)
        window = screen.Window(self.desktop, main)
        window.ready(label="windows-ready")

        # A throw by mouse, then one by keyboard on the action button, which
        # the clicks left with the focus.
        window.throw()
        self.desktop.key("space")
        window.rolling()
        self.desktop.key("space")
        window.result(label="windows-result")
        self.desktop.key("space")

        # The keyboard alone, from the settings button. Closing the settings
        # by Enter leaves the next Enter alive.
        self.desktop.key("Tab")
        with window.settings("Return") as dialog:
            self.fixed_frame(dialog)
            self.desktop.key("Return")
        self.desktop.key("Tab", "Return")
        window.rolling()
        self.desktop.key("Return", "Return", "Tab")  # stop, reset, to settings
        window.ready()
        for closing in (("Return",), ("Tab", "Return"), ("space",)):
            with window.settings("Return"):
                self.desktop.key(*closing)
            window.ready()

        # One die of nine faces: one digit; four dice of ten: two.
        for keys, count, two_digits in (
                (("Tab", "Tab", "Tab", "End", "Up", "Tab", "Home", "Return"), 1, False),
                ((*screen.TEN_FACES_FOUR_DICE, "Return"), 4, True)):
            with window.settings(label="windows-dialog"):
                self.desktop.key(*keys)
            window.ready(count, two_digits, f"windows-{count}-dice")

        self.assertEqual(self.desktop.close_program(), 0, "the program's exit status")

        self.wine([self.windows_path(self.installed()[0]) + "\\uninstall.exe", "/S"])
        # The uninstaller runs on from a copy of itself: until its work is seen.
        self.desktop.wait_for(lambda: (self.installed(), self.shortcut()),
                              "the uninstaller to finish", lambda left: left == ([], []))
        self.assertFalse(self.registered(), "the uninstall entry is left")

