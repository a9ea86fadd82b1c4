#!/usr/bin/env python3
"""How long the tests take to prove a change, in wall time, in a clone of
this checkout's HEAD made for the purpose:

    bench/suite.py [--ci]

- `scripts/test` in the fresh clone (packages installed, ccache as it is);
- `scripts/test --quick` then on that warm tree: unchanged (the baseline),
  after a one-word change to a refusal, and after a one-number change to a
  die's picture; for each change, also how long until its first test failed;
- with --ci, `.ci/run` there too (Qt for Windows kept, else it is built).

Prints a line a run. Not a test: nothing here fails on a time."""

import os
import re
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Each change: the file, the text there, what it becomes.
CHANGES = {
    "a refusal's word": ("src/program/CommandLine.cpp", "\"unknown option '%1'\"",
                         "\"unrecognised option '%1'\""),
    "a pip of the one face": ("src/pictures/DiePictures.cpp", "face1[] = {{97, 96}}",
                              "face1[] = {{97, 97}}"),
}


def timed(clone, command):
    """Runs `command` in `clone`: its wall time in seconds, the seconds until
    CTest first said a test failed (None: none did), and its exit status."""
    start = time.monotonic()
    first_failure = None
    with open(os.path.join(clone, "suite-bench.log"), "a") as log:
        process = subprocess.Popen(command, cwd=clone, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True, errors="replace")
        for line in process.stdout:
            log.write(line)
            if first_failure is None and re.search(r"\*\*\*(Failed|Exception|Timeout)", line):
                first_failure = time.monotonic() - start
        status = process.wait()
    return time.monotonic() - start, first_failure, status


def report(what, seconds, first_failure, status):
    failed = "no test failed" if first_failure is None else f"first failure at {first_failure:.0f} s"
    print(f"{what}: {seconds:.0f} s ({seconds / 60:.1f} min), exit {status}, {failed}", flush=True)


def change(clone, path, old, new):
    full = os.path.join(clone, path)
    with open(full) as f:
        text = f.read()
    if old not in text:
        raise SystemExit(f"{path} no longer holds {old}: update bench/suite.py")
    with open(full, "w") as f:
        f.write(text.replace(old, new))


def main():
    with tempfile.TemporaryDirectory(prefix="milbane-suite-") as scratch:
        clone = os.path.join(scratch, "checkout")
        subprocess.run(["git", "clone", "-q", SOURCE, clone], check=True)
        print(f"clone of {SOURCE} at HEAD in {clone}; each run's output in suite-bench.log")
        report("scripts/test, fresh clone", *timed(clone, ["scripts/test"]))
        report("scripts/test --quick, unchanged (baseline)", *timed(clone, ["scripts/test", "--quick"]))
        for name, (path, old, new) in CHANGES.items():
            change(clone, path, old, new)
            report(f"scripts/test --quick, {name} changed", *timed(clone, ["scripts/test", "--quick"]))
            change(clone, path, new, old)
        if "--ci" in sys.argv:
            report(".ci/run", *timed(clone, ["bash", ".ci/run"]))


if __name__ == "__main__":
    main()
