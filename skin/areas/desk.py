"""The desk page: box frames, the box menu button and the drag-and-drop pictures."""

from skinkit.draw import (Rgba, WHITE, circle, fill_path, gradient_rect, outline, rect,
                          ring, stroke_path)
from skinkit.images import Probe, nine_slice, single, strip
from skinkit.palette import ACCENT, ACCENT_LIGHT, DANGER, GLASS, R_BOX, SUCCESS

# Box frame slices. The top row is as tall as the title band (the title is drawn at
# t + 10, the list starts at t + 48) so the band and its divider stretch with the box.
SIDE = 12
TOP = 44
BOTTOM = 12
MIDDLE = 8
BOX_W = 2 * SIDE + MIDDLE
BOX_H = TOP + MIDDLE + BOTTOM
DIVIDER_Y = 41

BOXES = {
    # Resting box: light enough to show the wallpaper through, dark enough for white labels.
    "框/默认": dict(fill=GLASS.with_alpha(128), band=WHITE.with_alpha(14),
                   edge=WHITE.with_alpha(46), divider=WHITE.with_alpha(34)),
    # Active box: a touch denser, with the accent on its rim.
    "框/鼠标移上-操作": dict(fill=GLASS.with_alpha(160), band=WHITE.with_alpha(20),
                        edge=ACCENT_LIGHT.with_alpha(190), divider=WHITE.with_alpha(44)),
}


def box_frame(fill, band, edge, divider):
    w, h = BOX_W, BOX_H
    return (rect(0, 0, w, h, fill, R_BOX)
            # A faint sheen over the title band, fading towards the divider.
            + gradient_rect(1, 1, w - 2, DIVIDER_Y - 1, [(0, band), (1, band.with_alpha(0))],
                            (R_BOX - 1, R_BOX - 1, 0, 0))
            + rect(10, DIVIDER_Y, w - 20, 1, divider)
            # Dark hairline outside, light hairline inside: the rim reads on light and dark
            # wallpapers alike.
            + outline(0, 0, w, h, Rgba(0, 0, 0, 60), R_BOX)
            + outline(1, 1, w - 2, h - 2, edge, R_BOX - 1))


# Menu button: 19 x 20, three states.
MENU_W, MENU_H = 19, 20
MENU_STATES = [(None, WHITE.with_alpha(190)), (WHITE.with_alpha(40), WHITE),
               (WHITE.with_alpha(72), WHITE)]


def menu_frame(back, glyph):
    body = rect(0, 0, MENU_W, MENU_H, back, 5) if back else ""
    cx, cy = MENU_W / 2, MENU_H / 2
    return body + stroke_path(f"M{cx - 4},{cy - 2} L{cx},{cy + 2} L{cx + 4},{cy - 2}", glyph, 1.6)


# Insertion marker: a bar with short cross-bars at both ends; the ends are 4 pixels wide
# because the desk keeps 4 pixels from each end and stretches the middle.
MARK_LONG, MARK_SHORT = 32, 8


def marker(horizontal):
    c = ACCENT
    if horizontal:
        return (rect(1, 0, 2.5, MARK_SHORT, c, 1.25) + rect(MARK_LONG - 3.5, 0, 2.5, MARK_SHORT, c, 1.25)
                + rect(1, 3, MARK_LONG - 2, 2, c))
    return (rect(0, 1, MARK_SHORT, 2.5, c, 1.25) + rect(0, MARK_LONG - 3.5, MARK_SHORT, 2.5, c, 1.25)
            + rect(3, 1, 2, MARK_LONG - 2, c))


# Drag view: a 20-pixel-high dark pill behind the verb and target texts.
DRAG_CORNER, DRAG_MID = 6, 8
DRAG_FILL = Rgba(0x14, 0x18, 0x20, 235)


def drag_back():
    s = 2 * DRAG_CORNER + DRAG_MID
    return rect(0, 0, s, s, DRAG_FILL, 6) + outline(0, 0, s, s, WHITE.with_alpha(40), 6)


ICON = 16


def effect_icon(kind):
    c = ICON / 2
    if kind == "move":
        return (circle(c, c, 8, ACCENT)
                + stroke_path(f"M4.5,{c} H11 M8.2,5.2 L11.2,{c} L8.2,10.8", WHITE, 1.7))
    if kind == "add":
        return (circle(c, c, 8, SUCCESS)
                + stroke_path(f"M{c},4.3 V11.7 M4.3,{c} H11.7", WHITE, 1.8, cap="round"))
    if kind == "link":
        return (circle(c, c, 8, ACCENT)
                + stroke_path("M5,11 C5,7.5 7,5.8 10.5,5.8", WHITE, 1.6)
                + fill_path("M9.2,3.4 L12.6,5.8 L9.2,8.2 Z", WHITE))
    # prohibit
    return (circle(c, c, 8, WHITE) + ring(c, c, 6, DANGER, 2.2)
            + stroke_path("M4,12 L12,4", DANGER, 2.2, cap="butt"))


def images():
    out = []
    for folder, style in BOXES.items():
        out += nine_slice(folder, BOX_W, BOX_H, SIDE, TOP, SIDE, BOTTOM, box_frame(**style),
                          first=1, role="nine-slice box frame" + (" (active)" if "操作" in folder else ""))
    out.append(strip("框/menu.png", MENU_W, MENU_H, [menu_frame(b, g) for b, g in MENU_STATES],
                     role="box menu button"))
    out.append(single("拖拽/horizontal.png", MARK_LONG, MARK_SHORT, marker(True),
                      role="insertion marker between rows (4-pixel end caps)"))
    out.append(single("拖拽/vertical.png", MARK_SHORT, MARK_LONG, marker(False),
                      role="insertion marker between columns (4-pixel end caps)"))
    s = 2 * DRAG_CORNER + DRAG_MID
    out += nine_slice("拖拽/images", s, s, DRAG_CORNER, DRAG_CORNER, DRAG_CORNER, DRAG_CORNER,
                      drag_back(), first=1, role="nine-slice drag view background")
    for name, kind in (("icon_move", "move"), ("icon_add", "add"), ("icon_link", "link"),
                       ("prohibit", "prohibit")):
        out.append(single(f"拖拽/{name}.png", ICON, ICON, effect_icon(kind), role=f"drag effect icon: {kind}"))
    return out


def probes():
    return [Probe(f"{folder}/5.png", MIDDLE // 2, MIDDLE // 2, style["fill"].tuple(), "box body")
            for folder, style in BOXES.items()]
