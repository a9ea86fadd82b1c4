"""The desktop files and the Debian package, checked with a distribution's
tools: validators, icons in every size, the package reproducible, silent
under lintian --pedantic, composed into a catalog, and run."""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

from design import HEIGHT, WIDTH
from desktop import ARTEFACTS, BINARY, BUILD, Desktop, SOURCE, VERSION, read_text
from screen import shows_now

sys.path.insert(0, os.path.join(SOURCE, "scripts"))
from docs_pictures import PICTURES, take  # noqa: E402  the pictures' own recipe

PACKAGING = os.path.join(SOURCE, "packaging")
ICONS = os.path.join(BUILD, "packaging", "icons")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

HINT = "Try 'denshi-milbane --help' for more information."
HINT_JA = "詳しくは 'denshi-milbane --help' を実行してください。"
HELP = "Usage: denshi-milbane [OPTION]...\nRoll up to four dice and see each value and their total"
HELP_JA = "使用法: denshi-milbane [オプション]...\n最大 4 個のサイコロを振り、目と合計を表示します (電子ミルバネ)。\n"
NO_DISPLAY = ("denshi-milbane: cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is\nset); "
              "start it from a desktop session, or on a virtual display with xvfb-run\n")
NO_DISPLAY_JA = ("denshi-milbane: ディスプレイを開けません (DISPLAY も WAYLAND_DISPLAY も設定され\nてい"
                 "ません)。デスクトップのセッションから、または xvfb-run で仮想ディスプレイ上\nで起動して"
                 "ください。\n")
DISPLAY_4242_JA = ("denshi-milbane: ディスプレイ :4242 を開けません。デスクトップのセッションから、\n"
                   "または xvfb-run で仮想ディスプレイ上で起動してください。\n")
UNSET = {"DISPLAY": None, "WAYLAND_DISPLAY": None}
VERSION_EN = (f"denshi-milbane {VERSION}\nCopyright (C) 2026 電子ミルバネ開発チーム\n\nLicense: "
              "proprietary. All rights reserved by 電子ミルバネ開発チーム.\n")
VERSION_JA = (f"denshi-milbane {VERSION}\nCopyright (C) 2026 電子ミルバネ開発チーム\n\nライセンス: "
              "プロプライエタリ。著作権は電子ミルバネ開発チームが保有します。\n")
