#!/usr/bin/env python3
"""Puts rendered images together on a made-up wallpaper the way the programs will, so the
skin can be judged as a whole (boxes at several sizes, highlights, thumb, drag view,
dialogs) without building the programs.

    python3 skin/build_skin.py --out /tmp/look/rs
    python3 skin/preview.py --rs /tmp/look/rs --out /tmp/look/desk.png [--light]
"""

import argparse
import base64
import os
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skinkit import pngread  # noqa: E402
from skinkit.draw import Rgba, WHITE, document, gradient_rect, rect, shadow_text, text, uid  # noqa: E402


class Scene:
    def __init__(self, rs):
        self.rs = rs
        self.parts = []
        self.sizes = {}

    def _uri(self, rel):
        path = os.path.join(self.rs, *rel.split("/"))
        with open(path, "rb") as f:
            data = f.read()
        if rel not in self.sizes:
            w, h, _ = pngread.read(path)
            self.sizes[rel] = (w, h)
        return "data:image/png;base64," + base64.b64encode(data).decode()

    def size(self, rel):
        self._uri(rel)
        return self.sizes[rel]

    def image(self, rel, x, y, w=None, h=None, src=None):
        """Draws an image (or the src = (sx, sy, sw, sh) part of it) into x, y, w, h."""
        uri = self._uri(rel)
        iw, ih = self.sizes[rel]
        sx, sy, sw, sh = src or (0, 0, iw, ih)
        w = sw if w is None else w
        h = sh if h is None else h
        self.parts.append(
            f'<svg x="{x}" y="{y}" width="{w}" height="{h}" viewBox="{sx} {sy} {sw} {sh}" '
            f'preserveAspectRatio="none" overflow="hidden">'
            f'<image width="{iw}" height="{ih}" xlink:href="{uri}" preserveAspectRatio="none"/></svg>')

    def frame(self, rel, k, n, x, y):
        iw, ih = self.size(rel)
        fh = ih // n
        self.image(rel, x, y, iw, fh, (0, k * fh, iw, fh))

    def nine(self, folder, x, y, w, h, first=1):
        names = [f"{folder}/{first + i}.png" for i in range(9)]
        ws = [self.size(n)[0] for n in names]
        hs = [self.size(n)[1] for n in names]
        cols = [(x, ws[0]), (x + ws[0], w - ws[0] - ws[2]), (x + w - ws[2], ws[2])]
        rows = [(y, hs[0]), (y + hs[0], h - hs[0] - hs[6]), (y + h - hs[6], hs[6])]
        for i, n in enumerate(names):
            cx, cw = cols[i % 3]
            ry, rh = rows[i // 3]
            self.image(n, cx, ry, cw, rh)

    def raw(self, svg):
        self.parts.append(svg)


def wallpaper(w, h, light):
    """A stand-in wallpaper: sky, soft light, two layers of hills."""
    if light:
        sky = [(0, Rgba(0xBF, 0xDD, 0xF5)), (0.6, Rgba(0xF4, 0xE9, 0xD8)), (1, Rgba(0xE9, 0xD2, 0xB4))]
        hills = (Rgba(0x8F, 0xB5, 0x8A), Rgba(0x5E, 0x8A, 0x62))
    else:
        sky = [(0, Rgba(0x1B, 0x2A, 0x4A)), (0.55, Rgba(0x6A, 0x4C, 0x7E)), (1, Rgba(0xE0, 0x8A, 0x5A))]
        hills = (Rgba(0x3A, 0x3F, 0x5C), Rgba(0x1E, 0x22, 0x36))
    fid = uid("b")
    return (gradient_rect(0, 0, w, h, sky)
            + f'<defs><filter id="{fid}" x="0" y="0" width="{w}" height="{h}" filterUnits="userSpaceOnUse">'
              f'<feGaussianBlur stdDeviation="40"/></filter></defs>'
            + f'<circle cx="{w * 0.72}" cy="{h * 0.58}" r="90" fill="#FFE3A8" fill-opacity="0.7" filter="url(#{fid})"/>'
            + f'<path d="M0,{h * 0.62} C{w * 0.2},{h * 0.5} {w * 0.4},{h * 0.7} {w * 0.62},{h * 0.6} '
              f'S{w * 0.9},{h * 0.5} {w},{h * 0.58} V{h} H0 Z" {hills[0].fill()}/>'
            + f'<path d="M0,{h * 0.78} C{w * 0.25},{h * 0.68} {w * 0.5},{h * 0.86} {w * 0.75},{h * 0.74} '
              f'S{w * 0.95},{h * 0.72} {w},{h * 0.76} V{h} H0 Z" {hills[1].fill()}/>')


ICON_COLOURS = [Rgba(0xF5, 0xB7, 0x3B), Rgba(0x4C, 0x9A, 0xFF), Rgba(0x3C, 0xC4, 0x8C),
                Rgba(0xEF, 0x6F, 0x6C), Rgba(0xA0, 0x7C, 0xF0), Rgba(0xEC, 0xEF, 0xF3)]


def fake_icon(x, y, size, k):
    c = ICON_COLOURS[k % len(ICON_COLOURS)]
    return rect(x, y, size, size * 0.82, c, size * 0.12) + rect(x, y, size * 0.45, size * 0.14, c.mix(Rgba(0, 0, 0), 0.15), 2)


def box(s, x, y, w, h, title, names, active=False, states=None, scroll=None):
    s.nine("框/鼠标移上-操作" if active else "框/默认", x, y, w, h)
    s.raw(shadow_text(x + 10, y + 20, title, 13, WHITE, Rgba(0x0A, 0x0A, 0x0A, 180), anchor="start"))
    s.frame("框/menu.png", 1 if active else 0, 3, x + w - 29, y + 10)
    states = states or {}
    cell_w, cell_h = 75, 90
    cols = max(1, (w - 20) // (cell_w + 2))
    for i, name in enumerate(names):
        cx = x + 10 + (i % cols) * (cell_w + 2)
        cy = y + 48 + (i // cols) * (cell_h + 10)
        if cy + cell_h > y + h - 10:
            break
        st = states.get(i)
        if st:
            s.nine({"hover": "文件触发/鼠标移上", "sel": "文件触发/鼠标点击", "focus": "文件触发/鼠标焦点"}[st],
                   cx, cy, cell_w, cell_h - 16)
        s.raw(fake_icon(cx + 13.5, cy + 5, 48, i))
        s.raw(shadow_text(cx + cell_w / 2, cy + 64, name, 12, WHITE, Rgba(0x32, 0x32, 0x32, 180)))
    if scroll:
        pos, length = scroll
        tx = x + w - 13
        ty = y + 48 + pos
        s.frame("scroll-top.png", 0, 3, tx, ty)
        iw, ih = s.size("scroll-center.png")
        s.image("scroll-center.png", tx, ty + 8, 8, length - 16, (0, 0, 8, 7))
        s.frame("scroll-bottom.png", 0, 3, tx, ty + length - 8)


def marker(s, rel, x, y, w, h):
    """Two 4-pixel end caps from the image's ends, the middle stretched between them."""
    iw, ih = s.size(rel)
    if w > h:
        s.image(rel, x, y, 4, h, (0, 0, 4, ih))
        s.image(rel, x + 4, y, w - 8, h, (4, 0, iw - 8, ih))
        s.image(rel, x + w - 4, y, 4, h, (iw - 4, 0, 4, ih))
    else:
        s.image(rel, x, y, w, 4, (0, 0, iw, 4))
        s.image(rel, x, y + 4, w, h - 8, (0, 4, iw, ih - 8))
        s.image(rel, x, y + h - 4, w, 4, (0, ih - 4, iw, 4))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rs", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--light", action="store_true", help="a bright wallpaper instead of a dusk one")
    ap.add_argument("--scene", default="desk", choices=["desk", "toolbar", "nav", "apps"])
    a = ap.parse_args()
    W, H = 1280, 800
    s = Scene(a.rs)
    s.raw(wallpaper(W, H, a.light))
    if a.scene == "toolbar":
        toolbar_scene(s, W, H)
        return finish(s, W, H, a.out)
    if a.scene == "apps":
        apps_scene(s, W, H)
        return finish(s, W, H, a.out)
    if a.scene == "nav":
        nav_scene(s, W, H)
        return finish(s, W, H, a.out)
    s.image("默认-框.png", (W - s.size("默认-框.png")[0]) // 2, 0)
    box(s, 40, 60, 330, 330, "文件夹", ["工作资料", "照片", "下载", "项目计划", "旅行"],
        states={0: "hover", 2: "sel", 3: "focus"})
    box(s, 400, 60, 250, 250, "文件", ["报告.docx", "预算表.xlsx", "说明.txt", "合同.pdf"], active=True,
        scroll=(20, 90))
    box(s, 680, 60, 400, 180, "快捷方式", ["浏览器", "音乐", "记事本", "相册", "邮件"])
    # Drag view and insertion marker.
    s.nine("拖拽/images", 420, 340, 150, 20)
    s.image("拖拽/icon_move.png", 424, 342)
    s.raw(text(444, 350, "移动到 文件", 12, WHITE, anchor="start"))
    for i, n in enumerate(("icon_move", "icon_add", "icon_link", "prohibit")):
        s.image(f"拖拽/{n}.png", 600 + i * 24, 342)
    marker(s, "拖拽/horizontal.png", 700, 350, 160, 8)
    marker(s, "拖拽/vertical.png", 880, 320, 8, 80)
    # Confirmation dialog with its buttons at the places the dialog gives them.
    tw, th = s.size("设置/tips_bg.png")
    dx, dy = 700, 420
    s.image("设置/tips_bg.png", dx, dy)
    s.raw(text(dx + 85, dy + 83, "将移除所有自定义分类,并恢复初始桌面.", 12, Rgba(30, 30, 30), anchor="start"))
    s.raw(text(dx + 85, dy + 108, "确认继续吗?", 12, Rgba(30, 30, 30), anchor="start"))
    s.frame("设置/button_ok.png", 0, 3, dx + tw - 170, dy + th - 45)
    s.frame("设置/button_cancel.png", 1, 3, dx + tw - 90, dy + th - 45)
    cw, _ = s.size("设置/close.png")
    s.frame("设置/close.png", 0, 3, dx + tw - 10 - cw, dy + 10)
    finish(s, W, H, a.out)


def toolbar_scene(s, W, H):
    s.image("headerBg.png", 0, 0, W, 27)
    s.raw(text(20, 14, "12月8日 星期二", 12, WHITE, anchor="start"))
    s.image("weather/多云.png", 135, 0, 28, 28)
    s.raw(text(173, 14, "多云 12℃", 12, Rgba(0xFE, 0xDE, 0x00), anchor="start"))
    start = (W - 258) // 2
    for slot, (name, k) in enumerate((("桌面", 3), ("导航", 1), ("推荐", 0))):
        iw, ih = s.size(f"{name}.png")
        s.frame(f"{name}.png", k, 4, start + slot * 86 + (86 - iw) // 2, 0)
    s.frame("壁纸.png", 0, 3, W - 80, 0)
    s.frame("已整理.png", 0, 3, W - 170, 3)
    # Weather panel, view 1, under the weather.
    px, py = 50, 27
    s.image("weatherback/bg1.png", px, py)
    s.frame("weatherback/未来7天天气.png", 0, 3, px + 315, py + 15)
    s.frame("weatherback/设置.png", 1, 3, px + 415, py + 15)
    s.raw(text(px + 85, py + 30, "杭州", 14, WHITE))
    s.image("weather/多云.png", px + 57, py + 50)
    s.raw(text(px + 85, py + 140, "12℃", 40, WHITE, weight="bold"))
    s.raw(text(px + 85, py + 180, "多云 东风3级", 12, WHITE))
    s.raw(text(px + 85, py + 202, "相对湿度：64%", 12, WHITE))
    s.image("weatherback/hover.png", px + 170, py + 43)
    for i, (t, wx, tp) in enumerate((("今天(星期二)", "多云", "8~14℃"), ("明天(星期三)", "小雨", "7~11℃"),
                                     ("后天(星期四)", "晴", "6~15℃"))):
        cx = px + 219 + i * 98
        s.raw(text(cx, py + 65, t, 12, WHITE))
        s.image(f"weather/{wx}.png", cx - 24, py + 85, 48, 48)
        s.raw(text(cx, py + 150, wx, 12, WHITE))
        s.raw(text(cx, py + 172, tp, 12, WHITE))
    # View 2, view 3 and view 0 beside it.
    qx = 560
    s.image("weatherback/bg2.png", qx, py)
    s.frame("weatherback/返回.png", 0, 3, qx + 10, py + 15)
    s.image("weatherback/hover1.png", qx + 2, py + 60 + 33)
    for i in range(7):
        y = py + 60 + i * 33 + 15
        s.raw(text(qx + 20, y, f"12月{8 + i}日 星期{'二三四五六日一'[i]}", 12, WHITE, anchor="start"))
        s.image(f"weather/{['多云', '小雨', '晴', '阴', '雷阵雨', '小雪', '雾'][i]}.png", qx + 200, y - 13, 26, 26)
        s.raw(text(qx + 300, y, "6~15℃", 12, WHITE, anchor="start"))
    s.image("weatherback/bg3.png", px, 420)
    s.frame("weatherback/确定.png", 0, 3, px + 340, 420 + 175)
    s.frame("weatherback/取消.png", 0, 3, px + 410, 420 + 175)
    s.image("weatherback/bg4.png", qx, 420)
    s.raw(text(qx + 150, 420 + 50, "无法正常获取天气信息", 13, WHITE, anchor="start"))
    s.raw(text(qx + 150, 420 + 74, "请检查您的", 12, WHITE, anchor="start"))
    s.raw(text(qx + 212, 420 + 74, "网络设置", 12, Rgba(0xFE, 0xDE, 0x00), anchor="start"))
    s.image("默认-框.png", 1100, 700)


def nav_scene(s, W, H):
    # Search group and my-sites tiles, scaled down to fit: laid out as on a 1280 x 800 screen.
    fx, fy = (W - 611) // 2, 40
    s.image("导航/搜索/kuan.png", fx, fy)
    s.raw(text(fx + 43, fy + 22, "找什么?", 14, Rgba(0x9A, 0xA1, 0xAB), anchor="start"))
    s.frame("导航/搜索/search.png", 1, 3, fx + 520, fy)
    left, top = (W - 1000) // 2, 110
    names = ["新闻", "邮箱", "地图", "", "音乐", "视频", "", "", "", "", "", ""]
    for p in range(8):
        x, y = left + (p % 4) * 250, top + (p // 4) * 172
        s.image("导航/我的导航/bg-hover.png" if p == 1 else "导航/我的导航/bg.png", x, y)
        pic = "导航/我的导航/bg1.png" if p != 2 else "导航/我的导航/wait/bg.png"
        s.image(pic, x + 10, y + 10, 230, 122, (0, 0, 230, 122))
        if p == 1:
            s.image("导航/我的导航/hover.png", x + 10, y + 10, 230, 122, (0, 0, 230, 122))
        s.raw(text(x + 117, y + 147, names[p] or "添加网站", 13, WHITE))
        s.image("导航/我的导航/close.png", x + 224, y + 132)
    # Recommended categories (nine-slice cards) with the small thumb.
    for i in range(3):
        s.nine("导航/推荐导航/背景", left + i * 330, 470, 320, 200)
        s.raw(shadow_text(left + i * 330 + 16, 490, ["综合", "购物", "影音"][i], 13, WHITE,
                          Rgba(0x0A, 0x0A, 0x0A, 160), anchor="start"))
    s.frame("导航/推荐导航/scroll-top.png", 1, 3, left + 1000 - 18, 480)
    s.image("导航/推荐导航/scroll-center.png", left + 1000 - 18, 488, 8, 60, (0, 8, 8, 7))
    s.frame("导航/推荐导航/scroll-bottom.png", 1, 3, left + 1000 - 18, 548)
    # Bottom tab strip.
    s.image("导航/bg.png", 0, H - 37, W, 37)
    x0 = (W - 5 * 100) // 2
    for i, name in enumerate(("热点", "视频", "游戏", "购物", "生活")):
        s.frame(f"导航/{name}.png", 3 if i == 1 else (1 if i == 3 else 0), 4, x0 + i * 100, H - 37)
    s.frame("导航/我的导航.png", 3, 4, 40, H - 37)
    s.frame("导航/推荐导航.png", 0, 4, 140, H - 37)


def apps_scene(s, W, H):
    # Settings centre, organize tab.
    x, y = 40, 30
    s.image("设置/setting_bg.png", x, y)
    s.frame("设置/1.png", 0, 4, x + 10, y + 38)
    s.frame("设置/2.png", 3, 4, x + 10, y + 76)
    s.raw(text(x + 180, y + 90, "开机自动整理:", 12, Rgba(30, 30, 30), anchor="start"))
    s.frame("设置/checkbox_bg.png", 0, 3, x + 180, y + 112)
    s.image("设置/checkbox.png", x + 180, y + 112)
    s.raw(text(x + 202, y + 120, "开机自动整理", 12, Rgba(30, 30, 30), anchor="start"))
    s.raw(text(x + 180, y + 155, "整理规则:", 12, Rgba(30, 30, 30), anchor="start"))
    s.image("设置/list.png", x + 175, y + 170)
    for i, k in enumerate((0, 3, 1)):
        s.frame(f"设置/1-{i + 1}.png", k, 4, x + 177, y + 197 + 26 * i)
        s.raw(text(x + 177 + 240, y + 210 + 26 * i, ["文件夹", "(请选择目标分框)", "文件"][i], 12,
                   Rgba(30, 30, 30), anchor="start"))
    sw, sh = s.size("设置/setting_bg.png")
    s.frame("设置/button_ok.png", 0, 3, x + sw - 98, y + sh - 50)
    s.frame("设置/button_cancel.png", 0, 3, x + sw - 178, y + sh - 50)
    s.frame("设置/close.png", 1, 3, x + sw - 34, y + 10)
    # Wallpaper band.
    by = 440
    s.image("壁纸UI/背景/bg_left.png", 0, by)
    s.image("壁纸UI/背景/bg_center.png", 24, by, W - 48, 407)
    s.image("壁纸UI/背景/bg_right.png", W - 24, by)
    s.raw(text(24, by + 34, "Vexlo 壁纸", 15, WHITE, anchor="start"))
    s.frame("壁纸UI/关闭.png", 0, 3, W - 50, by + 19)
    s.frame("壁纸UI/最小化.png", 1, 3, W - 100, by + 19)
    s.image("壁纸UI/还原.png", W - 150, by + 19, 32, 32, (0, 128, 32, 32))
    for i in range(7):
        tx = 60 + i * 165
        s.image("壁纸UI/image_bg.png", tx, by + 75)
        s.raw(rect(tx + 8, by + 83, 141, 234, Rgba(0x4C + i * 12, 0x7A, 0xB0 - i * 8), 4))
        if i == 2:
            s.frame("壁纸UI/设为壁纸.png", 1, 3, tx + 4, by + 75 + 250 - 28)
        if i == 4:
            s.image("壁纸UI/进度条背景.png", tx + 8, by + 300)
            s.image("壁纸UI/进度条.png", tx + 8, by + 300, 80, 6, (0, 0, 80, 6))
    s.frame("壁纸UI/右边.png", 1, 3, W - 40, by + 155)
    s.image("壁纸UI/bg.png", (W - 1000) // 2, by + 342)
    for i, name in enumerate(["热门", "风景", "美女", "明星", "清新", "萌宠", "动漫", "汽车", "创意", "游戏"]):
        s.frame(f"壁纸UI/{name}.png", 3 if i == 0 else (1 if i == 2 else 0), 4, (W - 1000) // 2 + 100 * i, by + 342)
    s.frame("壁纸UI/本地图片.png", 0, 3, W - 110, by + 347)
    tx, ty = 700, 80
    s.image("壁纸UI/提示背景.png", tx, ty)
    s.raw(text(tx + 140, ty + 80, "由于网络原因图像加载失败", 12, WHITE, anchor="start"))
    s.raw(text(tx + 290, ty + 110, "点击重试", 12, Rgba(0x1E, 0x9D, 0x44), anchor="start"))
    s.raw(text(tx + 186, ty + 140, "使用本地图片", 12, Rgba(0x1E, 0x9D, 0x44), anchor="start"))
    s.frame("壁纸UI/wclose.png", 0, 3, tx + 355, ty + 45)


def finish(s, W, H, out):
    svg = document(W, H, "".join(s.parts))
    r = subprocess.run(["rsvg-convert", "--format=png", "-o", out], input=svg.encode(), capture_output=True)
    if r.returncode:
        sys.exit(r.stderr.decode())
    print(out)


if __name__ == "__main__":
    main()
