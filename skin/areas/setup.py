"""The installer's window (compiled into TessarySetup.exe as resources 130-146, not into rs):
a light card with a blue header, the welcome picture, options, progress and the finish page."""

from skinkit.draw import Rgba, WHITE, circle, fill_path, gradient_rect, outline, panel, rect, ring, shadow_rect, stroke_path, text
from skinkit.images import Probe, single, strip
from skinkit.palette import (ACCENT, ACCENT_DARK, ACCENT_DEEP, ACCENT_LIGHT, CARD, CARD_BORDER,
                             CARD_LINE, CARD_SOFT, DANGER, DANGER_DEEP, GLASS, INK, INK_FAINT,
                             INK_SOFT, R_BOX, R_CONTROL, R_DIALOG, SUCCESS)

S = "setup"
W, H, M = 600, 400, 8
HEADER = 150   # the blue band the welcome and finish pictures stand in
BIG_W, BIG_H = 180, 44
LINK_W, LINK_H = 90, 22
SMALL_W, SMALL_H = 72, 28


def background():
    cw, ch = W - 2 * M, H - 2 * M
    stops = [(0, ACCENT), (1, ACCENT_DEEP)]
    band = (gradient_rect(M, M, cw, HEADER, stops, R_DIALOG, horizontal=True)
            + gradient_rect(M, M + HEADER - R_DIALOG, cw, R_DIALOG, stops, 0, horizontal=True))
    return (shadow_rect(M, M, cw, ch, R_DIALOG, 3.5, Rgba(0x0B, 0x12, 0x20, 70), dy=1.5)
            + rect(M, M, cw, ch, CARD, R_DIALOG)
            + band
            + rect(M, M + HEADER - 1, cw, 1, Rgba(0, 0, 0, 30))
            + mark(M + 18, M + 20) + text(M + 40, M + 20, "Vexlo桌面 安装向导", 13, WHITE, anchor="start")
            + outline(M, M, cw, ch, Rgba(0, 0, 0, 28), R_DIALOG))


def mark(x, cy):
    s, g = 6, 2
    y = cy - s - g / 2
    tiles = [(0, 0, WHITE), (s + g, 0, WHITE.with_alpha(150)), (0, s + g, WHITE.with_alpha(150)),
             (s + g, s + g, WHITE.with_alpha(150))]
    return "".join(rect(x + dx, y + dy, s, s, c, 1.5) for dx, dy, c in tiles)


