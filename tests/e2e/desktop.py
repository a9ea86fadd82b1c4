"""A real desktop for the end-to-end tests: a session bus of its own, Xvfb,
openbox, the program driven with xdotool and read with ImageMagick's import.
Every step waits for what it causes to be seen, never for a fixed time."""

import contextlib
import fcntl
import os
import pathlib
import re
import shlex
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import tty
from io import BytesIO

import numpy as np
from PIL import Image

from design import PRODUCT


# The source tree, its build, the program, and where a run's screenshots and
# logs go: as CTest passes them, else found from here.
SOURCE = os.environ.get("MILBANE_SOURCE_DIR",
                        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
BUILD = os.environ.get("MILBANE_BUILD_DIR", os.path.join(SOURCE, "build"))
BINARY = os.environ.get("MILBANE_BIN", os.path.join(BUILD, "src", "denshi-milbane"))
ARTEFACTS = os.environ.get("MILBANE_ARTEFACTS", os.path.join(BUILD, "tests", "e2e-shots"))
# How a Windows program runs here: the Windows build's emulator.
WINE = os.path.join(SOURCE, "cmake", "wine")
# Japanese Windows' UI fonts, and IPA's, made to the same metrics.
WINDOWS_FONTS = {"MS UI Gothic": "IPAPGothic", "ＭＳ Ｐゴシック": "IPAPGothic",
                 "MS PGothic": "IPAPGothic", "ＭＳ ゴシック": "IPAGothic", "MS Gothic": "IPAGothic"}


def read_text(path):
    return pathlib.Path(path).read_text(errors="replace") if os.path.exists(path) else ""


def project_version():
    return re.search(r"project\(\w+ VERSION ([0-9.]+)",
                     read_text(os.path.join(SOURCE, "CMakeLists.txt"))).group(1)


VERSION = os.environ.get("MILBANE_VERSION") or project_version()


class Desktop:
    """`size`: the screen's in device pixels, or monitors side by side
    ("1280x1024+1366x768", on Xorg's dummy driver); `scale`: Qt's scale
    factor, as a desktop at 150 % gives it, or a list of one per monitor;
    `resizable`: a screen whose size xrandr changes."""

    def __init__(self, artefacts, name, accessible=False, locale=None, size="1280x1024",
                 scale=None, resizable=False):
        self.artefacts, self.name, self.locale = artefacts, name, locale
        self.accessible, self.size, self.scale, self.resizable = accessible, size, scale, resizable
        self.host = self.host_lock = self.display = self.display_lock = None
        self.panel = self.screen_reader_tty = self.bus = None
        self.processes, self.wine_sessions = [], []
        os.makedirs(artefacts, exist_ok=True)
        self.runtime = tempfile.mkdtemp(prefix="milbane-runtime-")

    def __enter__(self):
        try:
            self._start_bus()
            self._start_display()
            self._start_window_manager()
            if self.accessible:
                # The accessibility bus, as a desktop with a screen reader has.
                self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        # Wine's sessions end first, their registries written.
        for env in self.wine_sessions:
            subprocess.run([WINE, "wineserver", "-k"], env=env)
        self.wine_sessions = []
        if self.panel:
            self.panel.close()
        for process in reversed(self.processes):
            if process.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        if self.screen_reader_tty is not None:
            os.close(self.screen_reader_tty)
        for lock in (self.display_lock, self.host_lock):
            if lock:
                lock.close()
        self.panel = self.screen_reader_tty = self.display_lock = self.host_lock = None
        self.processes = []
        shutil.rmtree(self.runtime, ignore_errors=True)

    def _spawn(self, args, env=None, **kw):
        process = subprocess.Popen(args, env=env or self.env(), start_new_session=True, **kw)
        self.processes.append(process)
        return process

    def wine(self, prefix, **env):
        """The environment of a new Wine prefix at `prefix`, for an ordinary
        user, hanako, with Japanese Windows' UI fonts there as IPA's; one
        session while the desktop lasts, its services started here (had a
        program started them, they would hold its output till it ended)."""
        env = dict(self.env(), WINEPREFIX=prefix, USER="hanako", **env)
        env.pop("QT_QPA_PLATFORM", None)
        quiet = dict(env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.makedirs(prefix, exist_ok=True)
        subprocess.run([WINE, "wineserver", "-p"], **quiet)
        self.wine_sessions.append(env)
        subprocess.run([WINE, "wineboot", "-i"], **quiet)
        for font, ipa in WINDOWS_FONTS.items():
            subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v",
                            font, "/d", ipa, "/f"], env=env, check=True, capture_output=True)
        return env

    def env(self):
        # The session's own bus: nothing is autolaunched, nothing outlives it.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY")}
        env.update({k: v for k, v in (("DISPLAY", self.display),
                                      ("DBUS_SESSION_BUS_ADDRESS", self.bus)) if v})
        env.update(QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=self.runtime)
        if isinstance(self.scale, list):
            env["QT_SCREEN_SCALE_FACTORS"] = ";".join(
                f"DUMMY{i}={factor}" for i, factor in enumerate(self.scale))
        elif self.scale:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        if self.locale:
            env.update(LANG=self.locale, LC_ALL=self.locale)
        if self.accessible:
            env["HOME"] = self.runtime  # Orca's settings stay in here
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        return env

    def start_screen_reader(self, debug_file):
        """Orca, speaking only into its debug log: a pseudo-terminal (else
        Orca buffers it), copied into `debug_file` line by line."""
        master, slave = os.openpty()
        tty.setraw(slave)
        threading.Thread(target=self._copy_log, args=(master, debug_file), daemon=True).start()
        self._spawn(["orca", "--replace", f"--debug-file={os.ttyname(slave)}"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.screen_reader_tty = slave
        self.wait_for(lambda: read_text(debug_file), "Orca to start",
                      lambda log: "SPEECH OUTPUT: 'Screen reader on.'" in log)

    @staticmethod
    def _copy_log(master, path):
        with open(path, "wb", buffering=0) as out, contextlib.suppress(OSError):  # closed
            while chunk := os.read(master, 65536):
                out.write(chunk)
        os.close(master)

    def _read_line(self, args, what, log=None, **kw):
        """Starts a server that writes one line (its address) to a pipe."""
        read_end, write_end = os.pipe()
        out = open(os.path.join(self.artefacts, log), "wb") if log else subprocess.DEVNULL
        try:
            self._spawn([a.replace("FD", str(write_end)) for a in args], pass_fds=(write_end,),
                        stdout=out, stderr=subprocess.STDOUT, **kw)
        finally:
            if log:
                out.close()
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:  # blocks until written or closed
            line = pipe.readline()
        if not line.strip():
            raise RuntimeError(f"{what} did not start")
        return line.decode().strip()

    def _start_bus(self):
        socket = os.path.join(self.runtime, "bus")
        self.bus = self._read_line(["dbus-daemon", "--session", "--nofork", "--print-address=FD",
                                    f"--address=unix:path={socket}"], "the session bus",
                                   env=self.env())
        self.bus_socket = socket

    def _start_display(self):
        if "+" in self.size:
            # Xvfb has one monitor; Xorg's dummy driver has outputs for more.
            config = os.path.join(self.runtime, "xorg.conf")
            with open(config, "w") as f:
                f.write('Section "Device"\n Identifier "d"\n Driver "dummy"\n VideoRam 65536\n'
                        'EndSection\n')
            self.display, self.display_lock = self._start_server(
                lambda number: ["/usr/lib/xorg/Xorg", f":{number}", "-displayfd", "FD",
                                "-noreset", "-nolisten", "tcp", "-config", config,
                                "-logfile", os.path.join(self.artefacts, f"{self.name}-xorg.log")],
                "Xorg")
            x = 0
            for i, (w, h) in enumerate(tuple(map(int, m.split("x"))) for m in self.size.split("+")):
                mode, output = f"{w}x{h}m", f"DUMMY{i}"
                self.run(["xrandr", "--newmode", mode, str((w + 24) * (h + 3) * 60 / 1e6),
                          *map(str, (w, w + 8, w + 16, w + 24, h, h + 1, h + 2, h + 3))])
                self.run(["xrandr", "--addmode", output, mode])
                self.run(["xrandr", "--output", output, "--mode", mode, "--pos", f"{x}x0"])
                x += w
            return
        self.display, self.display_lock = self._start_server(
            lambda number: ["Xvfb", f":{number}", "-displayfd", "FD", "-noreset",
                            "-screen", "0", f"{self.size}x24", "-nolisten", "tcp"], "Xvfb")
        if self.resizable:  # Xephyr's screen, which xrandr resizes, on Xvfb's
            self.host, self.host_lock = self.display, self.display_lock
            self.display, self.display_lock = self._start_server(
                lambda number: ["Xephyr", f":{number}", "-displayfd", "FD", "-noreset",
                                "-screen", self.size, "-resizeable", "-nolisten", "tcp"],
                "Xephyr")

    def _start_server(self, command, name):
        # The server's own choice of a free number races with tests started
        # in parallel: numbers are taken under a lock instead. -noreset: no
        # restart when the last client leaves, or the next finds no display.
        env = self.env()
        env.pop("DISPLAY", None)
        if self.host:
            env["DISPLAY"] = self.host
        locks = os.path.join(tempfile.gettempdir(), "milbane-displays")
        os.makedirs(locks, exist_ok=True)
        for number in range(100, 400):
            lock = open(os.path.join(locks, str(number)), "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except BlockingIOError:
                lock.close()
                continue
            if not os.path.exists(f"/tmp/.X{number}-lock"):
                with contextlib.suppress(RuntimeError):  # someone else's: the next
                    self._read_line(command(number), name, env=env,
                                    log=f"{self.name}-{name.lower()}.log")
                    return f":{number}", lock
            lock.close()
        raise RuntimeError(f"no free display number for {name}")

    def _start_window_manager(self):
        # A map request that reaches openbox while it still looks at the
        # windows already there can wait unanswered: the screen is ready only
        # once it runs its start-up command, after that look.
        log_path = os.path.join(self.artefacts, f"{self.name}-openbox.log")
        ready = os.path.join(self.runtime, "openbox-started")
        with open(log_path, "wb") as log:
            wm = self._spawn(["openbox", "--sm-disable", "--startup",
                              f"touch {shlex.quote(ready)}"],
                             stdout=log, stderr=subprocess.STDOUT)

        def managing():
            if wm.poll() is not None:
                raise RuntimeError(f"openbox ended ({wm.returncode}): {read_text(log_path)}")
            return os.path.exists(ready)

        self.wait_for(managing, "openbox to manage the screen")

    def start_compositor(self, command, env=None):
        """A compositor whose output is an X window here: that window, once
        openbox has given it the focus."""
        log = os.path.join(self.artefacts, f"{self.name}-compositor.log")
        with open(log, "wb") as out:
            compositor = self._spawn(command, env=env, stdout=out, stderr=subprocess.STDOUT)

        def output():
            """The compositor's output window, once it is listed; else None."""
            if compositor.poll() is not None:
                raise RuntimeError(f"the compositor ended: {read_text(log)}")
            for listed in re.findall(r"0x[0-9a-f]+", self.prop("-root", "_NET_CLIENT_LIST")):
                if self.geometry(listed)[2] >= 1000:
                    return str(int(listed, 16))
            return None

        wid = self.wait_for_value(output, "the compositor's output")
        self.wait_active(wid)
        return wid

    def set_panel(self, size, edge="bottom"):
        """A panel along an edge ("bottom", "top", "left"), `size` device
        pixels across, reserving its room as a taskbar does; returns the
        free area once the window manager's work area says so."""
        from Xlib import X, Xatom, display

        d = self.panel = display.Display(self.display)
        root = d.screen().root
        width, full = d.screen().width_in_pixels, d.screen().height_in_pixels
        atom = d.intern_atom
        # The panel and the free area; the strut: left, right, top, bottom,
        # then where along its edge each reaches.
        (x, y, w, h), free = {"bottom": ((0, full - size, width, size), (0, 0, width, full - size)),
                              "top": ((0, 0, width, size), (0, size, width, full - size)),
                              "left": ((0, 0, size, full), (size, 0, width - size, full))}[edge]
        side = ("left", "right", "top", "bottom").index(edge)
        strut = [0] * 12
        strut[side], strut[5 + 2 * side] = size, (full if side < 2 else width) - 1
        # A taskbar's slate grey, to be seen against the black desktop.
        grey = d.screen().default_colormap.alloc_color(0x4400, 0x5500, 0x6600).pixel
        window = root.create_window(x, y, w, h, 0, X.CopyFromParent, background_pixel=grey)
        window.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                               [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        window.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32, strut)
        window.change_property(atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32, strut[:4])
        window.map()
        # Placed anew: openbox places a new window by its own rules.
        window.configure(x=x, y=y, width=w, height=h)
        d.sync()
        self.wait_for(self.work_area, f"the panel's room, a work area of {free}",
                      lambda area: area == free)
        return free

    def work_area(self):
        """The window manager's work area: x, y, width, height."""
        return tuple((self.numbers(self.prop("-root", "_NET_WORKAREA")) + [0] * 4)[:4])

    def frame(self, wid):
        """A window's outer frame on the screen: x, y, width, height."""
        x, y, w, h = self.geometry(wid)
        left, right, top, bottom = self.frame_extents(wid)
        return x - left, y - top, w + left + right, h + top + bottom

    def spawn_program(self, command, env=None, logged=True):
        """A program started, its output in this desktop's program log (or,
        not `logged`, nowhere: a Windows program then has no output of its
        own to write to): on X11 start_program waits for its window, on a
        compositor screen.Window.on_output for its output."""
        if not logged:
            self.program = self._spawn(command, env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return
        with open(os.path.join(self.artefacts, f"{self.name}-program.log"), "wb") as log:
            self.program = self._spawn(command, env, stdout=log, stderr=subprocess.STDOUT)

    def start_program(self, binary, wrapper=(), env=None, title=f"^{PRODUCT}"):
        """A program's window, found by its title, once it is active and
        painted: the main window unless another title is given."""
        self.spawn_program([*wrapper, binary], env)
        self.main = self.find_window(title, min_width=500)
        self.wait_active(self.main)
        # Mapped is not yet painted: wait for the first frame to show.
        self.wait_screen(lambda c: c[5, 5].any() and c[-5, -5].any(), "the window's first frame")
        return self.main

    def windows(self, pattern, min_width=2):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
        return [w for w in out.split() if self.geometry(w)[2] >= min_width]

    def first_window(self, pattern, min_width=1):
        """The first window shown whose name matches; None if there is none."""
        listed = self.windows(pattern, min_width)
        return listed[0] if listed else None

    def find_window(self, pattern, min_width=1, timeout=120):
        return self.wait_for_value(lambda: self.first_window(pattern, min_width),
                                   f"a window named {pattern}", timeout)

    def wait_active(self, wid):
        """Until the window manager has given the window the focus."""
        def active():
            match = re.search(r"0x[0-9a-f]+", self.prop("-root", "_NET_ACTIVE_WINDOW"))
            return int(match.group(0), 16) if match else None

        self.wait_for(active, f"window {wid} to take the focus", lambda found: found == int(wid))

    def wait_gone(self, pattern):
        self.wait_for(lambda: self.windows(pattern), f"no window named {pattern}",
                      lambda found: not found)

    def run(self, args, check=True, env=None):
        result = subprocess.run(args, env=env or self.env(), capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(errors="replace")

    def geometry(self, wid):
        """A window's client area: x, y on the screen, width, height (by
        xwininfo: xdotool counts a frame twice into the position)."""
        out = self.run(["xwininfo", "-id", str(wid)], check=False)
        found = (re.search(rf"{key}:\s+(-?\d+)", out) for key in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        return tuple(int(m.group(1)) if m else 0 for m in found)

    def prop(self, wid, name):
        return self.run(["xprop", *(["-root"] if wid == "-root" else ["-id", str(wid)]), name],
                        check=False)

    def frame_extents(self, wid):
        """Left, right, top, bottom."""
        return (self.numbers(self.prop(wid, "_NET_FRAME_EXTENTS")) + [0] * 4)[:4]

    @staticmethod
    def numbers(prop):
        return [int(n) for n in re.findall(r"\d+", prop.split("=", 1)[-1])]

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

    def wait_screen(self, condition, what, label=None, wid=None, region=None):
        """Until the window's client area (or its part at `region`: x, y,
        width, height) meets `condition`; returns it, kept when labelled."""

        def look():
            """What shows now, where it meets `condition`; else None."""
            shot = self.client_shot(wid=wid)
            if region:
                x, y, w, h = region
                shot = shot[y:y + h, x:x + w]
                if shot.shape[:2] != (h, w):
                    return None  # the region is not on the screen whole
            return shot if condition(shot) else None

        found = self.wait_for_value(look, what)
        if label:
            self.client_shot(label, wid)
        return found

    # The X server keeps what is sent in order: a test waits only for what
    # the steps lead to.
    def click(self, wid, x, y):
        """A left click at a point of a window's client area."""
        cx, cy, _, _ = self.geometry(wid)
        self.run(["xdotool", "mousemove", str(cx + x), str(cy + y), "click", "1"])

    def move_window(self, wid, x, y):
        """Where a user drags a window: its frame's corner to x, y, partly
        off the screen if need be; returns once it is there."""
        # The window manager takes the position asked for as the frame's or
        # the client area's, as the window's gravity says: corrected by
        # what a first request gives.
        ax, ay = x, y
        for _ in range(2):
            before = self.frame(wid)[:2]
            self.run(["wmctrl", "-i", "-r", str(wid), "-e", f"0,{ax},{ay},-1,-1"])
            self.wait_for(lambda: self.frame(wid)[:2], f"window {wid} to move",
                          lambda at: at not in (before, None) or before == (x, y))
            ax, ay = ax + x - self.frame(wid)[0], ay + y - self.frame(wid)[1]
        self.wait_for(lambda: self.frame(wid)[:2], f"window {wid} at {x},{y}",
                      lambda at: at == (x, y))

    def close_window(self, wid):
        """What the close box does: asks the window manager to close it."""
        self.run(["wmctrl", "-i", "-c", str(wid)])

    def close_program(self):
        """Closes the main window as its close box does: the program's status."""
        self.close_window(self.main)
        return self.program.wait(timeout=60)

    def key(self, *keys):
        self.run(["xdotool", "key", "--clearmodifiers", *keys])

    @staticmethod
    def wait_for(look, what, done=bool, timeout=60):
        """Until `done` holds of what `look()` finds; returns that. Timed out,
        says what it found last (its end, where that is long)."""
        deadline = time.time() + timeout
        while True:
            seen = look()
            if done(seen):
                return seen
            if time.time() >= deadline:
                raise TimeoutError(f"timed out waiting for {what}; last saw {repr(seen)[-300:]}")
            time.sleep(0.1)

    @staticmethod
    def wait_for_value(find, what, timeout=60):
        """Until `find()` returns something other than None; returns it."""
        return Desktop.wait_for(find, what, lambda found: found is not None, timeout)

