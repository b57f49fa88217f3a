"""What an area hands to the renderer: single images, state strips, nine-slice sets, GIFs.

Paths are relative to rs/ and use "/"; the programs ask for the same names with "\\".
"""

from dataclasses import dataclass, field

from .draw import document, nested


@dataclass
class Image:
    path: str
    svg: str
    width: int
    height: int
    frames: int = 1          # state frames in the strip (1 = a plain image)
    vertical: bool = True
    role: str = ""


@dataclass
class Gif:
    path: str
    frames: list             # SVG documents, one per frame
    delays: list             # hundredths of a second, one per frame
    width: int
    height: int
    role: str = ""


@dataclass
class Probe:
    """A pixel whose colour is promised (tests of the toolkit rely on it)."""
    path: str
    x: int
    y: int
    rgba: tuple
    note: str = ""
    frame: int = 0           # for GIFs: which frame
    flat: int = 0            # every pixel within this many pixels (square) has the colour too


def strip(path, fw, fh, bodies, vertical=True, role="", defs=""):
    """State strip: frame k of `bodies` is drawn in its own clipped cell, stacked top to
    bottom (or left to right). Frame meanings: 0 normal, 1 mouse over, 2 pressed,
    3 active, 4 disabled."""
    n = len(bodies)
    cells = []
    for k, body in enumerate(bodies):
        x, y = (0, k * fh) if vertical else (k * fw, 0)
        cells.append(nested(x, y, fw, fh, body))
    w, h = (fw, fh * n) if vertical else (fw * n, fh)
    return Image(path, document(w, h, "".join(cells), defs), w, h, n, vertical, role)


def single(path, w, h, body, role="", defs=""):
    return Image(path, document(w, h, body, defs), w, h, 1, True, role)


def nine_slice(folder, w, h, left, top, right, bottom, body, first=1, role="", defs=""):
    """Cuts one drawing of w x h into nine files numbered first .. first + 8, row by row
    (top-left, top, top-right, left, centre, right, bottom-left, bottom, bottom-right).
    Each slice is rendered from the same drawing through its own view box, so the pieces
    join without seams."""
    xs = [(0, left), (left, w - left - right), (w - right, right)]
    ys = [(0, top), (top, h - top - bottom), (h - bottom, bottom)]
    out = []
    n = first
    for (y0, sh) in ys:
        for (x0, sw) in xs:
            svg = document(sw, sh, nested(0, 0, sw, sh, body, view=(x0, y0, sw, sh)), defs)
            out.append(Image(f"{folder}/{n}.png", svg, sw, sh, 1, True, role))
            n += 1
    return out
