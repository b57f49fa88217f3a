"""Images the list control and the scroll bar draw with: entry highlights and the thumb."""

from skinkit.draw import Rgba, WHITE, outline, rect, round_rect_path
from skinkit.images import Probe, nine_slice, strip
from skinkit.palette import ACCENT, R_ITEM

# Highlight sets are nine slices of a small rounded tile: 5-pixel corners, 4-pixel edges
# and centre (stretched by the list to the entry's rectangle).
CORNER = 5
MID = 4
TILE = 2 * CORNER + MID

# Entry highlights are layered (a selected entry under the mouse gets two), so every set
# stays translucent; the outline keeps a highlight readable on busy wallpapers.
HIGHLIGHTS = [
    ("文件触发/鼠标移上", WHITE.with_alpha(36), WHITE.with_alpha(64),
     "entry under the mouse"),
    ("文件触发/鼠标点击", ACCENT.with_alpha(84), ACCENT.with_alpha(150),
     "pressed or selected entry"),
    ("文件触发/鼠标焦点", ACCENT.with_alpha(110), Rgba(0x8C, 0xC6, 0xFF, 210),
     "focused entry"),
    ("未操作文件/深颜色", Rgba(0, 0, 0, 34), None,
     "entry at rest, dark variant"),
]

THUMB_W = 8
THUMB_FRAME = 8
# Normal, mouse over, pressed: the thumb gets more solid as the user reaches for it.
THUMB_STATES = [WHITE.with_alpha(110), WHITE.with_alpha(165), WHITE.with_alpha(225)]


def highlight_tile(fill, border):
    return rect(0, 0, TILE, TILE, fill, R_ITEM) + (outline(0, 0, TILE, TILE, border, R_ITEM) if border else "")


def thumb_part(part, colour):
    """One 8 x 8 state of the thumb: the top cap is rounded above, the bottom cap below,
    the middle is flat (the scroll bar stretches it to the thumb's length)."""
    r = THUMB_W / 2
    radii = {"top": (r, r, 0, 0), "center": 0, "bottom": (0, 0, r, r)}[part]
    return f'<path d="{round_rect_path(0, 0, THUMB_W, THUMB_FRAME, radii)}" {colour.fill()}/>'


def images():
    out = []
    for folder, fill, border, role in HIGHLIGHTS:
        out += nine_slice(folder, TILE, TILE, CORNER, CORNER, CORNER, CORNER,
                          highlight_tile(fill, border), first=1, role=f"nine-slice highlight: {role}")
    # Caps and middle share one height (three 8-pixel rows), because the scroll bar takes
    # the state row of every part at an offset computed from the middle image's height.
    for part in ("top", "center", "bottom"):
        out.append(strip(f"scroll-{part}.png", THUMB_W, THUMB_FRAME,
                         [thumb_part(part, c) for c in THUMB_STATES],
                         role=f"scroll thumb {part}"))
    return out


def probes():
    out = []
    for folder, fill, _, _ in HIGHLIGHTS:
        out.append(Probe(f"{folder}/5.png", MID // 2, MID // 2, fill.tuple(), "centre slice"))
    for part in ("top", "center", "bottom"):
        for k, c in enumerate(THUMB_STATES):
            out.append(Probe(f"scroll-{part}.png", THUMB_W // 2, k * THUMB_FRAME + THUMB_FRAME // 2,
                             c.tuple(), f"state {k}"))
    return out
