"""Reads the main window's screenshot as a user would (faces, digits,
values), at the window's zoom: device pixels for each designed pixel; and
Window, the end-to-end tests' one handle on the program's window."""

import contextlib
import functools
import subprocess

import numpy as np
from scipy import ndimage
from PIL import Image, ImageDraw, ImageFont

from design import (ACTION_BUTTON, CANCEL_BUTTON, CAPTIONS, CONFIG_BUTTON, DARK, DIALOG, DIALOG_H,
                    DIALOG_W, DIE_LEFTS, DIE_SIZE, DIE_TOP, DIGITS, DIGIT_H, DIGIT_W, GREEN, HEIGHT,
                    LABEL_H, LABEL_OFFSET, LABEL_TOP, LABEL_W, LIT, SEGMENT_MIDDLES, TENS_LEFT,
                    TOTAL_H, TOTAL_TOP, TOTAL_W, UNITS_LEFT, VALUE_FONT, VALUE_GROUND, RED_PIP,
                    WIDTH)
from desktop import BINARY

DIALOG_NAME = f"^{CAPTIONS['frmConf']}$"
# From the settings' first focus (キャンセル), the keys that choose ten faces
# and four dice, from 1 or from 0; Return (or Enter) on a box then is OK.
TEN_FACES_FOUR_DICE = ("Tab", "Tab", "Tab", "End", "Tab", "End")
FROM_ZERO_TEN_FACES_FOUR_DICE = ("Tab", "Tab", "Up", "Tab", "End", "Tab", "End")


def near(pixel, colour, tolerance=12):
    return all(abs(int(p) - c) <= tolerance for p, c in zip(pixel, colour))


def red_pip(pixels):
    """Where `pixels` (an array of them) show the red of the one face's pip,
    as the face and the icon draw it, smoothed or scaled."""
    return np.all(np.abs(pixels.astype(int) - RED_PIP) < 60, axis=-1)


def overhang(rect, area):
    """How far a rectangle (x, y, width, height) reaches beyond each edge of
    an area: left, top, right, bottom; all 0 where it lies inside."""
    (x, y, w, h), (ax, ay, aw, ah) = rect, area
    return max(0, ax - x), max(0, ay - y), max(0, x + w - ax - aw), max(0, y + h - ay - ah)


def at(pixels, zoom):
    """A designed position or size in pixels, at a zoom."""
    return int(pixels * zoom + 0.5)


