"""SVG building blocks shared by every area of the skin.

Everything here returns SVG text. Shapes are drawn in pixel units; outlines that must be
crisp sit on half-pixel lines (x + 0.5) so that a 1-pixel stroke covers exactly one column.
"""

from dataclasses import dataclass
import itertools
import math

FONT = "WenQuanYi Zen Hei"

_ids = itertools.count(1)


def uid(prefix="d"):
    """Ids must be unique across a whole document: strips and nine-slice sets repeat bodies."""
    return f"{prefix}{next(_ids)}"


@dataclass(frozen=True)
class Rgba:
    r: int
    g: int
    b: int
    a: int = 255

    @property
    def hex(self):
        return f"#{self.r:02X}{self.g:02X}{self.b:02X}"

    def fill(self):
        if self.a == 255:
            return f'fill="{self.hex}"'
        return f'fill="{self.hex}" fill-opacity="{self.a / 255:.4f}"'

    def stroke(self, width=1.0):
        op = "" if self.a == 255 else f' stroke-opacity="{self.a / 255:.4f}"'
        return f'stroke="{self.hex}" stroke-width="{width:g}"{op}'

    def stop(self, offset):
        return f'<stop offset="{offset:g}" stop-color="{self.hex}" stop-opacity="{self.a / 255:.4f}"/>'

    def with_alpha(self, a):
        return Rgba(self.r, self.g, self.b, a)

    def mix(self, other, t):
        """Linear blend towards `other` (t = 0 keeps self); alpha blends too."""
        f = lambda x, y: round(x + (y - x) * t)
        return Rgba(f(self.r, other.r), f(self.g, other.g), f(self.b, other.b), f(self.a, other.a))

    def tuple(self):
        return (self.r, self.g, self.b, self.a)


NONE = Rgba(0, 0, 0, 0)
WHITE = Rgba(255, 255, 255)
BLACK = Rgba(0, 0, 0)


