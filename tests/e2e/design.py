"""The design's facts that the end-to-end tests read a screen by, typed from
the design once: sizes, places and colours, in pixels at the designed size."""

import json
import os


def twips(t):
    """Twips to pixels, rounded to the nearest pixel as the program does."""
    return (2 * t + 15) // 30


WIDTH, HEIGHT = 1018, 736  # the main window's client area
DIALOG_W, DIALOG_H = 312, 206  # the settings dialog's
GREEN = (0, 128, 0)
PANEL = (16, 16, 16)
LIT, DARK = (255, 255, 63), (55, 55, 55)  # a digit's segments
DIALOG = (239, 239, 239)  # the dialog's ground in the toolkit's own style

DIE_TOP, DIE_SIZE = twips(480), twips(2895)
LABEL_OFFSET, LABEL_TOP, LABEL_W, LABEL_H = twips(600), twips(3720), twips(1695), twips(1455)
TOTAL_TOP, TOTAL_W, TOTAL_H = twips(5880), twips(3015), twips(3735)
TENS_LEFT = twips(4740)
PANEL_TOP, PANEL_H = twips(5760), twips(3975)
# The units digit and the panel, for a two-digit total and for one digit.
UNITS_LEFT = {True: twips(7500), False: twips(6000)}
PANEL_LEFT = {True: twips(4320), False: twips(5640)}
# The buttons' centres: the main window's, and the dialog's Cancel.
CONFIG_BUTTON = (twips(240 + 3015 // 2), twips(9720 + 975 // 2))
ACTION_BUTTON = (twips(12000 + 3015 // 2), twips(9720 + 975 // 2))
CANCEL_BUTTON = (twips(2640 + 1935 // 2), twips(2520 + 495 // 2))

# Middles of the seven segments (a to g) in a 200 x 250 digit picture, and
# the digit each set of lit segments shows (none: the dark blank).
SEGMENT_MIDDLES = [(96.8, 31.5), (157.9, 67.3), (141.1, 177.7), (68.2, 217.6), (44.9, 160.3),
                   (56.4, 84.8), (100.6, 121.0)]
DIGITS = {"abcdef": 0, "bc": 1, "abdeg": 2, "abcdg": 3, "bcfg": 4, "acdfg": 5, "acdefg": 6,
          "abcf": 7, "abcdefg": 8, "abcdfg": 9, "": None}

# The dice's left edges for one to four dice, shared with the widget tests.
with open(os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                       "design.json")) as _f:
    DIE_LEFTS = {int(n): lefts for n, lefts in json.load(_f)["dieLefts"].items()
                 if n.isdigit()}
