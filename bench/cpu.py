#!/usr/bin/env python3
"""CPU and wake-ups of the real program in a real X window (Xvfb with
openbox), state by state: fresh, four dice rolling, showing a result, after
a reset; beside a bare window with one label and no timer, measured in the
same run. A wake-up is a context switch of any of the program's threads,
voluntary or not, read from /proc/PID/task/*/status.

    bench/cpu.py BUILD_DIR [SECONDS]"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import screen  # noqa: E402
from desktop import Desktop  # noqa: E402

def per_thread(pid, read):
    """`read(task folder)` for every thread of the process, by thread id."""
    values = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            values[task] = read(f"/proc/{pid}/task/{task}")
        except OSError:  # the thread has just ended
            pass
    return values


def cpu_seconds(pid):
    """CPU time of each thread: nanoseconds from schedstat."""
    def read(task):
        with open(f"{task}/schedstat") as stat:
            return int(stat.read().split()[0]) / 1e9
    return per_thread(pid, read)


def switches(pid):
    """Context switches of each thread, voluntary or not."""
    def read(task):
        with open(f"{task}/status") as status:
            return sum(int(line.split()[1]) for line in status if line.startswith(
                ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
    return per_thread(pid, read)


def measure(pid, seconds):
    """CPU share of one core and wake-ups per second over `seconds`. Threads
    come and go (a pool's workers end when idle), so both are summed thread
    by thread between samples a second apart."""
    time.sleep(1)  # let the step that led here settle
    start = time.monotonic()
    totals = [0.0, 0.0]
    last = [cpu_seconds(pid), switches(pid)]
    while time.monotonic() - start < seconds:
        time.sleep(1)
        now = [cpu_seconds(pid), switches(pid)]
        for i in range(2):
            totals[i] += sum(v - last[i].get(task, 0) for task, v in now[i].items())
        last = now
    elapsed = time.monotonic() - start
    return totals[0] / elapsed, totals[1] / elapsed


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    binary = os.path.join(build, "src", "denshi-milbane")
    shots = os.path.join(build, "bench-shots")
    rows = []
    with Desktop(shots, "cpu") as desktop:
        main = desktop.start_program(binary)
        pid = desktop.program.pid
        rows.append(("fresh, before any throw", measure(pid, seconds)))
        # Four dice of ten faces, by keyboard.
        desktop.key("Return")
        desktop.wait_active(desktop.find_window(screen.DIALOG_NAME))
        desktop.key(*screen.TEN_FACES_FOUR_DICE, "Return")
        desktop.wait_gone(screen.DIALOG_NAME)
        desktop.wait_active(main)
        desktop.key("Tab", "Return")
        rows.append(("four dice rolling", measure(pid, seconds)))
        desktop.key("Return")
        desktop.wait_screen(lambda c: all(screen.label_shown(c, 4, i) for i in range(4)),
                            "the result", "result")
        rows.append(("showing a result", measure(pid, seconds)))
        desktop.key("Return")
        desktop.wait_screen(lambda c: not screen.label_shown(c, 4, 0), "the reset")
        rows.append(("after reset, nothing rolling", measure(pid, seconds)))

    with Desktop(shots, "cpu-baseline") as desktop:
        desktop.start_program(os.path.join(build, "bench", "idle_baseline"),
                              title="^idle baseline$")
        baseline = measure(desktop.program.pid, seconds)

    print(f"{seconds:.0f} s each, real X window (Xvfb + openbox); baseline: one-label window, "
          "no timer")
    print(f"{'state':32} {'CPU':>8} {'wake-ups':>11} {'baseline':>11}")
    for name, (cpu, woken) in rows:
        print(f"{name:32} {cpu * 100:6.2f} % {woken:9.1f}/s {baseline[1]:9.1f}/s")
    print(f"{'baseline window':32} {baseline[0] * 100:6.2f} % {baseline[1]:9.1f}/s")


if __name__ == "__main__":
    main()
