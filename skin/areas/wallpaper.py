"""The wallpaper program's band (rs/壁纸UI/): a 407-pixel dark band across the screen with
window buttons at y 19, thumbnails in the middle, category tabs at y 342."""

from skinkit.draw import (Rgba, WHITE, circle, fill_path, gradient_rect, outline, panel, rect,
                          shadow_rect, stroke_path, text)
from skinkit.images import single, strip
from skinkit.palette import ACCENT, ACCENT_DEEP, ACCENT_LIGHT, DANGER, DANGER_DEEP, GLASS, R_CONTROL, R_DIALOG

W = "壁纸UI"
BAND_H = 407
CAP = 24
BAND = Rgba(0x14, 0x18, 0x21, 238)


def band_piece(part):
    """Left cap, stretchable centre or right cap of the band: the centre may not change
    along x; the caps round the band's ends off."""
    w = CAP if part != "center" else 8
    if part == "center":
        x, bw, r = -4, w + 8, 0
    elif part == "left":
        x, bw, r = 0, w + 12, (R_DIALOG, 0, 0, R_DIALOG)
    else:
        x, bw, r = -12, w + 12, (0, R_DIALOG, R_DIALOG, 0)
    return (gradient_rect(x, 0, bw, BAND_H, [(0, BAND), (1, GLASS.with_alpha(245))], r)
            + outline(x, 0, bw, BAND_H, WHITE.with_alpha(34), r)
            + rect(12 if part == "left" else 0, 60, w - (0 if part == "center" else 12), 1, WHITE.with_alpha(20)))


# Window buttons: 32 x 32 frames.
BTN = 32


def window_button(kind, k, frames):
    c = BTN / 2
    disabled = k == 4
    back = [None, WHITE.with_alpha(30), WHITE.with_alpha(54), None, None][k]
    if kind == "close":
        back = [None, DANGER, DANGER_DEEP][k]
    body = rect(0, 0, BTN, BTN, back, R_CONTROL) if back else ""
    ink = WHITE.with_alpha(90) if disabled else WHITE.with_alpha(215 if k == 0 else 255)
    if kind == "close":
        body += stroke_path(f"M{c - 5},{c - 5} L{c + 5},{c + 5} M{c + 5},{c - 5} L{c - 5},{c + 5}", ink, 1.8)
    elif kind == "min":
        body += rect(c - 6, c - 0.9, 12, 1.8, ink, 0.9)
    else:  # restore the previous wallpaper: a counter-clockwise arrow
        body += stroke_path(f"M{c - 5.5},{c - 1} A6,6 0 1 1 {c - 3.5},{c + 4.5}", ink, 1.8)
        body += fill_path(f"M{c - 9},{c - 2} L{c - 5.5},{c - 6.5} L{c - 2},{c - 2} Z", ink)
    return body


ARROW_W, ARROW_H = 40, 80


def arrow(k, left):
    back = [WHITE.with_alpha(16), WHITE.with_alpha(40), WHITE.with_alpha(64)][k]
    r = (0, 8, 8, 0) if left else (8, 0, 0, 8)
    cx, cy = ARROW_W / 2, ARROW_H / 2
    d = f"M{cx + 4},{cy - 10} L{cx - 6},{cy} L{cx + 4},{cy + 10}" if left else \
        f"M{cx - 4},{cy - 10} L{cx + 6},{cy} L{cx - 4},{cy + 10}"
    return rect(0, 0, ARROW_W, ARROW_H, back, r) + stroke_path(d, WHITE, 2.6)


TAB_W, TAB_H = 100, 40
TABS = ["热门", "风景", "美女", "明星", "清新", "萌宠", "动漫", "汽车", "创意", "游戏"]


def tab(label, k):
    back = [None, WHITE.with_alpha(24), WHITE.with_alpha(44), ACCENT][k]
    body = rect(6, 6, TAB_W - 12, TAB_H - 12, back, (TAB_H - 12) / 2) if back else ""
    ink = WHITE if k else WHITE.with_alpha(200)
    return body + text(TAB_W / 2, TAB_H / 2, label, 14, ink)


LOCAL_W, LOCAL_H = 96, 30


def local_button(k):
    fill = [WHITE.with_alpha(18), WHITE.with_alpha(40), WHITE.with_alpha(64)][k]
    x, y = 12, LOCAL_H / 2 - 6
    return (rect(0, 0, LOCAL_W, LOCAL_H, fill, LOCAL_H / 2) + outline(0, 0, LOCAL_W, LOCAL_H, WHITE.with_alpha(70), LOCAL_H / 2)
            + f'<rect x="{x + 0.8}" y="{y + 0.8}" width="12.4" height="10.4" rx="2" fill="none" {WHITE.stroke(1.5)}/>'
            + fill_path(f"M{x + 2.5},{y + 9.5} L{x + 6},{y + 5.5} L{x + 8.5},{y + 8} L{x + 10},{y + 6.5} L{x + 11.5},{y + 9.5} Z", WHITE)
            + text(x + 18, LOCAL_H / 2, "本地图片", 12, WHITE, anchor="start"))


