"""Light dialog cards and their controls (rs/设置/): the confirmation dialog and the parts it
shares with the settings centre."""

from skinkit.draw import Rgba, WHITE, circle, outline, panel, rect, shadow_rect, stroke_path, text
from skinkit.images import Probe, single, strip
from skinkit.palette import (ACCENT, ACCENT_DARK, ACCENT_DEEP, ACCENT_LIGHT, CARD, CARD_BORDER,
                             CARD_LINE, CARD_SOFT, DANGER, DANGER_DEEP, INK, INK_SOFT, R_CONTROL,
                             R_DIALOG)

S = "设置"

# Cards are drawn inside a margin that holds their soft shadow; the dialogs place their
# controls from the image's edges, so the margin is small.
MARGIN = 8
HEADER = 40


def card(w, h, title=None, header=HEADER):
    m = MARGIN
    cw, ch = w - 2 * m, h - 2 * m
    body = (shadow_rect(m, m, cw, ch, R_DIALOG, 3.5, Rgba(0x0B, 0x12, 0x20, 70), dy=1.5)
            + rect(m, m, cw, ch, CARD, R_DIALOG)
            + rect(m, m + header, cw, 1, CARD_LINE)
            + outline(m, m, cw, ch, Rgba(0, 0, 0, 28), R_DIALOG))
    if title:
        body += brand_mark(m + 16, m + header / 2) + text(m + 34, m + header / 2, title, 13, INK, anchor="start")
    return body


def brand_mark(x, cy):
    """The product's little mark: four rounded tiles, one of them in the accent."""
    s, g = 5, 1.5
    y = cy - s - g / 2
    return (rect(x, y, s, s, ACCENT, 1.5) + rect(x + s + g, y, s, s, INK_SOFT.with_alpha(140), 1.5)
            + rect(x, y + s + g, s, s, INK_SOFT.with_alpha(140), 1.5)
            + rect(x + s + g, y + s + g, s, s, INK_SOFT.with_alpha(140), 1.5))


# Confirmation dialog: the text starts at x 85 (lines at y 75 and 100, or 85 alone), the
# OK button at (w - 170, h - 45), cancel at (w - 90, h - 45), close 10 from the top right.
TIPS_W, TIPS_H = 400, 180


def tips_background():
    icon_x, icon_y = 50, 94
    return (card(TIPS_W, TIPS_H, "提示")
            + circle(icon_x, icon_y, 18, ACCENT.with_alpha(36))
            + circle(icon_x, icon_y, 13, ACCENT)
            + rect(icon_x - 1.25, icon_y - 7, 2.5, 8.5, WHITE, 1.25)
            + circle(icon_x, icon_y + 5.5, 1.6, WHITE))


BTN_W, BTN_H = 72, 28


def button_frames(label, primary):
    frames = []
    if primary:
        looks = [(ACCENT, ACCENT_DARK, WHITE), (ACCENT_LIGHT, ACCENT, WHITE), (ACCENT_DEEP, ACCENT_DEEP, WHITE)]
    else:
        looks = [(CARD, CARD_BORDER, INK), (CARD_SOFT, Rgba(0xB9, 0xC2, 0xCE), INK),
                 (Rgba(0xE6, 0xEA, 0xF0), Rgba(0xB9, 0xC2, 0xCE), INK)]
    for fill, edge, ink in looks:
        frames.append(panel(0, 0, BTN_W, BTN_H, fill, edge, R_CONTROL) + text(BTN_W / 2, BTN_H / 2, label, 13, ink))
    return frames


CLOSE = 24
CLOSE_LOOKS = [(None, INK_SOFT), (DANGER, WHITE), (DANGER_DEEP, WHITE)]


def close_frame(back, glyph):
    c = CLOSE / 2
    body = rect(0, 0, CLOSE, CLOSE, back, 5) if back else ""
    return body + stroke_path(f"M{c - 4.5},{c - 4.5} L{c + 4.5},{c + 4.5} M{c + 4.5},{c - 4.5} L{c - 4.5},{c + 4.5}",
                              glyph, 1.6)


# Settings centre: a 600 x 400 card; tabs at (10, 38) and (10, 76) in a left column, the
# rules table at (175, 170) with its rows at (177, 197 / 223 / 249); the drop-down opens
# at the row's right edge - 140, 120 wide.
SET_W, SET_H = 600, 400
SET_HEADER = 26         # the first tab starts at y 38
SIDEBAR = 168
TAB_W, TAB_H = 150, 34


def settings_background():
    m, hd = MARGIN, SET_HEADER
    return (card(SET_W, SET_H, "设置中心", hd)
            + rect(m, m + hd + 1, SIDEBAR - m, SET_H - 2 * m - hd - 1, CARD_SOFT, (0, 0, 0, R_DIALOG))
            + rect(SIDEBAR, m + hd + 1, 1, SET_H - 2 * m - hd - 1, CARD_LINE)
            + rect(SIDEBAR + 1, SET_H - m - 58, SET_W - SIDEBAR - 1 - m, 1, CARD_LINE))