def document(w, h, body, defs=""):
    d = f"<defs>{defs}</defs>" if defs else ""
    return (f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">{d}{body}</svg>')


def fmt(v):
    return f"{v:.3f}".rstrip("0").rstrip(".")


def round_rect_path(x, y, w, h, r):
    """Rounded rectangle; r may be a number or (tl, tr, br, bl)."""
    tl, tr, br, bl = (r, r, r, r) if isinstance(r, (int, float)) else r
    p = [f"M{fmt(x + tl)},{fmt(y)}", f"H{fmt(x + w - tr)}"]
    if tr:
        p.append(f"A{fmt(tr)},{fmt(tr)} 0 0 1 {fmt(x + w)},{fmt(y + tr)}")
    p.append(f"V{fmt(y + h - br)}")
    if br:
        p.append(f"A{fmt(br)},{fmt(br)} 0 0 1 {fmt(x + w - br)},{fmt(y + h)}")
    p.append(f"H{fmt(x + bl)}")
    if bl:
        p.append(f"A{fmt(bl)},{fmt(bl)} 0 0 1 {fmt(x)},{fmt(y + h - bl)}")
    p.append(f"V{fmt(y + tl)}")
    if tl:
        p.append(f"A{fmt(tl)},{fmt(tl)} 0 0 1 {fmt(x + tl)},{fmt(y)}")
    p.append("Z")
    return "".join(p)


def rect(x, y, w, h, colour, r=0, extra=""):
    if colour.a == 0:
        return ""
    return f'<path d="{round_rect_path(x, y, w, h, r)}" {colour.fill()} {extra}/>'


def outline(x, y, w, h, colour, r=0, width=1.0):
    """A stroke that lies fully inside (x, y, w, h)."""
    if colour.a == 0:
        return ""
    i = width / 2
    rr = r if isinstance(r, (int, float)) else tuple(max(0, c - i) for c in r)
    if isinstance(rr, (int, float)):
        rr = max(0, rr - i)
    return (f'<path d="{round_rect_path(x + i, y + i, w - width, h - width, rr)}" fill="none" '
            f'{colour.stroke(width)}/>')


def panel(x, y, w, h, fill, border=None, r=0, border_width=1.0):
    return rect(x, y, w, h, fill, r) + (outline(x, y, w, h, border, r, border_width) if border else "")


def vgradient(stops, x1=0, y1=0, x2=0, y2=1):
    """Returns (id, defs) of a linear gradient; stops are (offset, Rgba)."""
    gid = uid("g")
    s = "".join(c.stop(o) for o, c in stops)
    return gid, (f'<linearGradient id="{gid}" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">{s}</linearGradient>')


def gradient_rect(x, y, w, h, stops, r=0, horizontal=False):
    gid, defs = vgradient(stops, x2=1 if horizontal else 0, y2=0 if horizontal else 1)
    return f'<defs>{defs}</defs><path d="{round_rect_path(x, y, w, h, r)}" fill="url(#{gid})"/>'


def shadow_rect(x, y, w, h, r, blur, colour, dy=0):
    """A soft shadow of a rounded rectangle (Gaussian blur of its shape)."""
    fid = uid("f")
    pad = blur * 3
    defs = (f'<filter id="{fid}" x="{fmt(x - pad)}" y="{fmt(y - pad + dy)}" width="{fmt(w + 2 * pad)}" '
            f'height="{fmt(h + 2 * pad)}" filterUnits="userSpaceOnUse">'
            f'<feGaussianBlur stdDeviation="{fmt(blur)}"/></filter>')
    return (f'<defs>{defs}</defs><path d="{round_rect_path(x, y + dy, w, h, r)}" '
            f'{colour.fill()} filter="url(#{fid})"/>')


def text(x, y, s, size, colour, anchor="middle", weight="normal", extra=""):
    """Text whose visual middle lies on y: CJK glyphs of this font sit about 0.36 em above
    the baseline's middle, so the baseline is moved down by that much."""
    base = y + size * 0.36
    s = s.replace("&", "&amp;").replace("<", "&lt;")
    return (f'<text x="{fmt(x)}" y="{fmt(base)}" font-family="{FONT}" font-size="{fmt(size)}" '
            f'font-weight="{weight}" text-anchor="{anchor}" {colour.fill()} {extra}>{s}</text>')


def shadow_text(x, y, s, size, colour, shadow, anchor="middle", weight="normal", blur=1.2, dy=1):
    """Text with a soft dark halo so that it reads on any wallpaper."""
    fid = uid("t")
    defs = f'<filter id="{fid}" x="-20%" y="-40%" width="140%" height="180%"><feGaussianBlur stdDeviation="{fmt(blur)}"/></filter>'
    return (f'<defs>{defs}</defs>'
            + text(x, y + dy, s, size, shadow, anchor, weight, f'filter="url(#{fid})"')
            + text(x, y, s, size, colour, anchor, weight))


def group(body, dx=0, dy=0, extra=""):
    return f'<g transform="translate({fmt(dx)},{fmt(dy)})" {extra}>{body}</g>'


def stroke_path(d, colour, width, cap="round", join="round", extra=""):
    return (f'<path d="{d}" fill="none" {colour.stroke(width)} stroke-linecap="{cap}" '
            f'stroke-linejoin="{join}" {extra}/>')


def fill_path(d, colour, extra=""):
    return f'<path d="{d}" {colour.fill()} {extra}/>'


def circle(cx, cy, r, colour, extra=""):
    return f'<circle cx="{fmt(cx)}" cy="{fmt(cy)}" r="{fmt(r)}" {colour.fill()} {extra}/>'


def ring(cx, cy, r, colour, width):
    return f'<circle cx="{fmt(cx)}" cy="{fmt(cy)}" r="{fmt(r)}" fill="none" {colour.stroke(width)}/>'


def polar(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def nested(x, y, w, h, body, view=None):
    """A clipping viewport: whatever `body` draws outside (0, 0, w, h) is cut away."""
    vb = view or (0, 0, w, h)
    return (f'<svg x="{fmt(x)}" y="{fmt(y)}" width="{fmt(w)}" height="{fmt(h)}" '
            f'viewBox="{" ".join(fmt(v) for v in vb)}" overflow="hidden">{body}</svg>')
