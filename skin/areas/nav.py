"""Navigation pages (rs/导航/): the tab strip at the bottom, the search box, my-sites tiles,
the recommended-sites boxes and the web pages' content background."""

from skinkit.draw import (Rgba, WHITE, circle, document, fill_path, gradient_rect, outline, panel, polar,
                          rect, ring, stroke_path, text)
from skinkit.images import Gif, nine_slice, single, strip
from skinkit.palette import (ACCENT, ACCENT_DARK, ACCENT_DEEP, ACCENT_LIGHT, CARD, CARD_BORDER, CARD_LINE,
                             CARD_SOFT, DANGER, GLASS, INK, INK_FAINT, INK_SOFT, R_BOX, R_CONTROL,
                             R_DIALOG, R_ITEM, SUCCESS)

from . import dialogs, toolkit

N = "导航"
BAR_H = 37


def bar_background():
    w = 8
    return (gradient_rect(0, 0, w, BAR_H, [(0, GLASS.with_alpha(170)), (1, GLASS.with_alpha(215))])
            + rect(0, 0, w, 1, WHITE.with_alpha(30)))


TAB_W = 100


def tab_glyph(kind, x, y, c):
    """16-pixel glyphs for the tabs."""
    if kind == "mine":       # a house
        return stroke_path(f"M{x + 2},{y + 8} L{x + 8},{y + 2.5} L{x + 14},{y + 8} M{x + 4},{y + 7} V{y + 14} H{x + 12} V{y + 7}",
                           c, 1.6)
    if kind == "recommend":  # a thumbs-up-like star badge
        return (ring(x + 8, y + 8, 6.5, c, 1.6)
                + fill_path(f"M{x + 8},{y + 4} L{x + 9.2},{y + 6.8} L{x + 12},{y + 7} L{x + 9.8},{y + 8.8} "
                            f"L{x + 10.5},{y + 11.6} L{x + 8},{y + 10.1} L{x + 5.5},{y + 11.6} L{x + 6.2},{y + 8.8} "
                            f"L{x + 4},{y + 7} L{x + 6.8},{y + 6.8} Z", c))
    if kind == "hot":        # a flame
        return fill_path(f"M{x + 8},{y + 1} C{x + 12},{y + 5} {x + 14},{y + 8} {x + 13},{y + 11} "
                         f"C{x + 12},{y + 14.5} {x + 4},{y + 14.5} {x + 3},{y + 11} C{x + 2.5},{y + 8.5} "
                         f"{x + 4.5},{y + 7} {x + 5.5},{y + 5.5} C{x + 6},{y + 7.5} {x + 7},{y + 8} {x + 7.8},{y + 8} "
                         f"C{x + 8.5},{y + 6} {x + 8.5},{y + 3.5} {x + 8},{y + 1} Z", c)
    if kind == "video":      # a play button
        return (f'<rect x="{x + 1.8}" y="{y + 2.8}" width="12.4" height="10.4" rx="2.5" fill="none" {c.stroke(1.6)}/>'
                + fill_path(f"M{x + 6.5},{y + 5.5} L{x + 11},{y + 8} L{x + 6.5},{y + 10.5} Z", c))
    if kind == "games":      # a game pad
        return (f'<rect x="{x + 1.5}" y="{y + 4}" width="13" height="9" rx="4.5" fill="none" {c.stroke(1.6)}/>'
                + stroke_path(f"M{x + 5},{y + 6.5} V{y + 10.5} M{x + 3},{y + 8.5} H{x + 7}", c, 1.4)
                + circle(x + 11, y + 7.3, 1.1, c) + circle(x + 12.3, y + 9.7, 1.1, c))
    if kind == "shopping":   # a bag
        return (f'<path d="M{x + 2.5},{y + 5.5} H{x + 13.5} L{x + 12.5},{y + 14.5} H{x + 3.5} Z" fill="none" '
                f'{c.stroke(1.6)} stroke-linejoin="round"/>'
                + stroke_path(f"M{x + 5.5},{y + 7} V{y + 4.5} C{x + 5.5},{y + 1.5} {x + 10.5},{y + 1.5} {x + 10.5},{y + 4.5} V{y + 7}",
                              c, 1.4))
    if kind == "life":       # a leaf
        return (fill_path(f"M{x + 2},{y + 14} C{x + 2},{y + 6} {x + 7},{y + 2} {x + 14.5},{y + 2} "
                          f"C{x + 14.5},{y + 9.5} {x + 10},{y + 14} {x + 2},{y + 14} Z", c.with_alpha(70))
                + stroke_path(f"M{x + 2},{y + 14} C{x + 2},{y + 6} {x + 7},{y + 2} {x + 14.5},{y + 2} "
                              f"C{x + 14.5},{y + 9.5} {x + 10},{y + 14} {x + 2},{y + 14} M{x + 3},{y + 13} L{x + 10},{y + 6}", c, 1.5))
    raise KeyError(kind)


