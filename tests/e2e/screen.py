"""Reads the main window's screenshot as a user would: faces, digits, labels.

Every reader takes the window's zoom: device pixels on the screen for each
designed pixel (1 as designed; the screen's scale times the program's own
zoom where its window is shown smaller)."""

import subprocess
from collections import deque

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from design import (ACTION_BUTTON, DARK, DIE_LEFTS, DIE_SIZE, DIE_TOP, DIGITS, GREEN,
                    LABEL_H, LABEL_OFFSET, LABEL_TOP, LABEL_W, LIT, SEGMENT_MIDDLES, TENS_LEFT,
                    HEIGHT, TOTAL_H, TOTAL_TOP, TOTAL_W, UNITS_LEFT, WIDTH)


def near(pixel, colour, tolerance=12):
    return all(abs(int(p) - c) <= tolerance for p, c in zip(pixel, colour))


def components(mask):
    """The number of 8-connected regions in a boolean mask."""
    seen = np.zeros_like(mask, dtype=bool)
    h, w = mask.shape
    count = 0
    for y0, x0 in zip(*np.nonzero(mask)):
        if seen[y0, x0]:
            continue
        count += 1
        queue = deque([(y0, x0)])
        seen[y0, x0] = True
        while queue:
            y, x = queue.popleft()
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    ny, nx = y + dy, x + dx
                    if 0 <= ny < h and 0 <= nx < w and mask[ny, nx] and not seen[ny, nx]:
                        seen[ny, nx] = True
                        queue.append((ny, nx))
    return count


def at(pixels, zoom):
    """A designed position or size in pixels, at a zoom."""
    return int(pixels * zoom + 0.5)


def zoom_of(client):
    """The zoom of a window's client area, from its width."""
    return client.shape[1] / WIDTH


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


def window_origin(wait_for, shoot, what, zoomed=False):
    """Where the main window's client area is on a compositor's screen: the
    window's green, WIDTH x HEIGHT, or smaller in proportion where `zoomed`.
    `shoot()` gives the screen. Returns x, y, and the zoom where `zoomed`."""
    found = []

    def shown():
        found.append(box(np.all(shoot() == GREEN, axis=2)))
        if found[-1] is None:
            return False
        w, h = found[-1][2:]
        if not zoomed:
            return (w, h) == (WIDTH, HEIGHT)
        return w < WIDTH and abs(h - HEIGHT * w / WIDTH) <= 2

    wait_for(shown, what)
    x, y, w, _ = found[-1]
    return (x, y, w / WIDTH) if zoomed else (x, y)


def die_crop(client, count, i, zoom=1):
    x, y, size = at(DIE_LEFTS[count][i], zoom), at(DIE_TOP, zoom), at(DIE_SIZE, zoom)
    return client[y:y + size, x:x + size]


def read_die(client, count, i, zoom=1):
    """The pips on a die's face: 0 for a blank face, None where no die shows."""
    crop = die_crop(client, count, i, zoom).astype(int)
    size = crop.shape[0]
    corner = crop[0, 0]
    if not near(corner, GREEN):
        return None
    white = (crop[..., 0] > 240) & (crop[..., 1] > 240) & (crop[..., 2] > 240)
    if white.sum() < size * size // 2:
        return None
    red = (crop[..., 0] > 200) & (crop[..., 1] < 60) & (crop[..., 2] < 60)
    if red.sum() > 100 * zoom * zoom:
        return 1
    black = (crop[..., 0] < 60) & (crop[..., 1] < 60) & (crop[..., 2] < 60)
    return components(black)


def read_digit(client, left, zoom=1):
    """The digit a total position shows (`left` in designed pixels); None
    for the dark blank digit."""
    top, left = at(TOTAL_TOP, zoom), at(left, zoom)
    crop = client[top:top + at(TOTAL_H, zoom), left:left + at(TOTAL_W, zoom)]
    lit = ""
    for name, (x, y) in zip("abcdefg", SEGMENT_MIDDLES):
        pixel = crop[int(y * TOTAL_H / 250 * zoom), int(x * TOTAL_W / 200 * zoom)]
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
    """The values of a finished throw on screen, once its faces, the values
    under them and the total are seen to agree; AssertionError where not."""
    faces = [read_die(client, count, i, zoom) for i in range(count)]
    labels = [read_label(client, count, i, zoom) for i in range(count)]
    tens, units = read_total(client, two_digits, zoom)
    if faces != labels or (tens or 0) * 10 + units != sum(labels) or (tens == 0):
        raise AssertionError(f"faces {faces}, values {labels}, total {tens} {units}")
    return labels


def play_throw(wait, press, zoom=1):
    """A throw of two dice by mouse, read from the screen: they tumble, then
    stop with faces, labels and total agreeing, then reset. `wait(condition,
    what, label)` returns the window's client area once it meets the
    condition; `press(point)` clicks a point of it."""
    action = tuple(at(p, zoom) for p in ACTION_BUTTON)
    press(action)
    wait(lambda c: all(read_die(c, 2, i, zoom) for i in range(2)), "rolling")  # no blank face
    press(action)
    client = wait(lambda c: all(label_shown(c, 2, i, zoom) for i in range(2)), "the values",
                  "result")
    agreeing_throw(client, 2, True, zoom)
    press(action)
    wait(lambda c: not label_shown(c, 2, 0, zoom), "the reset")


_templates = {}


def _glyph_mask(mask):
    ys, xs = np.nonzero(mask)
    if len(xs) == 0:
        return None
    return mask[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


def _template(text, size):
    if (text, size) not in _templates:
        path = subprocess.run(["fc-match", "-f", "%{file}", "IPAPGothic"], capture_output=True,
                              text=True).stdout.strip()
        font = ImageFont.truetype(path, size)
        image = Image.new("L", (3 * size, 2 * size), 0)
        ImageDraw.Draw(image).text((10, 10), text, fill=255, font=font)
        _templates[text, size] = _glyph_mask(np.asarray(image) > 128)
    return _templates[text, size]


def _overlap(a, b):
    h, w = max(a.shape[0], b.shape[0]), max(a.shape[1], b.shape[1])
    pa = np.zeros((h, w), bool)
    pb = np.zeros((h, w), bool)
    pa[:a.shape[0], :a.shape[1]] = a
    pb[:b.shape[0], :b.shape[1]] = b
    return (pa & pb).sum() / max(1, (pa | pb).sum())


def label_box(client, count, i, zoom=1):
    x, y = at(DIE_LEFTS[count][i] + LABEL_OFFSET, zoom), at(LABEL_TOP, zoom)
    return client[y:y + at(LABEL_H, zoom), x:x + at(LABEL_W, zoom)]


def label_shown(client, count, i, zoom=1):
    crop = label_box(client, count, i, zoom)
    return near(crop[2, 2], (0, 0, 0))


def read_label(client, count, i, zoom=1):
    """The number in a value label, matched against the font's own glyphs
    at the label's 72 pt (96 px), zoomed."""
    crop = label_box(client, count, i, zoom).astype(int)
    yellow = (crop[..., 0] > 128) & (crop[..., 1] > 128) & (crop[..., 2] < 100)
    glyph = _glyph_mask(yellow)
    if glyph is None:
        raise AssertionError("the label shows no text")
    scores = {v: _overlap(glyph, _template(str(v), at(96, zoom))) for v in range(0, 11)}
    best = max(scores, key=scores.get)
    if scores[best] < 0.7:
        raise AssertionError(f"label unreadable (best {best} at {scores[best]:.2f})")
    return best
