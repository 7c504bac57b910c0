#!/usr/bin/env python3
"""Checks that each picture of the user's guide shows what its caption says.

A picture that was cropped from the wrong moment of the demo (a title where the seek bar
should be, the build folder where a user's path should be, a help line crossed by a
frame) still exists and still looks like a popup; these checks look at its pixels.

    scripts/check_pictures.py [docs/pictures]

Reads the PNG files through ImageMagick's convert. Exits 1 and names every picture
that fails a check.
"""

import subprocess
import sys
from pathlib import Path

# Popups are drawn dark on a light face; the crop adds a black border of 3 pixels.
BORDER = 3
LINE_HEIGHT_MIN = 12  # the popups' bold font, one line


class Picture:
    def __init__(self, path):
        self.path = Path(path)
        size = subprocess.check_output(["identify", "-format", "%w %h", str(path)])
        self.width, self.height = map(int, size.split())
        raw = subprocess.check_output(["convert", str(path), "-depth", "8", "rgb:-"])
        self.pixels = [raw[i : i + 3] for i in range(0, len(raw), 3)]

    def dark(self, x, y):
        return sum(self.pixels[y * self.width + x]) < 200

    def row_runs(self, y, x0=0, x1=None):
        """The runs of dark pixels of a row, as (start, length)."""
        x1 = self.width if x1 is None else x1
        runs, start = [], None
        for x in range(x0, x1):
            if self.dark(x, y):
                start = x if start is None else start
            elif start is not None:
                runs.append((start, x - start))
                start = None
        if start is not None:
            runs.append((start, x1 - start))
        return runs

    def inner_rows(self):
        return range(BORDER + 1, self.height - BORDER - 1)

    def inner_columns(self):
        return (BORDER + 1, self.width - BORDER - 1)


def one_line_popup(p):
    inner = p.height - 2 * BORDER
    if not LINE_HEIGHT_MIN <= inner <= 2 * LINE_HEIGHT_MIN:
        return f"{inner} rows inside the border: not a one-line popup"
    x0, x1 = p.inner_columns()
    if not any(p.row_runs(y, x0, x1) for y in p.inner_rows()):
        return "no text on the popup"
    return None


def scaled_popup(of, scale):
    """The popup of the picture named at the display's scale: a one-line popup whose
    inside is that much taller and wider than the one at 100 %, within a pixel of the
    rounding of its font and text."""

    def check(p):
        base_path = p.path.parent / of
        if not base_path.exists():
            return f"{of}, the popup at 100 %, is missing"
        base = Picture(base_path)
        tall = (p.height - 2 * BORDER) / (base.height - 2 * BORDER)
        wide = (p.width - 2 * BORDER) / (base.width - 2 * BORDER)
        if not scale - 0.1 <= tall <= scale + 0.1:
            return f"{tall:.2f} times as tall as {of}: not at {scale:.0%}"
        # The text differs from the one at 100 %; its letters alone are larger.
        if wide < 1.0:
            return f"narrower than {of}: not at {scale:.0%}"
        x0, x1 = p.inner_columns()
        if not any(p.row_runs(y, x0, x1) for y in p.inner_rows()):
            return "no text on the popup"
        return None

    return check


def level_bar(p):
    """The bar of ten squares: the empty ones in a frame with dark top and bottom edges,
    the filled ones before it as dark blocks as high as the frame's inside."""
    problem = one_line_popup(p)
    if problem:
        return problem
    x0, x1 = p.inner_columns()
    edges = {}
    for y in p.inner_rows():
        for start, length in p.row_runs(y, x0, x1):
            if length >= 40:
                edges.setdefault((start, length), []).append(y)
    frames = [(start, length, ys) for (start, length), ys in edges.items() if max(ys) - min(ys) >= 5]
    if not frames:
        return "no bar: no frame of two long dark edges"
    start, length, ys = frames[0]
    top, bottom = min(ys), max(ys)
    filled = [x for x in range(x0, start) if all(p.dark(x, y) for y in range(top + 1, bottom))]
    if len(filled) < 4:
        return "the bar has no filled square"
    return None


def multi_line_popup(min_lines):
    def check(p):
        lines = (p.height - 2 * BORDER) // LINE_HEIGHT_MIN
        if lines < min_lines:
            return f"about {lines} lines, {min_lines} expected"
        return None

    return check


def file_information(p):
    """The file facts, whose second line is the folder: a folder a user could have
    ("D:\\Music") is short, the build folder of the machine that made the picture long."""
    problem = multi_line_popup(12)(p)
    if problem:
        return problem
    x0, x1 = p.inner_columns()
    # The first line is the caption; the second, the path.
    lines = text_bands(p, x0, x1, BORDER + 1, p.height - BORDER - 1)
    if len(lines) < 3:
        return "no lines of text"
    path_rows = [y for y in range(lines[1], lines[2]) if p.row_runs(y, x0, x1)]
    right = max(start + length for y in path_rows for start, length in p.row_runs(y, x0, x1))
    if right - x0 > 0.6 * (x1 - x0):
        return "the path line is as wide as the popup: a long build folder, not a user's path"
    return None


def text_bands(p, x0, x1, y0, y1):
    """The lines of text between two rows: bands of rows with dark pixels."""
    bands, previous = [], None
    for y in range(y0, y1):
        if not p.row_runs(y, x0, x1):
            continue
        if previous is None or y > previous + 1:
            bands.append(y)
        previous = y
    return bands


