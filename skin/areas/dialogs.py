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


def card(w, h, title=None):
    m = MARGIN
    cw, ch = w - 2 * m, h - 2 * m
    body = (shadow_rect(m, m, cw, ch, R_DIALOG, 3.5, Rgba(0x0B, 0x12, 0x20, 70), dy=1.5)
            + rect(m, m, cw, ch, CARD, R_DIALOG)
            + rect(m, m + HEADER, cw, 1, CARD_LINE)
            + outline(m, m, cw, ch, Rgba(0, 0, 0, 28), R_DIALOG))
    if title:
        body += brand_mark(m + 16, m + HEADER / 2) + text(m + 34, m + HEADER / 2, title, 13, INK, anchor="start")
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


def images():
    return [
        single(f"{S}/tips_bg.png", TIPS_W, TIPS_H, tips_background(),
               role="confirmation dialog background (text from x 85)"),
        strip(f"{S}/button_ok.png", BTN_W, BTN_H, button_frames("确定", True), role="OK button, 3 frames"),
        strip(f"{S}/button_cancel.png", BTN_W, BTN_H, button_frames("取消", False), role="cancel button, 3 frames"),
        strip(f"{S}/close.png", CLOSE, CLOSE, [close_frame(b, g) for b, g in CLOSE_LOOKS],
              role="close button, 3 frames"),
    ]


def probes():
    return [Probe(f"{S}/tips_bg.png", 300, 120, CARD.tuple(), "card body"),
            Probe(f"{S}/tips_bg.png", 0, 0, (0, 0, 0, 0), "outside the card")]
