"""Nothing behind the user's back: a session of the real program under
strace, on a desktop with its own bus and runtime folder, connects to
nothing but its display and the bus and writes no file."""

import os
import re
import unittest

import screen
from desktop import ARTEFACTS, BINARY, Desktop, read_text


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
            self.assertEqual(desktop.close_program(), 0, "the program's exit status")
            bus = desktop.bus_socket

        lines = read_text(log).splitlines()
        self.assertTrue(any("execve(" in line for line in lines), "strace recorded nothing")

        # Each call's name, arguments and line; those that succeeded.
        calls = []
        for line in lines:
            call = re.match(r"\d+\s+(\w+)\((.*)", line)
            if call:
                calls.append((call.group(1), call.group(2), line))
        done = [(name, rest, line) for name, rest, line in calls if "= -1 " not in line]

        def changes_a_file(name, rest):
            path = re.search(r'"([^"]*)"', rest)
            return name in CHANGING_CALLS or (
                name in ("open", "openat") and any(flag in rest for flag in WRITE_FLAGS) and
                path is not None and not path.group(1).startswith(DEVICES))

        sockets = [rest.split(",", 1)[0] for name, rest, _ in calls
                   if name in ("socket", "socketpair")]
        connects = [rest for name, rest, _ in done if name == "connect"]
        writes = [line for name, rest, line in done if changes_a_file(name, rest)]

        print(f"sockets opened: {sorted(set(sockets))}; successful connects: {len(connects)}; "
              f"file changes: {len(writes)}")
        self.assertEqual(set(sockets), {"AF_UNIX"}, "a network socket, or none for the display")
        allowed = rf'sun_path=@?"(/tmp/\.X11-unix/X{display_socket}|{re.escape(bus)})"'
        for target in connects:
            self.assertRegex(target, allowed, f"a connection to neither display nor bus: {target}")
        self.assertEqual(writes, [], "files were written:\n" + "\n".join(writes))