def tab_frames(label, kind):
    """Normal, over, pressed, active. The active tab is marked along its top edge, which
    faces the page it belongs to."""
    out = []
    for k in range(4):
        back = [None, WHITE.with_alpha(22), WHITE.with_alpha(40), WHITE.with_alpha(16)][k]
        ink = WHITE if k else WHITE.with_alpha(200)
        body = rect(3, 4, TAB_W - 6, BAR_H - 8, back, R_CONTROL) if back else ""
        tw = 13 * len(label)
        gx = (TAB_W - (18 + tw)) / 2
        body += tab_glyph(kind, gx, BAR_H / 2 - 8, ACCENT_LIGHT if k == 3 else ink)
        body += text(gx + 20, BAR_H / 2, label, 13, ink, anchor="start")
        if k == 3:
            body += rect(TAB_W / 2 - 18, 0, 36, 2.5, ACCENT, 1.25)
        out.append(body)
    return out


TABS = [("我的导航", "mine"), ("推荐导航", "recommend"), ("热点", "hot"), ("视频", "video"),
        ("游戏", "games"), ("购物", "shopping"), ("生活", "life")]

# Search: the frame is 520 x 44 with the edit at (43, 11, 470 x 22) on white; the button
# joins its right edge (the group is 611 wide).
SEARCH_W, SEARCH_H, SEARCH_BTN_W = 520, 44, 91


def search_frame():
    w, h = SEARCH_W, SEARCH_H
    r = (h / 2, 0, 0, h / 2)
    return (rect(0, 0, w, h, CARD, r)
            + outline(0, 0, w, h, Rgba(0, 0, 0, 40), r)
            + ring(22, h / 2 - 1.5, 6.5, INK_FAINT, 2)
            + stroke_path(f"M26.8,{h / 2 + 3.3} L31,{h / 2 + 7.5}", INK_FAINT, 2.2))


def search_button_frames():
    out = []
    r = (0, SEARCH_H / 2, SEARCH_H / 2, 0)
    for fill in (ACCENT, ACCENT_LIGHT, Rgba(0x17, 0x62, 0xB8)):
        out.append(rect(0, 0, SEARCH_BTN_W, SEARCH_H, fill, r) + text(SEARCH_BTN_W / 2 - 3, SEARCH_H / 2, "搜索", 15, WHITE))
    return out


# Web pages: a 1045 x 575 glass card; the browser (975 x 510) sits centred in it.
CONTENT_W, CONTENT_H = 1045, 575


def content_background():
    w, h = CONTENT_W, CONTENT_H
    bx, by = (w - 975) / 2, (h - 510) / 2
    return (rect(0, 0, w, h, GLASS.with_alpha(150), R_DIALOG + 2)
            + outline(0, 0, w, h, WHITE.with_alpha(40), R_DIALOG + 2)
            + rect(bx - 1, by - 1, 977, 512, WHITE.with_alpha(60), 3)
            + rect(bx, by, 975, 510, CARD, 2))


# My sites: 250 x 172 tiles holding a 230 x 152 picture; the title strip is
# (10, 132, 214 x 30) and the delete button the 16 x 30 right of it.
TILE_W, TILE_H = 250, 172
PIC_W, PIC_H = 230, 152


def tile(hover):
    fill = WHITE.with_alpha(40 if hover else 22)
    edge = (ACCENT_LIGHT.with_alpha(200) if hover else WHITE.with_alpha(50))
    return (rect(4, 4, TILE_W - 8, TILE_H - 8, fill, R_BOX)
            + outline(4, 4, TILE_W - 8, TILE_H - 8, edge, R_BOX)
            + rect(10, 132, 230, 30, Rgba(0, 0, 0, 90), (0, 0, 5, 5)))


