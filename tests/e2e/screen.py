"""Reads the main window's screenshot as a user would: faces, digits, labels.

Every reader takes the window's zoom: device pixels on the screen for each
designed pixel (1 as designed; the screen's scale times the program's own
zoom where its window is shown smaller)."""

import subprocess
from collections import deque

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from desktop import twips

GREEN = (0, 128, 0)
WIDTH, HEIGHT = 1018, 736  # the main window's client area
DIALOG = (239, 239, 239)  # the dialog's ground in the toolkit's own style
PANEL = (16, 16, 16)
DIE_TOP, DIE_SIZE = twips(480), twips(2895)
LABEL_TOP, LABEL_W, LABEL_H = twips(3720), twips(1695), twips(1455)
TOTAL_TOP, TOTAL_W, TOTAL_H = twips(5880), twips(3015), twips(3735)
PANEL_TOP, PANEL_H = twips(5760), twips(3975)
CONFIG_BUTTON = (twips(240 + 3015 // 2), twips(9720 + 975 // 2))
ACTION_BUTTON = (twips(12000 + 3015 // 2), twips(9720 + 975 // 2))

# Middles of the seven segments (a to g) in a 200 x 250 digit picture.
SEGMENT_MIDDLES = [(96.8, 31.5), (157.9, 67.3), (141.1, 177.7), (68.2, 217.6), (44.9, 160.3),
                   (56.4, 84.8), (100.6, 121.0)]
DIGITS = {"abcdef": 0, "bc": 1, "abdeg": 2, "abcdg": 3, "bcfg": 4, "acdfg": 5, "acdefg": 6,
          "abcf": 7, "abcdefg": 8, "abcdfg": 9, "": None}


# The design's die left edges in pixels, for one to four dice.
DIE_LEFTS = {1: [416], 2: [291, 539], 3: [165, 413, 661], 4: [40, 288, 536, 784]}


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
        if near(pixel, (255, 255, 63), 30):
            lit += name
        elif not near(pixel, (55, 55, 55), 30):
            raise AssertionError(f"segment {name} is neither lit nor dark: {tuple(pixel)}")
    if lit not in DIGITS:
        raise AssertionError(f"lit segments {lit!r} are no digit")
    return DIGITS[lit]


def read_total(client, two_digits, zoom=1):
    units = read_digit(client, twips(7500 if two_digits else 6000), zoom)
    tens = read_digit(client, twips(4740), zoom) if two_digits else None
    return tens, units


def play_throw(test, wait, press, zoom=1):
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
    faces = [read_die(client, 2, i, zoom) for i in range(2)]
    test.assertEqual([read_label(client, 2, i, zoom) for i in range(2)], faces)
    tens, units = read_total(client, True, zoom)
    test.assertEqual((tens or 0) * 10 + units, sum(faces))
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
    x, y = at(DIE_LEFTS[count][i] + twips(600), zoom), at(LABEL_TOP, zoom)
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
