"""The design's facts that the end-to-end tests read a screen by, in pixels
at the designed size: from design.json, typed from the design once and read
by the widget tests too; and the colours."""

import json
import pathlib

_DESIGN = json.loads((pathlib.Path(__file__).resolve().parents[1] / "design.json").read_text())


def twips(t):
    """Twips to pixels, rounded to the nearest pixel as the program does."""
    return (2 * t + 15) // 30


def _place(window, name, layout="controls"):
    return [twips(n) for n in _DESIGN[window][layout][name]]


def _centre(window, name):
    x, y, w, h = _place(window, name)
    return x + w // 2, y + h // 2


WIDTH, HEIGHT = (twips(n) for n in _DESIGN["main"]["client"])
DIALOG_W, DIALOG_H = (twips(n) for n in _DESIGN["dialog"]["client"])
_COLOURS = {name: tuple(rgb) for name, rgb in _DESIGN["colours"].items()}
GREEN = _COLOURS["window"]
LIT, DARK = _COLOURS["lit"], _COLOURS["dark"]  # a digit's segments
RED_PIP, VALUE_GROUND = _COLOURS["redPip"], _COLOURS["valueGround"]
PRODUCT = _DESIGN["product"]  # the product's name, which begins the main window's title
TITLE = _DESIGN["title"]  # the main window's
CAPTIONS = _DESIGN["captions"]  # by control; the action button's by roll state; the dialog's title
ICON = _DESIGN["icon"]  # the window icon's sizes, in order
DIGIT_W, DIGIT_H = _DESIGN["digit"]  # a digit picture's pixels
VALUE_FONT = _DESIGN["fontPixels"]["value"]
DIALOG = _COLOURS["dialog"]  # the dialog's ground in the toolkit's own style

_, DIE_TOP, DIE_SIZE, _ = _place("main", "imgDice0")
_, LABEL_TOP, LABEL_W, LABEL_H = _place("main", "lblDice0")
LABEL_OFFSET = twips(_DESIGN["main"]["labelOffset"])
TENS_LEFT, TOTAL_TOP, TOTAL_W, TOTAL_H = _place("main", "imgTotal0")
_, PANEL_TOP, _, PANEL_H = _place("main", "shpBack")
# The units digit, for a two-digit total and for one digit.
UNITS_LEFT = {True: _place("main", "imgTotal1")[0],
              False: _place("main", "imgTotal1", "oneDigit")[0]}
# The buttons' centres: the main window's, and the dialog's Cancel.
CONFIG_BUTTON = _centre("main", "cmdConfig")
ACTION_BUTTON = _centre("main", "cmdAction")
CANCEL_BUTTON = _centre("dialog", "cmdCancel")
# The dice's left edges for one to four dice.
DIE_LEFTS = {int(n): [twips(x) for x in lefts] for n, lefts in _DESIGN["main"]["dieLefts"].items()}

# Middles of the seven segments (a to g) in a digit picture, and
# the digit each set of lit segments shows (None: the dark blank).
SEGMENT_MIDDLES = [(sum(c[0] for c in s) / 4, sum(c[1] for c in s) / 4)
                   for s in _DESIGN["segments"]]
DIGITS = {lit: k if lit else None for k, lit in enumerate(_DESIGN["lit"])}
