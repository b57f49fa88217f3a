"""Weather icons (rs/weather/, night variants in rs/weather/n/) and the weather panel
(rs/weatherback/).

Icons are drawn on a 56-pixel canvas: the toolbar scales them into 28 x 28 (an exact half),
the panel shows them larger. Each weather name of the service's table has its own file; the
ranges ("小雨-中雨") take the heavier end's look.
"""

from skinkit.draw import (Rgba, WHITE, circle, document, fill_path, gradient_rect, outline,
                          polar, rect, stroke_path, text, uid)
from skinkit.images import Image, Probe, single, strip
from skinkit.palette import ACCENT, ACCENT_LIGHT, GLASS, R_CONTROL, R_DIALOG, WARM

S = 56

SUN = Rgba(0xFF, 0xC2, 0x3D)
SUN_CORE = Rgba(0xFF, 0xD8, 0x5E)
MOON = Rgba(0xF2, 0xE6, 0xB8)
CLOUD = Rgba(0xF4, 0xF7, 0xFB)
CLOUD_SHADE = Rgba(0xB9, 0xC6, 0xD6)
DARK_CLOUD = Rgba(0x9A, 0xA8, 0xBA)
DARK_SHADE = Rgba(0x6C, 0x7A, 0x8E)
RAIN = Rgba(0x4F, 0xAE, 0xFF)
SNOW = Rgba(0xFF, 0xFF, 0xFF)
SNOW_EDGE = Rgba(0x8F, 0xC3, 0xF0)
BOLT = Rgba(0xFF, 0xD0, 0x3A)
DUST = Rgba(0xD9, 0xA0, 0x62)
FOG = Rgba(0xD5, 0xDC, 0xE5)
HAZE = Rgba(0xC8, 0xB0, 0x8C)


def sun(cx, cy, r, rays=True):
    out = ""
    if rays:
        for k in range(8):
            x1, y1 = polar(cx, cy, r + 3.5, k * 45)
            x2, y2 = polar(cx, cy, r + 8, k * 45)
            out += stroke_path(f"M{x1:.2f},{y1:.2f} L{x2:.2f},{y2:.2f}", SUN, 3)
    return out + circle(cx, cy, r, SUN) + circle(cx - r * 0.2, cy - r * 0.2, r * 0.55, SUN_CORE.with_alpha(150))


def moon(cx, cy, r):
    mid = uid("m")
    return (f'<defs><mask id="{mid}"><rect x="0" y="0" width="{S}" height="{S}" fill="white"/>'
            f'<circle cx="{cx + r * 0.55}" cy="{cy - r * 0.45}" r="{r * 0.85}" fill="black"/></mask></defs>'
            + circle(cx, cy, r, MOON, f'mask="url(#{mid})"'))


def cloud(x, y, scale=1.0, fill=CLOUD, shade=CLOUD_SHADE):
    """A cloud whose bottom-left corner is at (x, y); about 40 x 24 at scale 1."""
    def shape(dy, c):
        s = scale
        return (circle(x + 12 * s, y - 10 * s + dy, 9 * s, c) + circle(x + 24 * s, y - 15 * s + dy, 12 * s, c)
                + circle(x + 34 * s, y - 9 * s + dy, 8 * s, c)
                + rect(x + 4 * s, y - 10 * s + dy, 36 * s, 10 * s, c, 5 * s))
    return shape(2, shade) + shape(0, fill)


def drops(n, y0=42, colour=RAIN):
    out = ""
    xs = {1: [28], 2: [22, 34], 3: [17, 28, 39], 4: [14, 24, 34, 44]}
    xs = xs.get(min(n, 4))
    for i, x in enumerate(xs):
        yy = y0 + (3 if i % 2 else 0)
        out += stroke_path(f"M{x + 2},{yy} L{x - 1},{yy + 8}", colour, 2.6)
    if n >= 5:          # torrential: a second row
        for x in (19, 33):
            out += stroke_path(f"M{x + 2},{y0 + 9} L{x},{y0 + 14}", colour, 2.4)
    if n >= 6:
        out += stroke_path(f"M{47},{y0 + 8} L{45},{y0 + 13}", colour, 2.4)
    return out