def hotkeys_window(p):
    """The hotkeys window: its list with the first action selected (a band of the
    selection colour across the list) and, below it, a row for each action that fits."""
    if p.width != 464:
        return f"{p.width} pixels wide: not the hotkeys window"

    def selected(y):
        row = p.pixels[y * p.width : (y + 1) * p.width]
        return sum(1 for r, g, b in row if b > 150 and r < 100) > 0.8 * p.width

    band = [y for y in range(min(80, p.height)) if selected(y)]
    if len(band) < 10:
        return "no selected row at the top of the list"
    lines = text_bands(p, 10, 440, band[-1] + 1, min(p.height, band[-1] + 300))
    if len(lines) < 18:
        return f"{len(lines)} rows of actions below the selected one, 18 expected"
    return None

# The configuration window's four group boxes, in client pixels (x, y, width, height),
# and the half caption height at which their top line runs.
CONFIG_BOXES = [(6, 2, 222, 178), (230, 2, 222, 178), (6, 183, 222, 266), (230, 183, 222, 266)]
CAPTION_HALF = 6


def config_window(p):
    """The configuration window: every frame line of its four boxes unbroken but for the
    caption on the top line, and no text in the gaps between the boxes. Help lines used
    to cross a frame, hide under a caption and lose letters to the gap."""
    if p.width != 464:
        return f"{p.width} pixels wide: not the configuration window"

    def frame(x, y):
        r, g, b = p.pixels[y * p.width + x]
        return r == g == b and 120 <= r <= 200

    # The client area starts inside the window's frame and caption: find it from the
    # left line of the first box, the longest grey column near the left edge.
    columns = [(sum(frame(x, y) for y in range(p.height)), x) for x in range(30)]
    count, left = max(columns)
    if count < 300:
        return "no frame line of the Playback box"
    ox = left - CONFIG_BOXES[0][0]
    oy = next((y for y in range(p.height) if frame(left, y)), 0) - CONFIG_BOXES[0][1] - CAPTION_HALF
    problems = []
    for n, (x, y, w, h) in enumerate(CONFIG_BOXES, 1):
        x0, y0, x1, y1 = ox + x, oy + y + CAPTION_HALF, ox + x + w - 2, oy + y + h - 1
        if y1 >= p.height:
            return "the window is cut off below its boxes"
        # Two pixels at each end belong to the corners.
        sides = {
            "bottom": [frame(i, y1) for i in range(x0 + 2, x1 - 1)],
            "left": [frame(x0, j) for j in range(y0 + 2, y1 - 1)],
            "right": [frame(x1, j) for j in range(y0 + 2, y1 - 1)],
        }
        for side, line in sides.items():
            if not all(line):
                problems.append(f"box {n}: its {side} line is broken")
        # The top line: a stretch before the caption, the caption (its letters have
        # grey edges), and the rest up to the corner, unbroken. A caption is never
        # wider than four fifths of its box.
        top = [frame(i, y0) for i in range(x0, x1 - 1)]
        gaps = [i for i, on in enumerate(top) if not on]
        if not all(top[:4]) or (gaps and gaps[-1] > 0.8 * w):
            problems.append(f"box {n}: its top line is broken outside the caption")
            continue
        # Beside the caption and below the top line, nothing but the box's face.
        caption_end = x0 + (gaps[-1] if gaps else 0) + 2
        if any(p.dark(i, j) for i in range(caption_end, x1 - 1) for j in range(y0 + 1, y0 + CAPTION_HALF + 1)):
            problems.append(f"box {n}: text beside its caption")
    # Nothing dark between the boxes: the column between left and right, the rows
    # between upper and lower.
    gap_columns = range(ox + 228, ox + 230)
    gap_rows = range(oy + 180, oy + 183)
    if any(p.dark(x, y) for x in gap_columns for y in range(oy + 2, oy + 449)):
        problems.append("text in the gap between the left and right boxes")
    if any(p.dark(x, y) for y in gap_rows for x in range(ox + 6, ox + 452)):
        problems.append("text in the gap between the upper and lower boxes")
    return "; ".join(problems) or None


CHECKS = {
    "version.png": one_line_popup,
    "song.png": one_line_popup,
    "song-150.png": scaled_popup("song.png", 1.5),
    "shuffle-on.png": one_line_popup,
    "renamed.png": one_line_popup,
    "tag-created.png": one_line_popup,
    "seek.png": level_bar,
    "id3-tag.png": multi_line_popup(6),
    "file-info.png": file_information,
    "taken-hotkeys.png": multi_line_popup(3),
    "hotkeys.png": hotkeys_window,
    "config.png": config_window,
}


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "docs" / "pictures")
    failures = 0
    for name, check in CHECKS.items():
        path = folder / name
        problem = check(Picture(path)) if path.exists() else "missing"
        if problem:
            failures += 1
            print(f"{path}: {problem}")
    unchecked = sorted(p.name for p in folder.glob("*.png") if p.name not in CHECKS)
    for name in unchecked:
        failures += 1
        print(f"{folder / name}: no check says what it shows")
    if failures:
        return 1
    print(f"{len(CHECKS)} pictures show what their captions say")
    return 0


if __name__ == "__main__":
    sys.exit(main())