# Thumbnails: 165-pixel cells (the loader counts 825 pixels per five pictures).
THUMB_W, THUMB_H = 157, 250


def thumb_frame():
    return (shadow_rect(4, 4, THUMB_W - 8, THUMB_H - 8, 6, 2.5, Rgba(0, 0, 0, 120), dy=1.5)
            + rect(4, 4, THUMB_W - 8, THUMB_H - 8, Rgba(0x24, 0x2A, 0x36), 6)
            + outline(4, 4, THUMB_W - 8, THUMB_H - 8, WHITE.with_alpha(40), 6))


SET_W, SET_H = 149, 24


def set_button(k):
    fill = [ACCENT.with_alpha(225), ACCENT_LIGHT, ACCENT_DEEP][k]
    return rect(0, 0, SET_W, SET_H, fill, (0, 0, 6, 6)) + text(SET_W / 2, SET_H / 2, "设为壁纸", 12, WHITE)


BAR_W = 141


def tip_background():
    w, h = 400, 170
    x, y, cw, ch = 12, 30, 376, 128
    cx, cy = 82, 94
    return (shadow_rect(x, y, cw, ch, R_DIALOG, 4, Rgba(0, 0, 0, 110), dy=2)
            + rect(x, y, cw, ch, Rgba(0x1C, 0x21, 0x2C), R_DIALOG)
            + outline(x, y, cw, ch, WHITE.with_alpha(36), R_DIALOG)
            # A broken picture: the thing that failed.
            + f'<rect x="{cx - 24}" y="{cy - 18}" width="48" height="36" rx="5" fill="none" {WHITE.with_alpha(150).stroke(2)}/>'
            + fill_path(f"M{cx - 18},{cy + 12} L{cx - 6},{cy - 2} L{cx + 2},{cy + 6} L{cx + 8},{cy} L{cx + 18},{cy + 12} Z",
                        WHITE.with_alpha(110))
            + circle(cx + 10, cy - 8, 4, WHITE.with_alpha(110))
            + circle(cx + 22, cy + 16, 9, DANGER) + rect(cx + 21, cy + 10.5, 2, 7, WHITE, 1) + circle(cx + 22, cy + 20.5, 1.2, WHITE))


def small_close(k):
    back = [None, WHITE.with_alpha(36), WHITE.with_alpha(64)][k]
    body = rect(0, 0, 20, 20, back, 4) if back else ""
    return body + stroke_path("M6,6 L14,14 M14,6 L6,14", WHITE.with_alpha(200 if k == 0 else 255), 1.6)


def images():
    out = [single(f"{W}/背景/bg_{p}.png", CAP if p != "center" else 8, BAND_H, band_piece(p),
                  role=f"band background, {p}") for p in ("left", "center", "right")]
    out.append(single(f"{W}/bg.png", 1000, TAB_H, rect(0, 4, 1000, TAB_H - 8, WHITE.with_alpha(12), (TAB_H - 8) / 2),
                      role="track behind the category tabs (1000 wide, y 342)"))
    out.append(strip(f"{W}/关闭.png", BTN, BTN, [window_button("close", k, 3) for k in range(3)], role="close"))
    out.append(strip(f"{W}/最小化.png", BTN, BTN, [window_button("min", k, 3) for k in range(3)], role="minimize"))
    out.append(strip(f"{W}/还原.png", BTN, BTN, [window_button("restore", k, 5) for k in range(5)],
                     role="restore previous wallpaper (4 disabled)"))
    out.append(strip(f"{W}/左边.png", ARROW_W, ARROW_H, [arrow(k, True) for k in range(3)], role="scroll left"))
    out.append(strip(f"{W}/右边.png", ARROW_W, ARROW_H, [arrow(k, False) for k in range(3)], role="scroll right"))
    out.append(strip(f"{W}/本地图片.png", LOCAL_W, LOCAL_H, [local_button(k) for k in range(3)],
                     role="open a local picture"))
    for name in TABS:
        out.append(strip(f"{W}/{name}.png", TAB_W, TAB_H, [tab(name, k) for k in range(4)], role="category tab"))
    out.append(single(f"{W}/image_bg.png", THUMB_W, THUMB_H, thumb_frame(), role="frame behind a thumbnail"))
    out.append(strip(f"{W}/设为壁纸.png", SET_W, SET_H, [set_button(k) for k in range(3)],
                     role="set-wallpaper strip"))
    out.append(single(f"{W}/进度条背景.png", BAR_W, 6, rect(0, 0, BAR_W, 6, WHITE.with_alpha(60), 3),
                      role="download progress back"))
    out.append(single(f"{W}/进度条.png", BAR_W, 6, rect(0, 0, BAR_W, 6, ACCENT_LIGHT, 3), role="download progress bar"))
    out.append(single(f"{W}/提示背景.png", 400, 170, tip_background(), role="network failure tip background"))
    out.append(strip(f"{W}/wclose.png", 20, 20, [small_close(k) for k in range(3)], role="tip close"))
    return out