def flake(cx, cy, r=4):
    d = ""
    for k in range(3):
        x1, y1 = polar(cx, cy, r, 90 + k * 60)
        x2, y2 = polar(cx, cy, r, 270 + k * 60)
        d += f"M{x1:.2f},{y1:.2f} L{x2:.2f},{y2:.2f} "
    return stroke_path(d, SNOW_EDGE, 3.2) + stroke_path(d, SNOW, 1.6)


def flakes(n, y0=46):
    pos = {1: [(28, y0)], 2: [(21, y0), (35, y0 + 3)], 3: [(16, y0), (28, y0 + 4), (40, y0)],
           4: [(13, y0), (24, y0 + 4), (35, y0), (46, y0 + 4)]}[min(n, 4)]
    return "".join(flake(x, y) for x, y in pos)


def bolt():
    return fill_path("M30,33 L22,45 L28,45 L25,55 L35,41 L29,41 L33,33 Z", BOLT)


def hail():
    return "".join(circle(x, y, 2.4, WHITE) + outline(x - 2.4, y - 2.4, 4.8, 4.8, SNOW_EDGE, 2.4, 0.8)
                   for x, y in ((16, 45), (40, 47), (44, 53)))


def streaks(colour, y0, n, step, indent, rest):
    """n horizontal strokes, every other one indented; rest(x0, i) continues each path."""
    out = ""
    for i in range(n):
        x0 = 8 + (i % 2) * indent
        out += stroke_path(f"M{x0},{y0 + i * step} {rest(x0, i)}", colour, 3)
    return out


def wind_lines(colour, y0=20, n=3):
    return streaks(colour, y0, n, 9, 6, lambda x0, i: f"H{x0 + 30} c6,0 8,-7 3,-8")


def fog_lines(colour, n=4, y0=30):
    return streaks(colour, y0, n, 7, 5, lambda x0, i: f"H{S - 12 + (i % 2) * 3}")


def tornado():
    out = ""
    for i, (w, x) in enumerate(((36, 10), (28, 14), (20, 19), (13, 23), (7, 27))):
        y = 12 + i * 8
        out += stroke_path(f"M{x},{y} H{x + w}", DARK_CLOUD if i == 0 else CLOUD_SHADE, 3.6)
    return out


def partly(body_sun_or_moon, cloud_scale=0.95):
    return body_sun_or_moon + cloud(12, 46, cloud_scale)