# Arguments, locale and environment, exit status, what stdout starts with,
# stderr: lines within 79 columns (a Japanese letter two), byte for byte in
# the locale's encoding; no locale is plain C, where the program writes UTF-8.
COMMAND_LINE = [
    (["--help"], {}, 0, HELP + " (電子ミルバネ).\n", ""),
    (["-h"], {"LANG": "C.UTF-8"}, 0, HELP + " (電子ミルバネ).\n\nOpens the dice window. Start, "
     "stop and reset the dice with its action button;\nchoose", ""),
    (["--version"], {}, 0, VERSION_EN, ""),
    (["-v"], {}, 0, VERSION_EN, ""),
    (["-platform", "xcb", "--version"], {}, 0, VERSION_EN, ""),
    (["--bogus"], {"LANG": "C.UTF-8"}, 2, "", f"denshi-milbane: unknown option '--bogus'\n{HINT}\n"),
    (["--サイコロ"], {}, 2, "", f"denshi-milbane: unknown option '--サイコロ'\n{HINT}\n"),
    # A name longer than a line stands whole on a line of its own.
    (["--" + "b" * 70], {}, 2, "", f"denshi-milbane: unknown option\n'--{'b' * 70}'\n{HINT}\n"),
    (["-bogus=1"], {}, 2, "", f"denshi-milbane: unknown option '-bogus'\n{HINT}\n"),
    (["-platform"], {}, 2, "", f"denshi-milbane: missing value after '-platform'\n{HINT}\n"),
    (["--help=x"], {}, 2, "", f"denshi-milbane: '--help' takes no value\n{HINT}\n"),
    (["dice.txt"], {}, 2, "",
     "denshi-milbane: unexpected argument 'dice.txt': it takes no file or other\nargument\n"
     f"{HINT}\n"),
    ([], UNSET, 1, "", NO_DISPLAY),
    ([], {"LANG": "C.UTF-8", **UNSET}, 1, "", NO_DISPLAY),
    (["-style", "fusion"], {"DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     "denshi-milbane: cannot open the display :4242; start it from a desktop session,\nor on a "
     "virtual display with xvfb-run\n"),
    # In Japanese, never wrapped before a 、 or after a 「.
    (["--help"], {"LC_ALL": "ja_JP.UTF-8"}, 0, HELP_JA + "\nサイコロのウィンドウを開きます。"
     "操作ボタンでスタート、ストップ、リセットし、\n「設定」", ""),
    (["--version"], {"LC_ALL": "ja_JP.UTF-8"}, 0, VERSION_JA, ""),
    (["--bogus"], {"LANG": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: 不明なオプション '--bogus' です。\n{HINT_JA}\n"),
    (["-platform"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: '-platform' のあとに値がありません。\n{HINT_JA}\n"),
    (["--help=x"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: '--help' は値を取りません。\n{HINT_JA}\n"),
    (["dice.txt"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: 余分な引数 'dice.txt' です。ファイルなどの引数は取りません。\n{HINT_JA}\n"),
    ([], {"LC_ALL": "ja_JP.UTF-8", **UNSET}, 1, "", NO_DISPLAY_JA),
    ([], {"LC_ALL": "ja_JP.UTF-8", "DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     DISPLAY_4242_JA),
    # In a Japanese locale of another encoding, in that encoding.
    (["--help"], {"LC_ALL": "ja_JP.eucJP"}, 0, HELP_JA, ""),
    (["--version"], {"LC_ALL": "ja_JP.eucJP"}, 0, VERSION_JA, ""),
    (["--さいころ"], {"LC_ALL": "ja_JP.eucJP"}, 2, "",
     f"denshi-milbane: 不明なオプション '--さいころ' です。\n{HINT_JA}\n"),
    ([], {"LC_ALL": "ja_JP.eucJP", **UNSET}, 1, "", NO_DISPLAY_JA),
    ([], {"LC_ALL": "ja_JP.eucJP", "DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     DISPLAY_4242_JA),
    # Where the encoding holds no Japanese, in English, "?" for what it lacks.
    (["--help"], {"LANG": "en_US.ISO-8859-1"}, 0, HELP + " (??????).\n", ""),
    (["--größe"], {"LANG": "en_US.ISO-8859-1"}, 2, "",
     f"denshi-milbane: unknown option '--größe'\n{HINT}\n"),
    ([], {"LANG": "en_US.ISO-8859-1", **UNSET}, 1, "", NO_DISPLAY),
    (["--help"], {"LANGUAGE": "ja", "LANG": "C"}, 0, HELP + " (電子ミルバネ).\n", ""),
    (["--bogus"], {"LANGUAGE": "ja", "LANG": "C"}, 2, "",
     f"denshi-milbane: unknown option '--bogus'\n{HINT}\n"),
    ([], {"LANGUAGE": "ja", "LANG": "C", **UNSET}, 1, "", NO_DISPLAY),
]


def encoding(changes):
    """The encoding of a row's locale, as Python names it."""
    locale = changes.get("LC_ALL") or changes.get("LANG") or "C"
    return {"eucJP": "euc_jp", "ISO-8859-1": "latin-1"}.get(locale.rpartition(".")[2], "utf-8")


def command_line_env(base, changes):
    """`base` with no locale of its own, then a row's changes."""
    env = {**{k: v for k, v in base.items() if not re.match("LANG|LC_", k)}, **changes}
    return {k: v for k, v in env.items() if v is not None}


def check_command_line(test, command, base, rows=COMMAND_LINE, written=None):
    """Each row run as `command` and its arguments, in `base` and the row's
    locale, its output read in the locale's encoding (or the one `written`)."""
    for args, changes, status, out, err in rows:
        with test.subTest(args=args, env=changes):
            code = encoding(changes)
            result = subprocess.run([*command, *(a.encode(code) for a in args)],
                                    env=command_line_env(base, changes), timeout=300,
                                    capture_output=True)
            code = written or code
            test.assertEqual((result.returncode, result.stderr), (status, err.encode(code)))
            test.assertTrue(result.stdout.startswith(out.encode(code)), result.stdout)


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def build_package(folder):
    """scripts/package in a copy of the working tree at `folder`."""
    files = run("git", "-C", SOURCE, "ls-files", "--cached", "--others", "--exclude-standard",
                check=True).stdout.split("\n")
    for name in filter(None, files):
        if os.path.exists(os.path.join(SOURCE, name)):
            os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
            shutil.copy2(os.path.join(SOURCE, name), os.path.join(folder, name))
    # The widget tests have run in this tree already.
    env = dict(os.environ, DEB_BUILD_OPTIONS="nocheck")
    result = run(os.path.join(folder, "scripts", "package"), env=env)
    if result.returncode != 0:
        raise AssertionError("scripts/package failed:\n" + result.stdout + result.stderr)
    return result.stdout.strip().splitlines()[-1]


class PackageTest(unittest.TestCase):
    def test_desktop_entry_validates(self):
        result = run("desktop-file-validate", os.path.join(PACKAGING, "denshi-milbane.desktop"))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout.strip(), "", "validator hints: " + result.stdout)

    def test_metainfo_validates(self):
        result = run("appstreamcli", "validate", "--no-net",
                     os.path.join(PACKAGING, "jp.milbane.DenshiMilbane.metainfo.xml"))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_docs_pictures(self):
        """The pictures under docs/ are what scripts/render-pictures makes now:
        the sheet pixel for pixel, each screenshot a true throw and but for
        the throw one taken now."""
        with tempfile.TemporaryDirectory() as scratch:
            run(os.path.join(BUILD, "src", "milbane-pictures"), "sheet", scratch, check=True)
            made = np.asarray(Image.open(os.path.join(scratch, "pictures.png")).convert("RGBA"))
            kept = np.asarray(Image.open(os.path.join(SOURCE, "docs", "pictures.png")).convert("RGBA"))
            self.assertTrue(made.shape == kept.shape and np.array_equal(made, kept),
                            "docs/pictures.png is not what the program draws")
            for name in PICTURES:
                with self.subTest(name):
                    take(BINARY, name, os.path.join(scratch, name))
                    self.assertTrue(shows_now(os.path.join(SOURCE, "docs", name),
                                              os.path.join(scratch, name)),
                                    f"docs/{name} is not what the program shows now")
        shot = Image.open(os.path.join(SOURCE, "docs", "screenshot.png"))
        self.assertIn(f'width="{shot.width}" height="{shot.height}"',
                      read_text(os.path.join(PACKAGING, "jp.milbane.DenshiMilbane.metainfo.xml")))

    def test_icon_files(self):
        for size in ICON_SIZES:
            with Image.open(os.path.join(ICONS, "hicolor", f"{size}x{size}", "apps",
                                         "denshi-milbane.png")) as png:
                self.assertEqual((png.format, png.size), ("PNG", (size, size)))
        # The Windows icon: the design's 32, 16 and 48 px first, then every
        # size Windows asks for, up to 256 (written 0).
        with open(os.path.join(ICONS, "denshi-milbane.ico"), "rb") as f:
            data = f.read()
        reserved, kind, count = struct.unpack("<HHH", data[:6])
        self.assertEqual((reserved, kind, count), (0, 1, 9))
        sizes = [data[6 + 16 * i] or 256 for i in range(count)]
        self.assertEqual(sizes, [32, 16, 48, 20, 24, 40, 64, 96, 256])
        for i in range(count):
            length, offset = struct.unpack("<II", data[6 + 16 * i + 8:6 + 16 * i + 16])
            self.assertLessEqual(offset + length, len(data))

    def test_debian_package(self):
        with tempfile.TemporaryDirectory() as scratch:
            first = build_package(os.path.join(scratch, "a"))
            second = build_package(os.path.join(scratch, "second", "checkout"))
            if run("cmp", first, second).returncode != 0:
                diff = run("diffoscope", "--text", "-", first, second).stdout
                self.fail("two builds of the package differ:\n" + diff[:4000])
            deb = first

            # Source and binary packages alike, as an upload is checked.
            changes = deb.replace(".deb", ".changes")
            lintian = run("lintian", "--pedantic", "-I", "-E", "--tag-display-limit", "0", changes)
            findings = [line for line in lintian.stdout.splitlines() if line.strip()]
            print("lintian --pedantic:", findings or "nothing to say")
            self.assertEqual(findings, [])
            self.assertEqual(lintian.returncode, 0, lintian.stderr)

            depends = run("dpkg-deb", "-f", deb, "Depends").stdout
            for package in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6",
                            "fonts-ipafont-gothic"):
                self.assertIn(package, depends)
            root = os.path.join(scratch, "root")
            self.assertEqual(run("dpkg-deb", "-x", deb, root).returncode, 0)
            binary = os.path.join(root, "usr", "games", "denshi-milbane")
            with open(binary, "rb") as f:
                self.assertNotIn(scratch.encode(), f.read(), "a build path in the binary")
            # Both manual pages name it in its own letters, say the same
            # things once each, and join Japanese lines with no space.
            for page, locale in (("man6", "C.UTF-8"), ("ja/man6", "ja_JP.UTF-8")):
                path = os.path.join(root, "usr", "share", "man", page, "denshi-milbane.6.gz")
                text = run("man", "-l", path, env=dict(os.environ, LANG=locale, LC_ALL=locale,
                                                        MANWIDTH="80")).stdout
                self.assertIn("電子ミルバネ", text, page)
                self.assertNotIn("??", text, page)
                for name in ("QT_QPA_PLATFORM", "LC_MESSAGES", "Enter", "Orca"):
                    self.assertIn(name, text, page)
                self.assertEqual(len(re.findall("(?i)files|読み書き", text)), 1, text)
                self.assertIsNone(re.search("[、。ぁ-ヿ一-龥] +[ぁ-ヿ一-龥「]", text), text)

            catalog = os.path.join(scratch, "catalog")
            compose = run("appstreamcli", "compose", "--no-net", f"--result-root={catalog}",
                          "--origin=denshi-milbane", "--prefix=/usr", root)
            self.assertEqual(compose.returncode, 0, compose.stdout + compose.stderr)
            xml = run("zcat", os.path.join(catalog, "usr", "share", "swcatalog", "xml",
                                           "denshi-milbane.xml.gz")).stdout
            self.assertIn("<id>jp.milbane.DenshiMilbane</id>", xml)
            self.assertIn('<icon type="cached" width="128" height="128">', xml)

            check_command_line(self, [binary], {k: v for k, v in os.environ.items()
                                                 if k != "QT_QPA_PLATFORM"})

            with Desktop(ARTEFACTS, "package") as desktop:
                main = desktop.start_program(binary)
                self.assertEqual(desktop.geometry(main)[2:], (WIDTH, HEIGHT))
                desktop.shot("installed")
                self.assertEqual(desktop.close_program(), 0)

