"""Desktop integration and the Debian package: the desktop entry and the
AppStream metainfo validate, the icon files are the program's own in the
sizes asked for, and the .deb built by CPack carries the right dependencies
and files and starts, unpacked into a scratch root, under Xvfb.

Needs MILBANE_BUILD_DIR (a configured, built tree) and MILBANE_SOURCE_DIR."""

import os
import struct
import subprocess
import tempfile
import unittest

from desktop import Desktop

BUILD = os.environ.get("MILBANE_BUILD_DIR", "build")
SOURCE = os.environ.get("MILBANE_SOURCE_DIR", ".")
ARTEFACTS = os.environ.get("MILBANE_ARTEFACTS", os.path.join(BUILD, "tests", "e2e-shots"))
PACKAGING = os.path.join(SOURCE, "packaging")
ICONS = os.path.join(BUILD, "packaging", "icons")


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


class PackageTest(unittest.TestCase):
    def test_desktop_entry_validates(self):
        result = run("desktop-file-validate", os.path.join(PACKAGING, "denshi-milbane.desktop"))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout.strip(), "", "validator hints: " + result.stdout)

    def test_metainfo_validates(self):
        result = run("appstreamcli", "validate", "--no-net",
                     os.path.join(PACKAGING, "jp.milbane.DenshiMilbane.metainfo.xml"))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_icon_files(self):
        for size in (16, 32, 48):
            path = os.path.join(ICONS, "hicolor", f"{size}x{size}", "apps", "denshi-milbane.png")
            with open(path, "rb") as f:
                header = f.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", header[16:24]), (size, size))
        # The Windows icon holds the 32, 16 and 48 px images in that order.
        with open(os.path.join(ICONS, "denshi-milbane.ico"), "rb") as f:
            data = f.read()
        reserved, kind, count = struct.unpack("<HHH", data[:6])
        self.assertEqual((reserved, kind, count), (0, 1, 3))
        sizes = [data[6 + 16 * i] for i in range(count)]
        self.assertEqual(sizes, [32, 16, 48])
        for i in range(count):
            length, offset = struct.unpack("<II", data[6 + 16 * i + 8:6 + 16 * i + 16])
            self.assertLessEqual(offset + length, len(data))

    def test_debian_package(self):
        with tempfile.TemporaryDirectory() as scratch:
            result = run("cpack", "-G", "DEB", "-B", scratch, "--config",
                         os.path.join(BUILD, "CPackConfig.cmake"))
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            debs = [f for f in os.listdir(scratch) if f.endswith(".deb")]
            self.assertEqual(len(debs), 1, os.listdir(scratch))
            deb = os.path.join(scratch, debs[0])

            depends = run("dpkg-deb", "-f", deb, "Depends").stdout
            for package in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6",
                            "fonts-ipafont-gothic"):
                self.assertIn(package, depends)
            contents = run("dpkg-deb", "-c", deb).stdout
            for path in ("./usr/bin/denshi-milbane",
                         "./usr/share/applications/denshi-milbane.desktop",
                         "./usr/share/metainfo/jp.milbane.DenshiMilbane.metainfo.xml",
                         "./usr/share/icons/hicolor/48x48/apps/denshi-milbane.png"):
                self.assertIn(path, contents)

            root = os.path.join(scratch, "root")
            self.assertEqual(run("dpkg-deb", "-x", deb, root).returncode, 0)
            binary = os.path.join(root, "usr", "bin", "denshi-milbane")
            # Nothing points back into the build tree.
            self.assertNotIn(BUILD, run("readelf", "-d", binary).stdout)
            with Desktop(ARTEFACTS, "package") as desktop:
                main = desktop.start_program(binary)
                self.assertEqual(desktop.geometry(main)[2:], (1018, 736))
                desktop.shot("installed")
                desktop.key("alt+F4")
                self.assertEqual(desktop.program.wait(timeout=60), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
