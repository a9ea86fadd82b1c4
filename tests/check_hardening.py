#!/usr/bin/env python3
"""Reads the built executable and checks it is hardened: position-independent,
full RELRO (read-only relocations, bound at start), stack protector; and that
optimised sources were compiled with _FORTIFY_SOURCE.

    check_hardening.py EXECUTABLE COMPILE_COMMANDS_JSON"""

import json
import subprocess
import sys


def readelf(*args):
    return subprocess.run(["readelf", "-W", *args], capture_output=True, text=True,
                          check=True).stdout


def main():
    executable, commands_file = sys.argv[1], sys.argv[2]
    failures = []

    if "DYN (Position-Independent Executable file)" not in readelf("-h", executable):
        failures.append("not a position-independent executable")
    if "GNU_RELRO" not in readelf("-l", executable):
        failures.append("no RELRO segment")
    dynamic = readelf("-d", executable)
    if "BIND_NOW" not in dynamic and " NOW" not in dynamic:
        failures.append("relocations not bound at start (no BIND_NOW): only partial RELRO")
    if "__stack_chk_fail" not in readelf("--dyn-syms", executable):
        failures.append("no stack protector (__stack_chk_fail not referenced)")

    with open(commands_file) as f:
        commands = json.load(f)
    sources = [c for c in commands if "/src/" in c["file"]]
    if not sources:
        failures.append("no program sources in the compile commands")
    for command in sources:
        line = command.get("command") or " ".join(command.get("arguments", []))
        optimised = any(flag in line for flag in ("-O1", "-O2", "-O3", "-Os"))
        if "-fstack-protector-strong" not in line:
            failures.append(f"{command['file']}: compiled without -fstack-protector-strong")
        sanitized = "-fsanitize=address" in line
        if optimised and not sanitized and "-D_FORTIFY_SOURCE=2" not in line:
            failures.append(f"{command['file']}: optimised without _FORTIFY_SOURCE=2")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{4 + len(sources)} checks, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