def hero():
    """A little desktop: a screen with two boxes of icons, the product's promise."""
    w, h = 260, 110
    body = rect(30, 6, 200, 92, GLASS.with_alpha(90), 8) + outline(30, 6, 200, 92, WHITE.with_alpha(120), 8, 1.5)
    for bx, by, bw, bh in [(42, 18, 84, 68), (134, 18, 84, 42)]:
        body += rect(bx, by, bw, bh, WHITE.with_alpha(70), 6) + rect(bx, by + 14, bw, 1, WHITE.with_alpha(110))
        for i in range(3):
            for j in range((bh - 20) // 24):
                body += rect(bx + 8 + i * 26, by + 20 + j * 24, 16, 16, WHITE.with_alpha(200), 3)
    body += rect(112, 100, 36, 6, WHITE.with_alpha(120), 3)
    return single(f"{S}/hero.png", w, h, body, role="welcome picture")


def done_mark():
    return single(f"{S}/done.png", 72, 72, circle(36, 36, 34, WHITE.with_alpha(60)) + circle(36, 36, 27, WHITE)
                  + stroke_path("M23,37 L32,46 L50,27", SUCCESS, 5), role="finished picture")


def big_button(path, label, role):
    looks = [(ACCENT, ACCENT_DARK), (ACCENT_LIGHT, ACCENT), (ACCENT_DEEP, ACCENT_DEEP)]
    return strip(path, BIG_W, BIG_H, [panel(0, 0, BIG_W, BIG_H, f, e, BIG_H / 2) + text(BIG_W / 2, BIG_H / 2, label, 16, WHITE)
                                      for f, e in looks], role=role)


def link(path, label, role):
    inks = [INK_SOFT, ACCENT, ACCENT_DEEP]
    return strip(path, LINK_W, LINK_H, [text(LINK_W - 4, LINK_H / 2, label, 12, c, anchor="end") for c in inks], role=role)


def small_button(path, label, role):
    looks = [(CARD, CARD_BORDER), (CARD_SOFT, Rgba(0xB9, 0xC2, 0xCE)), (Rgba(0xE6, 0xEA, 0xF0), Rgba(0xB9, 0xC2, 0xCE))]
    return strip(path, SMALL_W, SMALL_H, [panel(0, 0, SMALL_W, SMALL_H, f, e, R_CONTROL) + text(SMALL_W / 2, SMALL_H / 2, label, 12, INK)
                                          for f, e in looks], role=role)


def quit_button(path, label, role):
    looks = [(DANGER, DANGER), (Rgba(0xEE, 0x6A, 0x6E), DANGER), (DANGER_DEEP, DANGER_DEEP)]
    return strip(path, SMALL_W, SMALL_H, [panel(0, 0, SMALL_W, SMALL_H, f, e, R_CONTROL) + text(SMALL_W / 2, SMALL_H / 2, label, 12, WHITE)
                                          for f, e in looks], role=role)


def window_button(path, glyph_path, role):
    looks = [(None, WHITE.with_alpha(220)), (WHITE.with_alpha(50), WHITE), (WHITE.with_alpha(90), WHITE)]
    frames = []
    for back, ink in looks:
        frames.append((rect(0, 0, 24, 24, back, 5) if back else "") + stroke_path(glyph_path, ink, 1.6))
    return strip(path, 24, 24, frames, role=role)


def images():
    check_looks = [(CARD, CARD_BORDER), (CARD, ACCENT_LIGHT), (CARD_SOFT, ACCENT)]
    return [
        single(f"{S}/bg.png", W, H, background(), role="installer card (sets the window size)"),
        window_button(f"{S}/close.png", "M7.5,7.5 L16.5,16.5 M16.5,7.5 L7.5,16.5", "close"),
        window_button(f"{S}/min.png", "M7,12 L17,12", "minimize"),
        big_button(f"{S}/install.png", "立即安装", "install"),
        link(f"{S}/custom.png", "自定义安装 >>", "options link"),
        link(f"{S}/back.png", "返回 >>", "back to the welcome page"),
        small_button(f"{S}/browse.png", "浏览...", "folder browser"),
        strip(f"{S}/checkbox.png", 16, 16, [panel(0.5, 0.5, 15, 15, f, e, 3) for f, e in check_looks], role="check box"),
        single(f"{S}/check.png", 16, 16, rect(0.5, 0.5, 15, 15, ACCENT, 3) + stroke_path("M4,8.5 L7,11.5 L12.5,5", WHITE, 2), role="check mark"),
        single(f"{S}/progress-back.png", 520, 12, rect(0, 0, 520, 12, CARD_LINE, 6), role="progress back"),
        single(f"{S}/progress-bar.png", 520, 12, gradient_rect(0, 0, 520, 12, [(0, ACCENT_LIGHT), (1, ACCENT)], 6, horizontal=True), role="progress bar"),
        single(f"{S}/marker.png", 44, 26, rect(0, 0, 44, 20, ACCENT_DEEP, 4) + fill_path("M17,19 L22,25 L27,19 Z", ACCENT_DEEP),
               role="progress marker (the percentage is drawn on it)"),
        big_button(f"{S}/start.png", "立即体验", "start the organizer"),
        hero(),
        done_mark(),
        quit_button(f"{S}/quit-ok.png", "退出安装", "quit: leave the installer"),
        small_button(f"{S}/quit-cancel.png", "继续安装", "quit: go on installing"),
    ]


def probes():
    return [Probe(f"{S}/bg.png", 300, 300, (255, 255, 255, 255), "card body"),
            Probe(f"{S}/bg.png", 0, 0, (0, 0, 0, 0), "transparent corner")]