def icon(name, night=False):
    """SVG body of one icon."""
    sky = (lambda: moon(20, 19, 12)) if night else (lambda: sun(20, 19, 10))
    rain = {"小雨": 1, "中雨": 2, "大雨": 3, "暴雨": 4, "大暴雨": 5, "特大暴雨": 6,
            "小雨-中雨": 2, "中雨-大雨": 3, "大雨-暴雨": 4, "暴雨-大暴雨": 5, "大暴雨-特大暴雨": 6}
    snow = {"小雪": 1, "中雪": 2, "大雪": 3, "暴雪": 4, "小雪-中雪": 2, "中雪-大雪": 3, "大雪-暴雪": 4}
    if name == "晴":
        return moon(28, 28, 17) if night else sun(28, 28, 13)
    if name == "少云":
        return (moon(24, 22, 14) if night else sun(24, 22, 12)) + cloud(24, 48, 0.65)
    if name == "多云":
        return partly(sky())
    if name == "阴":
        return cloud(4, 34, 0.8, DARK_CLOUD, DARK_SHADE) + cloud(10, 46, 1.0)
    if name == "阵雨":
        return sky() + cloud(12, 40, 0.95) + drops(2, 43)
    if name in rain:
        heavy = rain[name] >= 4
        c = cloud(8, 38, 1.0, DARK_CLOUD if heavy else CLOUD, DARK_SHADE if heavy else CLOUD_SHADE)
        return c + drops(rain[name], 41)
    if name == "雷阵雨":
        return (cloud(8, 36, 1.0, DARK_CLOUD, DARK_SHADE) + bolt()
                + stroke_path("M16,41 L13,49", RAIN, 2.6) + stroke_path("M43,41 L40,49", RAIN, 2.6))
    if name == "雷阵雨并伴有冰雹":
        return cloud(8, 36, 1.0, DARK_CLOUD, DARK_SHADE) + bolt() + hail()
    if name == "雨夹雪":
        return cloud(8, 38, 1.0) + stroke_path("M18,42 L15,50", RAIN, 2.6) + flake(29, 47) + \
            stroke_path("M42,42 L39,50", RAIN, 2.6)
    if name == "阵雪":
        return sky() + cloud(12, 40, 0.95) + flakes(2, 47)
    if name in snow:
        return cloud(8, 38, 1.0) + flakes(snow[name], 46)
    if name == "冻雨":
        return (cloud(8, 38, 1.0) + drops(2, 41)
                + stroke_path("M12,54 H44", SNOW_EDGE, 2.4))
    if name == "雾":
        return cloud(8, 30, 0.9) + fog_lines(FOG, 3, 36)
    if name == "轻雾":
        return sky() + fog_lines(FOG, 3, 34)
    if name == "霾":
        return sun(28, 22, 10, rays=False).replace(SUN.hex, HAZE.hex) + fog_lines(HAZE, 3, 34)
    if name in ("沙尘暴", "强沙尘暴"):
        strong = name == "强沙尘暴"
        return (wind_lines(DUST, 16, 3) + circle(44, 44, 4, DUST) + circle(36, 50, 2.5, DUST)
                + (circle(14, 47, 3, DUST) + circle(48, 32, 2.2, DUST) if strong else ""))
    if name == "扬沙":
        return wind_lines(DUST, 20, 2) + circle(42, 44, 3, DUST) + circle(30, 48, 2, DUST)
    if name == "浮尘":
        return (sky() if night else sun(20, 19, 10, rays=False)) + fog_lines(DUST, 3, 34)
    if name == "飑":
        return cloud(8, 30, 0.9, DARK_CLOUD, DARK_SHADE) + wind_lines(CLOUD, 38, 2)
    if name == "龙卷风":
        return tornado()
    if name == "弱高吹雪":
        return wind_lines(CLOUD, 14, 2) + flakes(3, 44)
    raise KeyError(name)


# The service's weather-name table (indexes 36..52 have no text and no icon).
NAMES = ["晴", "多云", "阴", "阵雨", "雷阵雨", "雷阵雨并伴有冰雹", "雨夹雪", "小雨", "中雨", "大雨", "暴雨",
         "大暴雨", "特大暴雨", "阵雪", "小雪", "中雪", "大雪", "暴雪", "雾", "冻雨", "沙尘暴", "小雨-中雨",
         "中雨-大雨", "大雨-暴雨", "暴雨-大暴雨", "大暴雨-特大暴雨", "小雪-中雪", "中雪-大雪", "大雪-暴雪",
         "浮尘", "扬沙", "强沙尘暴", "飑", "龙卷风", "弱高吹雪", "轻雾", "霾"]
# Night icons are asked for by these names only ("少云" is not in the table but is asked for).
NIGHT = ["多云", "浮尘", "晴", "少云", "阵雨"]


# ---- The weather panel (rs/weatherback/) ----------------------------------------------

PANEL_W = 480
PANEL_FILL = Rgba(0x16, 0x1B, 0x25, 240)
LINE = WHITE.with_alpha(28)


def panel_back(h, title=None):
    body = (rect(0, 0, PANEL_W, h, PANEL_FILL, R_DIALOG)
            + gradient_rect(0, 0, PANEL_W, 44, [(0, WHITE.with_alpha(16)), (1, WHITE.with_alpha(0))],
                            (R_DIALOG, R_DIALOG, 0, 0))
            + outline(0, 0, PANEL_W, h, WHITE.with_alpha(36), R_DIALOG))
    if title:
        body += text(PANEL_W / 2, 27, title, 13, WHITE.with_alpha(230))
    return body


