#!/usr/bin/env python3
"""Start-up to first frame, the program against a one-label baseline, run
alternately as whole processes on the offscreen platform, or with --wine the
Windows build under Wine on the display it is given (Qt's offscreen plugin
has no fonts on Windows).

    bench/startup.py BUILD_DIR [RUNS] [--wine] [--screen WxH]
Prints the medians of wall time and peak memory and their ratios. The
offscreen screen is 1280x1024 unless given: 1280x720 is one on which the
main window is shown smaller (the build describes both, in BUILD_DIR/screens)."""

import os
import re
import shutil
import statistics
import tempfile
import subprocess
import sys
import time


# How the Windows build's programs run here, as its tests run them.
WINE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "cmake", "wine")


def run_once(binary, env):
    start = time.perf_counter()
    launcher = [WINE] if binary.endswith(".exe") else []
    process = subprocess.Popen([*launcher, binary], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        raise SystemExit(f"{binary} failed with status {status}")
    return elapsed, usage.ru_maxrss  # seconds, KiB


def instructions(binary, env):
    """Instructions one start-up executes, counted by callgrind: unlike time,
    the same from run to run whatever else the machine is doing."""
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "callgrind.out")
        result = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                                 binary], env=env, capture_output=True, text=True)
        match = re.search(r"Collected\s*:\s*(\d+)", result.stderr)
        return int(match.group(1)) if match else None


def wine_env(build):
    """The tests' Wine prefix and DLL folders, as the build wrote them."""
    env = dict(os.environ)
    with open(os.path.join(build, "wine.env")) as f:
        env.update(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    return env


def main():
    argv = sys.argv[1:]
    size = "1280x1024"
    if "--screen" in argv:
        at = argv.index("--screen")
        size = argv[at + 1]
        del argv[at:at + 2]
    args = [a for a in argv if a != "--wine"]
    wine = "--wine" in argv
    build = args[0] if args else "build"
    runs = int(args[1]) if len(args) > 1 else 40
    if wine:
        env = wine_env(build)
        # One Wine server for every run, as on a desktop where Wine is up.
        subprocess.run([WINE, "wineserver", "-p"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        binaries = {"program": os.path.join(build, "startup_program.exe"),
                    "baseline": os.path.join(build, "startup_baseline.exe")}
    else:
        screen = os.path.join(build, "screens", f"{size}.json")
        if not os.path.exists(screen):
            raise SystemExit(f"the build describes no {size} screen ({screen})")
        env = dict(os.environ, QT_QPA_PLATFORM=f"offscreen:configfile={screen}")
        binaries = {"program": os.path.join(build, "bench", "startup_program"),
                    "baseline": os.path.join(build, "bench", "startup_baseline")}
    env.setdefault("XDG_RUNTIME_DIR", "/tmp")
    samples = {name: [] for name in binaries}
    for name, binary in binaries.items():  # warm the caches first
        run_once(binary, env)
    for _ in range(runs):
        for name, binary in binaries.items():
            samples[name].append(run_once(binary, env))

    median = {name: (statistics.median(s[0] for s in values) * 1000,
                     statistics.median(s[1] for s in values) / 1024)
              for name, values in samples.items()}
    print(f"start-up to first frame, {runs} alternating runs each "
          f"({'Windows build under Wine' if wine else f'offscreen, a {size} screen'})")
    print(f"{'':10} {'median ms':>10} {'peak MiB':>10}")
    for name in binaries:
        print(f"{name:10} {median[name][0]:10.1f} {median[name][1]:10.1f}")
    print(f"{'ratio':10} {median['program'][0] / median['baseline'][0]:10.3f} "
          f"{median['program'][1] / median['baseline'][1]:10.3f}")
    if wine:
        subprocess.run([WINE, "wineserver", "-k"], env=env)
    elif shutil.which("valgrind"):
        counts = {name: instructions(binary, env) for name, binary in binaries.items()}
        if all(counts.values()):
            print(f"instructions (callgrind): program {counts['program'] / 1e6:.1f} M, "
                  f"baseline {counts['baseline'] / 1e6:.1f} M, "
                  f"ratio {counts['program'] / counts['baseline']:.3f}")


if __name__ == "__main__":
    main()
