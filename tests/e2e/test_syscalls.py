"""Nothing behind the user's back: a session of the real program under
strace, on a desktop with its own bus and runtime folder, connects to
nothing but its display and the bus and writes no file."""

import os
import re
import unittest

import screen
from desktop import ARTEFACTS, BINARY, Desktop


WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
CHANGING_CALLS = ("mkdir", "mkdirat", "unlink", "unlinkat", "rename", "renameat", "renameat2",
                  "link", "linkat", "symlink", "symlinkat", "truncate", "creat", "chmod",
                  "fchmodat", "utimensat")
# Devices a program may open for writing without writing a file.
DEVICES = ("/dev/null", "/dev/tty", "/dev/urandom")


class SyscallTest(unittest.TestCase):
    def test_no_network_no_files(self):
        # LeakSanitizer cannot work under ptrace; leaks are checked elsewhere.
        os.environ["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        log = os.path.join(ARTEFACTS, "syscalls-strace.log")
        with Desktop(ARTEFACTS, "syscalls") as desktop:
            trace = ("strace", "-f", "-qq", "-o", log, "-e",
                     "trace=%network,%file,memfd_create")
            main = desktop.start_program(BINARY, wrapper=trace)
            display_socket = desktop.display.lstrip(":")
            window = screen.Window(desktop, main)
            window.throw()
            with window.settings():
                desktop.key("Tab", "Return")  # OK
            self.assertEqual(desktop.close_program(), 0)
            bus = desktop.bus_socket

        with open(log) as f:
            lines = f.read().splitlines()
        self.assertTrue(any("execve(" in line for line in lines), "strace recorded nothing")

        sockets, connects, writes = [], [], []
        for line in lines:
            call = re.match(r"\d+\s+(\w+)\((.*)", line)
            if not call:
                continue
            name, rest = call.groups()
            failed = re.search(r"= -1 ", line) is not None
            if name in ("socket", "socketpair"):
                sockets.append(rest.split(",", 1)[0])
            elif name == "connect" and not failed:
                connects.append(rest)
            elif name in ("open", "openat") and not failed:
                path = re.search(r'"([^"]*)"', rest)
                if any(flag in rest for flag in WRITE_FLAGS) and path and \
                        not path.group(1).startswith(DEVICES):
                    writes.append(line)
            elif name in CHANGING_CALLS and not failed:
                writes.append(line)

        print(f"sockets opened: {sorted(set(sockets))}; successful connects: {len(connects)}; "
              f"file changes: {len(writes)}")
        self.assertTrue(sockets, "no socket at all: the display connection was not seen")
        for family in sockets:
            self.assertEqual(family, "AF_UNIX", f"a network socket was opened: {family}")
        allowed = rf'sun_path=@?"(/tmp/\.X11-unix/X{display_socket}|{re.escape(bus)})"'
        for target in connects:
            self.assertRegex(target, allowed, f"a connection to neither display nor bus: {target}")
        self.assertEqual(writes, [], "files were written:\n" + "\n".join(writes))


if __name__ == "__main__":
    unittest.main(verbosity=2)