def die_slots(client, zoom=1):
    """Where white dice begin along the row through their middles."""
    white = np.all(client[at(DIE_TOP + DIE_SIZE // 2, zoom)] > 240, axis=1)
    return [x for x in range(len(white)) if white[x] and (x == 0 or not white[x - 1])]


def box(mask):
    """Left, top, width and height of the True pixels; None if there are none."""
    ys, xs = np.nonzero(mask)
    if len(xs) == 0:
        return None
    return xs.min(), ys.min(), xs.max() - xs.min() + 1, ys.max() - ys.min() + 1


def read_die(client, count, i, zoom=1):
    """The pips on a die's face: 0 for a blank face, None where no die shows."""
    x, y, size = at(DIE_LEFTS[count][i], zoom), at(DIE_TOP, zoom), at(DIE_SIZE, zoom)
    crop = client[y:y + size, x:x + size].astype(int)
    if not near(crop[0, 0], GREEN):
        return None
    white = (crop[..., 0] > 240) & (crop[..., 1] > 240) & (crop[..., 2] > 240)
    if white.sum() < size * size // 2:
        return None
    if red_pip(crop).sum() > 100 * zoom * zoom:
        return 1
    black = (crop[..., 0] < 60) & (crop[..., 1] < 60) & (crop[..., 2] < 60)
    return ndimage.label(black, structure=np.ones((3, 3)))[1]  # 8-connected pips


def read_digit(client, left, zoom=1):
    """The digit shown at `left`, in designed pixels; None for the blank."""
    top, left = at(TOTAL_TOP, zoom), at(left, zoom)
    crop = client[top:top + at(TOTAL_H, zoom), left:left + at(TOTAL_W, zoom)]
    lit = ""
    for name, (x, y) in zip("abcdefg", SEGMENT_MIDDLES):
        pixel = crop[int(y * TOTAL_H / DIGIT_H * zoom), int(x * TOTAL_W / DIGIT_W * zoom)]
        if near(pixel, LIT, 30):
            lit += name
        elif not near(pixel, DARK, 30):
            raise AssertionError(f"segment {name} is neither lit nor dark: {tuple(pixel)}")
    if lit not in DIGITS:
        raise AssertionError(f"lit segments {lit!r} are no digit")
    return DIGITS[lit]


def read_total(client, two_digits, zoom=1):
    units = read_digit(client, UNITS_LEFT[two_digits], zoom)
    tens = read_digit(client, TENS_LEFT, zoom) if two_digits else None
    return tens, units


def agreeing_throw(client, count, two_digits, zoom=1):
    """The values of a finished throw, where faces, values and total agree;
    AssertionError where not."""
    faces = [read_die(client, count, i, zoom) for i in range(count)]
    labels = [read_label(client, count, i, zoom) for i in range(count)]
    tens, units = read_total(client, two_digits, zoom)
    if faces != labels or (tens or 0) * 10 + units != sum(labels) or (tens == 0):
        raise AssertionError(f"faces {faces}, values {labels}, total {tens} {units}")
    return labels


def _glyph_mask(mask):
    x, y, w, h = box(mask) or (0, 0, 0, 0)
    return mask[y:y + h, x:x + w] if w else None


@functools.cache
def _template(text, size):
    path = subprocess.run(["fc-match", "-f", "%{file}", "IPAPGothic"], capture_output=True,
                          text=True).stdout.strip()
    image = Image.new("L", (3 * size, 2 * size), 0)
    ImageDraw.Draw(image).text((10, 10), text, fill=255, font=ImageFont.truetype(path, size))
    return _glyph_mask(np.asarray(image) > 128)


def _overlap(a, b):
    h, w = max(a.shape[0], b.shape[0]), max(a.shape[1], b.shape[1])
    a, b = (np.pad(m, ((0, h - m.shape[0]), (0, w - m.shape[1]))) for m in (a, b))
    return (a & b).sum() / max(1, (a | b).sum())


def label_box(client, count, i, zoom=1):
    x, y = at(DIE_LEFTS[count][i] + LABEL_OFFSET, zoom), at(LABEL_TOP, zoom)
    return client[y:y + at(LABEL_H, zoom), x:x + at(LABEL_W, zoom)]


def label_shown(client, count, i, zoom=1):
    return near(label_box(client, count, i, zoom)[2, 2], VALUE_GROUND)


def read_label(client, count, i, zoom=1):
    """The number in a value label, matched against the font's glyphs."""
    crop = label_box(client, count, i, zoom).astype(int)
    yellow = (crop[..., 0] > 128) & (crop[..., 1] > 128) & (crop[..., 2] < 100)
    glyph = _glyph_mask(yellow)
    if glyph is None:
        raise AssertionError("the label shows no text")
    scores = {v: _overlap(glyph, _template(str(v), at(VALUE_FONT, zoom))) for v in range(0, 11)}
    best = max(scores, key=scores.get)
    if scores[best] < 0.7:
        raise AssertionError(f"label unreadable (best {best} at {scores[best]:.2f})")
    return best


def longest_run(flags):
    """Start and length of the longest run of True."""
    edges = np.diff(np.concatenate(([0], np.asarray(flags, int), [0])))
    starts, ends = np.flatnonzero(edges == 1), np.flatnonzero(edges == -1)
    longest = np.argmax(ends - starts) if len(starts) else None
    return (starts[longest], ends[longest] - starts[longest]) if len(starts) else (0, 0)


def client_of(image):
    """The main window's client area in a picture (framed or not), and its zoom."""
    found = box(np.all(image == GREEN, axis=2))
    if found is None or abs(found[3] - HEIGHT * found[2] / WIDTH) > 3:
        raise AssertionError(f"no main window's client area in the picture: {found}")
    x, y, w, h = found
    return image[y:y + h, x:x + w], w / WIDTH


def read_screenshot(image):
    """The values thrown in a picture of the main window, where faces, values
    and total agree; AssertionError where not."""
    client, zoom = client_of(image)
    count = next((n for n in (4, 3, 2, 1)
                  if all(read_die(client, n, i, zoom) is not None and
                         label_shown(client, n, i, zoom) for i in range(n))), None)
    if count is None:
        raise AssertionError("no thrown dice in the picture")
    return agreeing_throw(client, count, True, zoom)


def throw_free(image):
    """The picture with all that a throw changes blanked."""
    image = image.copy()
    client, zoom = client_of(image)
    z = lambda n: at(n, zoom)
    client[z(DIE_TOP) - 1:z(LABEL_TOP + LABEL_H) + 1] = 0
    client[z(TOTAL_TOP) - 1:z(TOTAL_TOP + TOTAL_H) + 1,
           z(TENS_LEFT) - 1:z(UNITS_LEFT[True] + TOTAL_W) + 1] = 0
    return image


def pixels(*paths):
    return (np.asarray(Image.open(p).convert("RGB")) for p in paths)


def shows_now(kept, made):
    """Whether `kept` is a true throw and, but for it, `made` pixel for pixel."""
    kept, made = pixels(kept, made)
    read_screenshot(kept)
    return made.shape == kept.shape and np.array_equal(throw_free(made), throw_free(kept))


class Window:
    """The program's main window as its user meets it: on X11 the window
    `wid`, on a compositor's output window `output` the client area at
    `origin`; read from the screen, clicked at its designed points."""

    def __init__(self, desktop, wid=None, output=None, origin=(0, 0), zoom=None):
        self.desktop, self.wid, self.output, self.origin = desktop, wid, output, origin
        self.zoom = zoom or 1
        if zoom is None and wid:
            self.fit()

    def fit(self):
        """The zoom anew from the window's width, as it is on its screen now."""
        self.zoom = self.desktop.geometry(self.wid)[2] / WIDTH

    @classmethod
    def on_output(cls, desktop, output, env, what, zoomed=False):
        """The program started with `env` on a compositor whose output is
        the X window `output`, once its window's green shows there whole (or,
        where `zoomed`, smaller in proportion)."""
        desktop.spawn_program([BINARY], env)

        def shown():
            """Where the window's green shows as it should; else None."""
            green = box(np.all(desktop.client_shot(wid=output) == GREEN, axis=2))
            if green is None:
                return None
            _, _, w, h = green
            if zoomed:
                whole = 0 < w < WIDTH and abs(h - HEIGHT * w / WIDTH) <= 2
            else:
                whole = (w, h) == (WIDTH, HEIGHT)
            return green if whole else None

        x, y, w, _ = desktop.wait_for_value(shown, what)
        return cls(desktop, output=output, origin=(x, y), zoom=w / WIDTH)

    def screen(self, label=None):
        """All that the window is read from: its client area, or the output."""
        return self.desktop.client_shot(label, wid=self.output or self.wid)

    def wait(self, condition, what, label=None):
        """Until the client area meets `condition`; returns it."""
        # On a compositor, the window's part of its output; on X11, all of it.
        region = (*self.origin, at(WIDTH, self.zoom), at(HEIGHT, self.zoom)) if self.output else None
        try:
            return self.desktop.wait_screen(condition, what, label, self.output or self.wid,
                                            region)
        except TimeoutError:
            self.screen(f"{self.desktop.name}-timed-out")
            raise

    def press(self, point):
        """A click at a designed point of the client area."""
        x, y = (at(p, self.zoom) for p in point)
        self.desktop.click(self.output or self.wid, self.origin[0] + x, self.origin[1] + y)

    def ready(self, count=2, two_digits=True, label=None):
        """Until `count` blank dice show where they belong, no values, no total."""
        z = self.zoom

        def ready(c):
            slots = die_slots(c, z)
            return (len(slots) == count and
                    all(abs(a - at(b, z)) <= 1 for a, b in zip(slots, DIE_LEFTS[count])) and
                    all(read_die(c, count, i, z) == 0 and not label_shown(c, count, i, z)
                        for i in range(count)) and
                    read_total(c, two_digits, z) == (None, None))
        return self.wait(ready, f"{count} blank dice", label)

    def rolling(self, count=2, label=None):
        """Until the faces change on screen while the dice roll."""
        first = [read_die(self.wait(lambda c: True, "the window"), count, i, self.zoom)
                 for i in range(count)]
        self.wait(lambda c: [read_die(c, count, i, self.zoom) for i in range(count)] != first,
                  "the dice to change while rolling", label)

    def result(self, count=2, two_digits=True, label=None):
        """Until the values show; then faces, values and total agree and stay."""
        client = self.wait(lambda c: all(label_shown(c, count, i, self.zoom)
                                         for i in range(count)), "the values", label)
        values = agreeing_throw(client, count, two_digits, self.zoom)
        for _ in range(3):
            again = self.wait(lambda c: True, "the window")
            if [read_die(again, count, i, self.zoom) for i in range(count)] != values:
                raise AssertionError(f"the dice moved after they stopped: {values}")
        return values

    def throw(self, count=2, two_digits=True, label=None):
        """A throw by mouse, to the reset: returns the values."""
        self.press(ACTION_BUTTON)
        self.rolling(count)
        self.press(ACTION_BUTTON)
        values = self.result(count, two_digits, label and f"{label}-result")
        self.press(ACTION_BUTTON)
        self.ready(count, two_digits)
        return values

    def dialog_box(self):
        """On a compositor, the dialog's client area and Qt's frame (left, top,
        width, height), or None: the longest runs of its ground's rows and
        columns."""
        ground = np.all(self.screen() == DIALOG, axis=2)
        left, width = longest_run(ground.sum(axis=0) >= 100)
        top, height = longest_run(ground[:, left:left + width].sum(axis=1) >= width // 20)
        if 0 <= width - DIALOG_W <= 18 and 0 <= height - DIALOG_H <= 44:
            return left, top, width, height
        return None

    @contextlib.contextmanager
    def settings(self, *keys, label=None):
        """The settings, opened by `keys` or a click on 設定: yields the dialog
        (its window, or on a compositor its box), then waits until it is gone."""
        if keys:
            self.desktop.key(*keys)
        else:
            self.press(CONFIG_BUTTON)
        if self.output:
            dialog = self.desktop.wait_for_value(self.dialog_box, "the dialog")
            if label:
                self.screen(label)
            yield dialog
            self.desktop.wait_for(self.dialog_box, "the dialog to close", lambda box: box is None)
            return
        dialog = self.desktop.find_window(DIALOG_NAME)
        self.desktop.wait_active(dialog)
        self.dialog = dialog
        if label:
            self.desktop.shot(label)
        yield dialog
        self.desktop.wait_gone(DIALOG_NAME)
        self.desktop.wait_active(self.wid)

    def cancel(self):
        """A click on the open dialog's キャンセル, at the screen's scale."""
        scale = self.desktop.geometry(self.dialog)[2] / DIALOG_W
        self.desktop.click(self.dialog, *(at(p, scale) for p in CANCEL_BUTTON))