def bg1():
    """Today: current weather on the left (x < 170), three day columns 170..464, 43..209."""
    h = 224
    body = panel_back(h)
    for x in (268, 366):
        body += rect(x, 58, 1, 136, LINE)
    body += rect(166, 50, 1, 152, WHITE.with_alpha(40))
    return body, h


def bg2():
    h = 60 + 7 * 33 + 8
    body = panel_back(h, "未来7天天气")
    for i in range(1, 7):
        body += rect(12, 60 + i * 33 - 1, PANEL_W - 24, 1, LINE)
    return body, h


def bg3():
    h = 216
    # The city chooser (three drop-down lists) lies over the middle of the panel.
    body = panel_back(h, "设置城市") + rect(12, 60, PANEL_W - 24, 104, WHITE.with_alpha(10), R_CONTROL)
    return body, h


def bg4():
    h = 120
    body = panel_back(h)
    # A cloud with a small slash: no data.
    body += f'<g transform="translate(40,34) scale(0.9)">{cloud(0, 40, 1.0, DARK_CLOUD, DARK_SHADE)}</g>'
    return body, h


BTN_H = 26


def text_button(w, label, primary=False):
    frames = []
    for k in range(3):
        if primary:
            fill = [ACCENT, ACCENT_LIGHT, Rgba(0x17, 0x62, 0xB8)][k]
            frames.append(rect(0, 0, w, BTN_H, fill, R_CONTROL) + text(w / 2, BTN_H / 2, label, 12, WHITE))
        else:
            fill = [WHITE.with_alpha(20), WHITE.with_alpha(44), WHITE.with_alpha(70)][k]
            frames.append(rect(0, 0, w, BTN_H, fill, R_CONTROL)
                          + outline(0, 0, w, BTN_H, WHITE.with_alpha(50), R_CONTROL)
                          + text(w / 2, BTN_H / 2, label, 12, WHITE))
    return frames


def back_button():
    w = 60
    frames = []
    for k in range(3):
        fill = [None, WHITE.with_alpha(36), WHITE.with_alpha(64)][k]
        body = rect(0, 0, w, BTN_H, fill, R_CONTROL) if fill else ""
        body += stroke_path(f"M15,{BTN_H / 2 - 5} L10,{BTN_H / 2} L15,{BTN_H / 2 + 5}", WHITE, 1.8)
        body += text(22, BTN_H / 2, "返回", 12, WHITE, anchor="start")
        frames.append(body)
    return frames


def images():
    out = []
    for name in NAMES:
        out.append(single(f"weather/{name}.png", S, S, icon(name), role="weather icon"))
    out.append(single("weather/少云.png", S, S, icon("少云"), role="weather icon"))
    for name in NIGHT:
        out.append(single(f"weather/n/{name}.png", S, S, icon(name, night=True), role="night weather icon"))
    W = "weatherback"
    for name, (body, h) in (("bg1", bg1()), ("bg2", bg2()), ("bg3", bg3()), ("bg4", bg4())):
        out.append(single(f"{W}/{name}.png", PANEL_W, h, body, role=f"weather panel background, view {name[-1] if name != 'bg4' else 0}"))
    out.append(single(f"{W}/hover.png", 98, 166, rect(0, 0, 98, 166, WHITE.with_alpha(22), R_CONTROL)
                      + outline(0, 0, 98, 166, WHITE.with_alpha(40), R_CONTROL), role="hovered day column"))
    out.append(single(f"{W}/hover1.png", 476, 31, rect(0, 0, 476, 31, WHITE.with_alpha(22), R_CONTROL),
                      role="hovered forecast row"))
    out.append(strip(f"{W}/设置.png", 52, BTN_H, text_button(52, "设置"), role="settings"))
    out.append(strip(f"{W}/未来7天天气.png", 88, BTN_H, text_button(88, "未来7天"), role="seven days"))
    out.append(strip(f"{W}/确定.png", 60, BTN_H, text_button(60, "确定", True), role="OK"))
    out.append(strip(f"{W}/取消.png", 60, BTN_H, text_button(60, "取消"), role="cancel"))
    out.append(strip(f"{W}/返回.png", 60, BTN_H, back_button(), role="back"))
    return out
