#!/usr/bin/env python3
"""CPU the real program uses in a real X window (Xvfb with openbox): four
dice rolling for ten seconds, then ten seconds after a stop with the roll
timer still ticking, beside the program idle before its first throw.

    bench/cpu.py BUILD_DIR [SECONDS]"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """CPU time of the whole process: nanoseconds from schedstat where the
    kernel has it, else utime + stime from stat (in clock ticks)."""
    total = 0.0
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0]) / 1e9
        return total
    except OSError:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND


def share(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    binary = os.path.join(build, "src", "denshi-milbane")
    with Desktop(os.path.join(build, "bench-shots"), "cpu") as desktop:
        desktop.start_program(binary)
        pid = desktop.program.pid
        time.sleep(1)
        before = share(pid, seconds)
        # Four dice of ten faces: settings by keyboard, then start.
        desktop.key("Return")
        desktop.find_window("^ミルバネ設定$")
        desktop.key("Tab", "Tab", "Tab", "End", "Tab", "End", "Return")
        desktop.key("Tab", "Return")
        time.sleep(1)
        rolling = share(pid, seconds)
        desktop.shot("rolling")
        desktop.key("Return")
        time.sleep(1)
        idle = share(pid, seconds)
        desktop.shot("stopped")

    # The floor: a bare window whose 33 ms timer does nothing.
    with Desktop(os.path.join(build, "bench-shots"), "cpu-baseline") as desktop:
        process = desktop._spawn([os.path.join(build, "bench", "timer_baseline")])
        desktop.find_window("^timer baseline$", min_width=500)
        time.sleep(1)
        floor = share(process.pid, seconds)

    print(f"CPU of one core, {seconds:.0f} s each, real X window (Xvfb + openbox)")
    print(f"{'before the first throw (timer off)':40} {before * 100:6.2f} %")
    print(f"{'four dice rolling':40} {rolling * 100:6.2f} %")
    print(f"{'after a stop, timer still ticking':40} {idle * 100:6.2f} %")
    print(f"{'baseline: bare window, empty 33 ms timer':40} {floor * 100:6.2f} %")


if __name__ == "__main__":
    main()
