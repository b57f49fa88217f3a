"""The top toolbar (rs/): its background, page buttons and the tab shown while it hides.

The strip is 27 pixels of dark glass across the top of the screen; the date (x 20) and the
weather (x 135..240) are drawn by the toolbar itself in white and warm yellow.
"""

from skinkit.draw import Rgba, WHITE, circle, fill_path, gradient_rect, outline, rect, stroke_path, text
from skinkit.images import single, strip
from skinkit.palette import ACCENT, ACCENT_LIGHT, GLASS, R_CONTROL

H = 27

# Tab shown at the top centre while the strip is hidden: a small glass tongue with a
# chevron that says "pull me down".
TAB_W, TAB_H = 56, 12


def hidden_tab():
    r = (0, 0, 6, 6)
    cx = TAB_W / 2
    return (rect(0, 0, TAB_W, TAB_H, GLASS.with_alpha(200), r)
            + outline(0, -2, TAB_W, TAB_H + 2, WHITE.with_alpha(40), r)
            + stroke_path(f"M{cx - 5},4 L{cx},8 L{cx + 5},4", WHITE.with_alpha(220), 1.6))


def header_background():
    # Stretched to the screen's width: nothing may change along x.
    w = 8
    return (gradient_rect(0, 0, w, H, [(0, GLASS.with_alpha(215)), (1, GLASS.with_alpha(175))])
            + rect(0, H - 1, w, 1, WHITE.with_alpha(30)))


# Page buttons: 4 frames (normal, over, pressed, active), each 80 x 27 so that they sit in
# the toolbar's 86-pixel slots.
PAGE_W = 80


def glyph(kind, x, y, c):
    """14-pixel line glyphs for the page buttons."""
    if kind == "desk":
        return "".join(rect(x + dx, y + dy, 6, 6, c, 1.5) for dx in (0, 8) for dy in (0, 8))
    if kind == "nav":
        return (f'<circle cx="{x + 7}" cy="{y + 7}" r="6.2" fill="none" {c.stroke(1.6)}/>'
                + fill_path(f"M{x + 9.8},{y + 4.2} L{x + 8.2},{y + 8.2} L{x + 4.2},{y + 9.8} L{x + 5.8},{y + 5.8} Z", c))
    if kind == "star":
        return fill_path(f"M{x + 7},{y} L{x + 9},{y + 4.6} L{x + 14},{y + 5.1} L{x + 10.2},{y + 8.4} "
                         f"L{x + 11.3},{y + 13.4} L{x + 7},{y + 10.8} L{x + 2.7},{y + 13.4} L{x + 3.8},{y + 8.4} "
                         f"L{x},{y + 5.1} L{x + 5},{y + 4.6} Z", c)
    if kind == "picture":
        return (f'<rect x="{x + 0.8}" y="{y + 1.8}" width="12.4" height="10.4" rx="2" fill="none" {c.stroke(1.6)}/>'
                + fill_path(f"M{x + 2.5},{y + 10.5} L{x + 6},{y + 6.5} L{x + 8.5},{y + 9} L{x + 10},{y + 7.5} L{x + 11.5},{y + 10.5} Z", c)
                + circle(x + 9.8, y + 4.8, 1.2, c))
    raise KeyError(kind)


def page_frames(label, kind, frames=4, w=PAGE_W):
    out = []
    for k in range(frames):
        back = [None, WHITE.with_alpha(26), WHITE.with_alpha(44), WHITE.with_alpha(18)][k]
        ink = WHITE if k else WHITE.with_alpha(205)
        body = rect(4, 2, w - 8, H - 4, back, R_CONTROL) if back else ""
        gx = w / 2 - 22
        body += glyph(kind, gx, H / 2 - 7, ACCENT_LIGHT if k == 3 else ink)
        body += text(gx + 19, H / 2, label, 13, ink, anchor="start")
        if k == 3:
            body += rect(w / 2 - 14, H - 3, 28, 2.5, ACCENT, 1.25)
        out.append(body)
    return out


# Organize and restore: pills 84 x 21 (placed at top 3).
PILL_W, PILL_H = 84, 21


def pill_frames(label, primary):
    out = []
    for k in range(3):
        if primary:
            fill = [ACCENT, ACCENT_LIGHT, Rgba(0x17, 0x62, 0xB8)][k]
            body = rect(0, 0, PILL_W, PILL_H, fill, PILL_H / 2)
        else:
            fill = [WHITE.with_alpha(16), WHITE.with_alpha(36), WHITE.with_alpha(60)][k]
            body = rect(0, 0, PILL_W, PILL_H, fill, PILL_H / 2) + outline(0, 0, PILL_W, PILL_H, WHITE.with_alpha(90), PILL_H / 2)
        out.append(body + text(PILL_W / 2, PILL_H / 2, label, 12, WHITE))
    return out


def images():
    return [
        single("headerBg.png", 8, H, header_background(), role="toolbar background (stretched across)"),
        single("默认-框.png", TAB_W, TAB_H, hidden_tab(), role="toolbar tab while hidden"),
        strip("桌面.png", PAGE_W, H, page_frames("桌面", "desk"), role="desk page button"),
        strip("导航.png", PAGE_W, H, page_frames("导航", "nav"), role="navigation page button"),
        strip("推荐.png", PAGE_W, H, page_frames("推荐", "star"), role="recommended page button"),
        strip("壁纸.png", 72, H, page_frames("壁纸", "picture", 3, 72), role="wallpaper button"),
        strip("整理.png", PILL_W, PILL_H, pill_frames("一键整理", True), role="organize button"),
        strip("已整理.png", PILL_W, PILL_H, pill_frames("还原桌面", False), role="restore button"),
    ]
