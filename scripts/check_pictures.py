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


CHECKS = {
    "version.png": one_line_popup,
    "song.png": one_line_popup,
    "shuffle-on.png": one_line_popup,
    "renamed.png": one_line_popup,
    "tag-created.png": one_line_popup,
    "seek.png": level_bar,
    "id3-tag.png": multi_line_popup(6),
    "file-info.png": file_information,
    "taken-hotkeys.png": multi_line_popup(3),
    "hotkeys.png": hotkeys_window,
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
    unchecked = sorted(p.name for p in folder.glob("*.png") if p.name not in CHECKS and p.name != "config.png")
    for name in unchecked:
        failures += 1
        print(f"{folder / name}: no check says what it shows")
    if failures:
        return 1
    print(f"{len(CHECKS)} pictures show what their captions say")
    return 0


if __name__ == "__main__":
    sys.exit(main())