def settings_tab(label, glyph, k):
    """Normal, over, pressed, active."""
    back = [None, Rgba(0xE9, 0xEE, 0xF5), Rgba(0xDD, 0xE5, 0xEF), Rgba(0xE3, 0xF0, 0xFF)][k]
    ink = ACCENT_DARK if k == 3 else INK
    body = rect(0, 0, TAB_W, TAB_H, back, R_CONTROL) if back else ""
    if k == 3:
        body += rect(0, 8, 3, TAB_H - 16, ACCENT, 1.5)
    return body + glyph(18, TAB_H / 2 - 7, ink) + text(40, TAB_H / 2, label, 13, ink, anchor="start")


def power_glyph(x, y, c):
    return (f'<path d="M{x + 3.5},{y + 3.5} A6,6 0 1 0 {x + 10.5},{y + 3.5}" fill="none" {c.stroke(1.6)} stroke-linecap="round"/>'
            + stroke_path(f"M{x + 7},{y} V{y + 6}", c, 1.6))


def grid_glyph(x, y, c):
    return "".join(rect(x + dx, y + dy, 6, 6, c, 1.5) for dx in (0, 8) for dy in (0, 8))


RULE_W, RULE_H = 380, 26
RULES_X, RULES_Y = 175, 170


def rules_table():
    w, h = RULE_W + 4, 27 + 3 * RULE_H + 3
    return (rect(0, 0, w, h, CARD, R_CONTROL) + outline(0, 0, w, h, CARD_BORDER, R_CONTROL)
            + rect(1, 1, w - 2, 26, CARD_SOFT, (R_CONTROL - 1, R_CONTROL - 1, 0, 0))
            + rect(1, 27, w - 2, 1, CARD_LINE)
            + text(14, 14, "桌面上的", 12, INK_SOFT, anchor="start")
            + text(w - 150, 14, "整理到分框", 12, INK_SOFT, anchor="start"))


def rule_row(label, k):
    back = [None, Rgba(0xF2, 0xF6, 0xFB), Rgba(0xE8, 0xEF, 0xF8), Rgba(0xE3, 0xF0, 0xFF)][k]
    body = rect(0, 0, RULE_W, RULE_H, back, 4) if back else ""
    fx = RULE_W - 150
    edge = ACCENT if k == 3 else CARD_BORDER
    body += text(12, RULE_H / 2, label, 12, INK, anchor="start")
    body += panel(fx, 3, 140, RULE_H - 6, CARD, edge, 4)
    body += stroke_path(f"M{RULE_W - 26},{RULE_H / 2 - 2} L{RULE_W - 22},{RULE_H / 2 + 2} L{RULE_W - 18},{RULE_H / 2 - 2}",
                        INK_SOFT, 1.4)
    return body


BOX = 16


def checkbox_frame(k):
    fill = [CARD, Rgba(0xEE, 0xF5, 0xFF), Rgba(0xDD, 0xEB, 0xFF)][k]
    edge = [Rgba(0xB9, 0xC2, 0xCE), ACCENT, ACCENT_DARK][k]
    return panel(0, 0, BOX, BOX, fill, edge, 4)


def check_mark():
    return rect(0, 0, BOX, BOX, ACCENT, 4) + stroke_path("M4,8.3 L7,11.2 L12.2,5.2", WHITE, 1.8)


def images():
    return [
        single(f"{S}/setting_bg.png", SET_W, SET_H, settings_background(),
               role="settings centre background (sets the dialog's size)"),
        strip(f"{S}/1.png", TAB_W, TAB_H, [settings_tab("启动和关闭", power_glyph, k) for k in range(4)],
              role="tab 1"),
        strip(f"{S}/2.png", TAB_W, TAB_H, [settings_tab("桌面整理", grid_glyph, k) for k in range(4)],
              role="tab 2"),
        single(f"{S}/list.png", RULE_W + 4, 27 + 3 * RULE_H + 3, rules_table(), role="rules table at (175, 170)"),
        strip(f"{S}/1-1.png", RULE_W, RULE_H, [rule_row("快捷方式", k) for k in range(4)], role="shortcut rule row"),
        strip(f"{S}/1-2.png", RULE_W, RULE_H, [rule_row("文件夹", k) for k in range(4)], role="folder rule row"),
        strip(f"{S}/1-3.png", RULE_W, RULE_H, [rule_row("文件", k) for k in range(4)], role="file rule row"),
        strip(f"{S}/checkbox_bg.png", BOX, BOX, [checkbox_frame(k) for k in range(3)], role="check box"),
        single(f"{S}/checkbox.png", BOX, BOX, check_mark(), role="check box mark"),

        single(f"{S}/tips_bg.png", TIPS_W, TIPS_H, tips_background(),
               role="confirmation dialog background (text from x 85)"),
        strip(f"{S}/button_ok.png", BTN_W, BTN_H, button_frames("确定", True), role="OK button"),
        strip(f"{S}/button_cancel.png", BTN_W, BTN_H, button_frames("取消", False), role="cancel button"),
        strip(f"{S}/close.png", CLOSE, CLOSE, [close_frame(b, g) for b, g in CLOSE_LOOKS],
              role="close button"),
    ]


def probes():
    return [Probe(f"{S}/tips_bg.png", 300, 120, CARD.tuple(), "card body"),
            Probe(f"{S}/tips_bg.png", 0, 0, (0, 0, 0, 0), "outside the card")]
