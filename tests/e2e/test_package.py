"""The desktop files and the Debian package, checked with a distribution's
tools: validators, icons in every size, the package reproducible, silent
under lintian --pedantic, composed into a catalog, and run."""

import glob
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

from command_line import check_command_line, one_per_locale
from design import HEIGHT, ICON, PRODUCT, WIDTH
from desktop import ARTEFACTS, BINARY, BUILD, Desktop, SOURCE, read_text
from screen import shows_now

sys.path.insert(0, os.path.join(SOURCE, "scripts"))
from docs_pictures import PICTURES, take  # noqa: E402  the pictures' own recipe

PACKAGING = os.path.join(SOURCE, "packaging")
ICONS = os.path.join(BUILD, "packaging", "icons")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
# The package built once a run, by test_debian_package; test_reproducible,
# which CTest runs after it, builds it again elsewhere to compare.
FIRST = os.path.join(BUILD, "tests", "package", "checkout")


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def build_package(folder, cached):
    """scripts/package in a copy of the working tree at `folder`, made anew;
    `cached`: through ccache, with what this checkout's earlier runs built
    at the same folder."""
    shutil.rmtree(folder, ignore_errors=True)
    files = run("git", "-C", SOURCE, "ls-files", "--cached", "--others", "--exclude-standard",
                check=True).stdout.split("\n")
    for name in filter(None, files):
        if os.path.exists(os.path.join(SOURCE, name)):
            os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
            shutil.copy2(os.path.join(SOURCE, name), os.path.join(folder, name))
    # The widget tests have run in this tree already. The copy is no git
    # checkout, though it may lie in this one's build folder.
    env = dict(os.environ, DEB_BUILD_OPTIONS="nocheck",
               GIT_CEILING_DIRECTORIES=os.path.dirname(folder))
    env.pop("CCACHE_BASEDIR", None)
    if cached:
        # Plain ccache, compiling what the compiler would be given: with a
        # base folder it hands the compiler relative paths, which change the
        # debug symbols and so the program's build ID. debhelper gives the
        # build a HOME of its own: the cache named.
        env.update(CMAKE_CXX_COMPILER_LAUNCHER="ccache",
                   CCACHE_DIR=run("ccache", "-k", "cache_dir", check=True).stdout.strip())
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
            self.assertEqual(made.shape, kept.shape, "docs/pictures.png's size")
            changed = np.count_nonzero(np.any(made != kept, axis=2))
            self.assertEqual(changed, 0, "pixels of docs/pictures.png not what the program draws")
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
        # The Windows icon: the design's sizes first, then every size
        # Windows asks for, up to 256 (written 0).
        with open(os.path.join(ICONS, "denshi-milbane.ico"), "rb") as f:
            data = f.read()
        reserved, kind, count = struct.unpack("<HHH", data[:6])
        self.assertEqual((reserved, kind, count), (0, 1, 9))
        sizes = [data[6 + 16 * i] or 256 for i in range(count)]
        self.assertEqual(sizes, [*ICON, 20, 24, 40, 64, 96, 256])
        for i in range(count):
            length, offset = struct.unpack("<II", data[6 + 16 * i + 8:6 + 16 * i + 16])
            self.assertLessEqual(offset + length, len(data))

    def test_debian_package(self):
        deb = build_package(FIRST, cached=True)
        with tempfile.TemporaryDirectory() as scratch:
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
                self.assertNotIn(FIRST.encode(), f.read(), "a build path in the binary")
            # Both manual pages name it in its own letters, say the same
            # things once each, and join Japanese lines with no space.
            for page, locale in (("man6", "C.UTF-8"), ("ja/man6", "ja_JP.UTF-8")):
                path = os.path.join(root, "usr", "share", "man", page, "denshi-milbane.6.gz")
                text = run("man", "-l", path, env=dict(os.environ, LANG=locale, LC_ALL=locale,
                                                        MANWIDTH="80")).stdout
                self.assertIn(PRODUCT, text, page)
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

            # The build's test runs the whole table; the installed program a
            # row of each locale, its translations and encodings where
            # Debian puts the program.
            check_command_line(self, [binary], {k: v for k, v in os.environ.items()
                                                 if k != "QT_QPA_PLATFORM"}, one_per_locale())

            with Desktop(ARTEFACTS, "package") as desktop:
                main = desktop.start_program(binary)
                self.assertEqual(desktop.geometry(main)[2:], (WIDTH, HEIGHT))
                desktop.shot("installed")
                self.assertEqual(desktop.close_program(), 0, "the program's exit status")

    def test_reproducible(self):
        """Built again at another path, later: the same bytes, the program's
        package and its debug symbols' alike. Not in `scripts/test --quick`,
        where one build serves."""
        # The program's package first: its differences say the most.
        first = sorted(glob.glob(os.path.join(FIRST, "build-package", "*.deb")),
                       key=lambda deb: "dbgsym" in deb)
        self.assertNotEqual(first, [], f"no package from test_debian_package in {FIRST}")
        with tempfile.TemporaryDirectory() as scratch:
            # Compiled for real: what ccache gave the first is proven too.
            again = os.path.dirname(build_package(os.path.join(scratch, "second", "checkout"),
                                                  cached=False))
            for deb in first:
                second = os.path.join(again, os.path.basename(deb))
                if run("cmp", deb, second).returncode != 0:
                    diff = run("diffoscope", "--text", "-", deb, second).stdout
                    self.fail(f"two builds of {os.path.basename(deb)} differ:\n" + diff[:4000])
