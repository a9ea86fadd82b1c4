"""A real X display for the end-to-end tests: Xvfb, openbox, the program,
driven with xdotool and read with ImageMagick's import, nothing else."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from io import BytesIO

import numpy as np
from PIL import Image


def twips(t):
    """Twips to pixels, rounded to the nearest pixel as the program does."""
    return (2 * t + 15) // 30


class Desktop:
    def __init__(self, artefacts, name):
        self.artefacts = artefacts
        self.name = name
        self.processes = []
        self.display = None
        os.makedirs(artefacts, exist_ok=True)
        self.runtime = tempfile.mkdtemp(prefix="milbane-runtime-")

    # -- life cycle ---------------------------------------------------------
    def __enter__(self):
        try:
            self._start_display()
            self._start_window_manager()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        self.processes = []
        shutil.rmtree(self.runtime, ignore_errors=True)

    def _spawn(self, args, env=None, **kw):
        process = subprocess.Popen(args, env=env or self.env(), start_new_session=True, **kw)
        self.processes.append(process)
        return process

    def env(self):
        env = dict(os.environ)
        if self.display:
            env["DISPLAY"] = self.display
        env.pop("WAYLAND_DISPLAY", None)
        env["QT_QPA_PLATFORM"] = "xcb"
        env["XDG_RUNTIME_DIR"] = self.runtime
        return env

    def _start_display(self):
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp"], env=dict(os.environ), pass_fds=(write_end,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def _start_window_manager(self):
        self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                      self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False),
                      "openbox to manage the screen")

    # -- the program ----------------------------------------------------------
    def start_program(self, binary, wrapper=()):
        log = open(os.path.join(self.artefacts, f"{self.name}-program.log"), "wb")
        with log:
            self.program = self._spawn([*wrapper, binary], stdout=log, stderr=subprocess.STDOUT)
        self.main = self.find_window("^電子ミルバネ", min_width=500)
        self.wait_active(self.main)
        # Mapped is not yet painted: wait for the first frame to show.
        self.wait_for(lambda: self.client_shot()[5, 5].any(), "the window's first frame")
        self.settle()
        return self.main

    def find_window(self, pattern, min_width=1, timeout=15):
        found = []

        def look():
            out = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
            for wid in out.split():
                if self.geometry(wid)[2] >= min_width:
                    found.append(wid)
                    return True
            return False

        self.wait_for(look, f"a window named {pattern}", timeout)
        return found[0]

    def wait_active(self, wid):
        """Until the window manager has given the window the focus."""
        def active():
            out = self.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False)
            match = re.search(r"0x[0-9a-f]+", out)
            return match is not None and int(match.group(0), 16) == int(wid)

        self.wait_for(active, f"window {wid} to take the focus")

    def windows(self, pattern):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
        return [w for w in out.split() if self.geometry(w)[2] > 1]

    # -- reading --------------------------------------------------------------
    def run(self, args, check=True):
        result = subprocess.run(args, env=self.env(), capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(errors="replace")

    def geometry(self, wid):
        """The client area of a window: x, y on the screen, width, height."""
        out = self.run(["xwininfo", "-id", str(wid)], check=False)
        values = {}
        for key, pattern in (("x", r"Absolute upper-left X:\s+(-?\d+)"),
                             ("y", r"Absolute upper-left Y:\s+(-?\d+)"),
                             ("w", r"Width:\s+(\d+)"), ("h", r"Height:\s+(\d+)")):
            match = re.search(pattern, out)
            values[key] = int(match.group(1)) if match else 0
        return values["x"], values["y"], values["w"], values["h"]

    def prop(self, wid, name):
        return self.run(["xprop", "-id", str(wid), name], check=False)

    def frame_extents(self, wid):
        out = self.prop(wid, "_NET_FRAME_EXTENTS")
        numbers = [int(n) for n in re.findall(r"\d+", out.split("=", 1)[-1])]
        return numbers if len(numbers) == 4 else [0, 0, 0, 0]  # left, right, top, bottom

    def shot(self, label=None):
        """The whole screen as an RGB array; kept as an artefact when labelled."""
        data = subprocess.run(["import", "-silent", "-window", "root", "png:-"], env=self.env(),
                              capture_output=True, timeout=30, check=True).stdout
        image = Image.open(BytesIO(data)).convert("RGB")
        if label:
            image.save(os.path.join(self.artefacts, f"{self.name}-{label}.png"))
        return np.asarray(image)

    def client_shot(self, label=None, wid=None):
        x, y, w, h = self.geometry(wid or self.main)
        return self.shot(label)[y:y + h, x:x + w]

    # -- driving ----------------------------------------------------------------
    def click(self, wid, x, y):
        """A left click at a point of a window's client area."""
        cx, cy, _, _ = self.geometry(wid)
        self.run(["xdotool", "mousemove", str(cx + x), str(cy + y)])
        self.settle(0.05)
        self.run(["xdotool", "click", "1"])
        self.settle()

    def key(self, *keys):
        for k in keys:
            self.run(["xdotool", "key", "--clearmodifiers", k])
            self.settle(0.08)
        self.settle()

    def settle(self, seconds=0.3):
        time.sleep(seconds)

    @staticmethod
    def wait_for(condition, what, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.1)
        raise TimeoutError(f"timed out waiting for {what}")