def default_picture():
    """Shown for a site whose page could not be captured: a calm globe on a soft field.
    The tile's title strip covers the picture's lowest 30 rows."""
    w, h = PIC_W, PIC_H
    cx, cy = w / 2, 52
    g = Rgba(0x9C, 0xB8, 0xD8)
    return (gradient_rect(0, 0, w, h, [(0, Rgba(0xEE, 0xF3, 0xF9)), (1, Rgba(0xDC, 0xE6, 0xF2))])
            + ring(cx, cy, 26, g, 3)
            + f'<ellipse cx="{cx}" cy="{cy}" rx="11" ry="26" fill="none" {g.stroke(2.5)}/>'
            + stroke_path(f"M{cx - 26},{cy} H{cx + 26} M{cx - 22},{cy - 13} H{cx + 22} M{cx - 22},{cy + 13} H{cx + 22}", g, 2.2)
            + text(cx, cy + 44, "暂无预览", 12, Rgba(0x7A, 0x8A, 0x9E)))


WAIT_TOP, WAIT_BOTTOM = Rgba(0x2A, 0x31, 0x3E), Rgba(0x1E, 0x24, 0x2F)


def waiting_picture():
    w, h = PIC_W, PIC_H
    return (gradient_rect(0, 0, w, h, [(0, WAIT_TOP), (1, WAIT_BOTTOM)])
            + text(w / 2, 96, "正在生成预览…", 12, WHITE.with_alpha(190)))


SPIN = 32
SPIN_FRAMES = 8


def spinner_frame(k):
    # GIF keeps no partial alpha: the frame is opaque in the waiting picture's middle tone.
    body = rect(0, 0, SPIN, SPIN, WAIT_TOP.mix(WAIT_BOTTOM, 0.5))
    for i in range(8):
        # The lit dot walks clockwise; the ones behind it fade.
        age = (k - i) % 8
        a = max(40, 255 - age * 30)
        x, y = polar(SPIN / 2, SPIN / 2, 11, -90 + i * 45)
        body += circle(x, y, 3 if age == 0 else 2.5, WHITE.with_alpha(a))
    return document(SPIN, SPIN, body)


def delete_button():
    return (circle(8, 11, 7, DANGER) + stroke_path("M5.5,8.5 L10.5,13.5 M10.5,8.5 L5.5,13.5", WHITE, 1.6))


# Recommended sites: category boxes are glass cards (nine slices, 10-pixel corners).
CAT_CORNER, CAT_MID = 10, 8


def category_card():
    s = 2 * CAT_CORNER + CAT_MID
    return (rect(0, 0, s, s, GLASS.with_alpha(120), R_BOX)
            + outline(0, 0, s, s, WHITE.with_alpha(44), R_BOX))


# The add-a-site dialog (a plain, opaque window, so its card fills every pixel): the fields
# lie at (24, 76, 216 x 36) and (254, 76, 296 x 36), the add button at (560, 76), the list
# from y 140 to 500 with its scroll bar at x 676; suggestion pictures are 135 x 80.
ADD_W, ADD_H = 700, 530
ADD_FIELDS = [(24, 76, 216, 36), (254, 76, 296, 36)]
ADD_BTN_W, ADD_BTN_H = 100, 36
SUGGEST_W, SUGGEST_H = 135, 80


def add_background():
    body = (rect(0, 0, ADD_W, ADD_H, CARD_SOFT)
            + rect(0, 0, ADD_W, 56, CARD)
            + rect(0, 56, ADD_W, 1, CARD_LINE)
            + outline(0, 0, ADD_W, ADD_H, CARD_BORDER)
            + dialogs.brand_mark(28, 29)
            + text(46, 29, "添加网站", 15, INK, anchor="start", weight="bold")
            + text(24, 128, "推荐网站", 12, INK_SOFT, anchor="start")
            + rect(90, 128, ADD_W - 120, 1, CARD_LINE))
    for x, y, w, h in ADD_FIELDS:
        body += panel(x, y, w, h, CARD, CARD_BORDER, R_CONTROL)
    return body


def add_button_frames():
    looks = [(ACCENT, ACCENT_DARK), (ACCENT_LIGHT, ACCENT), (ACCENT_DEEP, ACCENT_DEEP)]
    return [panel(0, 0, ADD_BTN_W, ADD_BTN_H, fill, edge, R_CONTROL)
            + text(ADD_BTN_W / 2, ADD_BTN_H / 2, "添加", 15, WHITE) for fill, edge in looks]


# The list's thumb: dark on the light card, getting more solid as the user reaches for it.
ADD_THUMB_STATES = [INK_FAINT.with_alpha(150), INK_SOFT.with_alpha(170), INK_SOFT.with_alpha(230)]


