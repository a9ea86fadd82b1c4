"""The pictures under docs/ of the real program, as a user sees it, taken
on the end-to-end tests' desktop (scripts/render-pictures runs it):

    python3 scripts/docs_pictures.py PROGRAM DIR [SETUP]

writes DIR/screenshot.png (a throw of four dice, framed), DIR/laptop-150.png
(a 1920 x 1080 screen at 150 % under a taskbar) and, given SETUP, the
Windows installer, its pages under Wine in DIR/windows/."""

import glob
import os
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import screen  # noqa: E402
from design import ACTION_BUTTON  # noqa: E402
from desktop import Desktop, WINE  # noqa: E402

# The desktop, the keys that set the dice (None: as they start), how many
# dice, and whether the whole screen shows.
PICTURES = {
    "screenshot.png": (dict(size="1280x1024"),
                       (*screen.FROM_ZERO_TEN_FACES_FOUR_DICE, "Return"), 4, False),
    "laptop-150.png": (dict(size="1920x1080", scale=1.5), None, 2, True),
}


def take(binary, name, out):
    """Picture `name` of PICTURES, written to `out`."""
    desktop_args, keys, count, whole = PICTURES[name]
    with tempfile.TemporaryDirectory() as scratch, Desktop(scratch, "docs", **desktop_args) as d:
        if whole:
            d.set_panel(48)
        main = d.start_program(binary)
        window = screen.Window(d, main)
        if keys:
            with window.settings():
                d.key(*keys)
        window.ready(count)
        window.press(ACTION_BUTTON)
        window.rolling(count)
        window.press(ACTION_BUTTON)
        window.result(count)
        # The pointer off the buttons, so that neither shows it hovering.
        d.run(["xdotool", "mousemove", "--sync", *(str(int(n) - 1) for n in d.size.split("x"))])
        x, y, w, h = d.frame(main)
        picture = d.shot() if whole else d.shot()[y:y + h, x:x + w]
        screen.read_screenshot(picture)
        Image.fromarray(picture).save(out, optimize=True)


def take_windows(setup, out):
    """The installer's folder and finish pages and the uninstaller's, in
    Japanese, from a fresh Wine prefix."""
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch, Desktop(scratch, "docs-windows") as d:
        prefix = os.path.join(scratch, "wine")
        env = d.wine(prefix, LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
        wine = lambda *args: subprocess.Popen([WINE, *args], env=env)

        def page(title, name, shown):
            """The window of `title`, framed, once `shown`, kept as `name`."""
            wid = d.find_window(title)
            d.wait_active(wid)

            def framed():
                """The framed window painted whole (the same in two shots
                running) and `shown`; else None."""
                x, y, w, h = d.frame(wid)
                first = d.shot()[y:y + h, x:x + w]
                second = d.shot()[y:y + h, x:x + w]
                settled = np.array_equal(first, second)
                return second if settled and shown(second) else None
            Image.fromarray(d.wait_for_value(framed, name)).save(os.path.join(out, name))

        installing = wine(setup)
        installed = lambda: glob.glob(os.path.join(
            prefix, "drive_c", "users", "*", "AppData", "Local", "Programs", "denshi-milbane",
            "uninstall.exe"))
        page("セットアップ", "setup-folder.png", lambda shot: True)
        d.key("Return")  # Install
        # The finish page, once installed: the wizard's dark blue down its left.
        page("セットアップ", "setup-finish.png", lambda shot: installed() and np.mean(
            (shot[..., 2] > 100) & (shot[..., 0] < 60)) > 0.1)
        d.key("space", "Return")  # not started; Finish
        installing.wait()
        uninstalling = wine(installed()[0])
        page("アンインストール", "uninstall-confirm.png", lambda shot: True)
        d.key("Escape")
        uninstalling.wait()


def same_page(kept, made):
    """Whether an installer's page is as it was, but for the free space shown."""
    kept, made = screen.pixels(kept, made)
    return made.shape == kept.shape and np.mean(np.any(made != kept, axis=2)) < 0.005


def update(made, kept, same):
    """`kept` replaced by `made` unless `same` says it shows the same; says which."""
    if os.path.exists(kept) and same(kept, made):
        print(f"kept {kept}: it shows the program as it is now")
    else:
        os.replace(made, kept)
        print(f"made {kept}")


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: scripts/docs_pictures.py PROGRAM DIR [SETUP]")
    out = sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        for picture in PICTURES:
            take(os.path.abspath(sys.argv[1]), picture, os.path.join(scratch, picture))
            update(os.path.join(scratch, picture), os.path.join(out, picture), screen.shows_now)
        if len(sys.argv) == 4:
            take_windows(os.path.abspath(sys.argv[3]), os.path.join(scratch, "windows"))
            os.makedirs(os.path.join(out, "windows"), exist_ok=True)
            for page in sorted(os.listdir(os.path.join(scratch, "windows"))):
                update(os.path.join(scratch, "windows", page), os.path.join(out, "windows", page),
                       same_page)