def suggestion_hover():
    w, h = SUGGEST_W, SUGGEST_H
    return (rect(0, 0, w, h, ACCENT.with_alpha(28), R_ITEM)
            + outline(0, 0, w, h, ACCENT, R_ITEM, 2))


def suggestion_added():
    """Over a suggestion already on the page: a veil and a green tick badge."""
    w, h = SUGGEST_W, SUGGEST_H
    return (rect(0, 0, w, h, CARD_SOFT.with_alpha(165), R_ITEM)
            + circle(w - 14, 14, 9, SUCCESS)
            + stroke_path(f"M{w - 18.5},{14.2} L{w - 15},{17.5} L{w - 9.5},{10.8}", WHITE, 1.8)
            + rect(w / 2 - 28, h / 2 - 11, 56, 22, INK_SOFT.with_alpha(200), 11)
            + text(w / 2, h / 2, "已添加", 12, WHITE))


def add_images(M):
    A = f"{M}/add"
    out = [single(f"{A}/bg.png", ADD_W, ADD_H, add_background(), role="add-a-site dialog background"),
           strip(f"{A}/add.png", ADD_BTN_W, ADD_BTN_H, add_button_frames(), role="add-a-site button"),
           strip(f"{A}/close.png", dialogs.CLOSE, dialogs.CLOSE,
                 [dialogs.close_frame(b, g) for b, g in dialogs.CLOSE_LOOKS], role="add dialog close button"),
           single(f"{A}/hover.png", SUGGEST_W, SUGGEST_H, suggestion_hover(), role="hovered suggestion"),
           single(f"{A}/added.png", SUGGEST_W, SUGGEST_H, suggestion_added(),
                  role="suggestion already on the page")]
    for part in ("top", "center", "bottom"):
        out.append(strip(f"{A}/scroll-{part}.png", toolkit.THUMB_W, toolkit.THUMB_FRAME,
                         [toolkit.thumb_part(part, c) for c in ADD_THUMB_STATES],
                         role=f"suggestion list scroll thumb {part}"))
    return out


def images():
    out = [single(f"{N}/bg.png", 8, BAR_H, bar_background(), role="navigation tab strip (stretched across)")]
    for label, kind in TABS:
        out.append(strip(f"{N}/{label}.png", TAB_W, BAR_H, tab_frames(label, kind), role="navigation tab"))
    out.append(single(f"{N}/搜索/kuan.png", SEARCH_W, SEARCH_H, search_frame(), role="search box frame"))
    out.append(strip(f"{N}/搜索/search.png", SEARCH_BTN_W, SEARCH_H, search_button_frames(),
                     role="search button"))
    out.append(single(f"{N}/内容背景.png", CONTENT_W, CONTENT_H, content_background(),
                      role="web page content background"))
    M = f"{N}/我的导航"
    out.append(single(f"{M}/bg.png", TILE_W, TILE_H, tile(False), role="site tile background"))
    out.append(single(f"{M}/bg-hover.png", TILE_W, TILE_H, tile(True), role="site tile background, hovered"))
    out.append(single(f"{M}/hover.png", PIC_W, PIC_H,
                      rect(0, 0, PIC_W, PIC_H, WHITE.with_alpha(36), 4)
                      + outline(0, 0, PIC_W, PIC_H, ACCENT_LIGHT.with_alpha(220), 4, 2), role="hovered site picture"))
    out.append(single(f"{M}/close.png", 16, 30, delete_button(), role="site tile delete button"))
    out.append(single(f"{M}/bg1.png", PIC_W, PIC_H, default_picture(), role="default site picture"))
    out.append(single(f"{M}/wait/bg.png", PIC_W, PIC_H, waiting_picture(), role="site picture while capturing"))
    out.append(Gif(f"{M}/wait/loading.gif", [spinner_frame(k) for k in range(SPIN_FRAMES)], [8] * SPIN_FRAMES,
                   SPIN, SPIN, role="capture animation"))
    out += add_images(M)
    T = f"{N}/推荐导航"
    for part in ("top", "center", "bottom"):
        out.append(strip(f"{T}/scroll-{part}.png", toolkit.THUMB_W, toolkit.THUMB_FRAME,
                         [toolkit.thumb_part(part, c) for c in toolkit.THUMB_STATES],
                         role=f"category scroll thumb {part}"))
    s = 2 * CAT_CORNER + CAT_MID
    out += nine_slice(f"{T}/背景", s, s, CAT_CORNER, CAT_CORNER, CAT_CORNER, CAT_CORNER, category_card(),
                      first=1, role="nine-slice category box")
    return out
