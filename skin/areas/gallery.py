"""The toolkit's own test and gallery set (rs/gallery/), not used by the programs.

Every frame of every strip has a flat colour around its centre, distinct from every other
frame, so a test can tell which frame was drawn by reading one pixel. The colours are
listed in skin/README.md; probes() below promises them and `build_skin.py --check`
verifies them.
"""

from skinkit.draw import (Rgba, WHITE, circle, document, group, outline, panel, polar, rect,
                          shadow_rect, stroke_path, text, uid)
from skinkit.images import Gif, Probe, nine_slice, single, strip
from skinkit.palette import CARD, CARD_LINE, CARD_SOFT, INK, INK_SOFT, R_DIALOG

G = "gallery"

# Button frames by meaning: normal, mouse over, pressed, active, disabled.
BUTTON = [Rgba(0x2F, 0x6F, 0xD6), Rgba(0x4F, 0x9B, 0xF5), Rgba(0x1D, 0x4E, 0x9E),
          Rgba(0x22, 0xA0, 0x6B), Rgba(0x9A, 0xA1, 0xAB)]
STATE_TAG = ["常态", "悬停", "按下", "激活", "禁用"]
BW, BH = 90, 32

# Check box and radio frames: normal, mouse over, pressed.
TICK_BOX = [Rgba(0xFF, 0xFF, 0xFF), Rgba(0xD6, 0xEA, 0xFF), Rgba(0xA8, 0xD1, 0xFF)]
TICK_EDGE = Rgba(0x8C, 0xA3, 0xBF)
CHECK_MARK = Rgba(0x1F, 0x7A, 0xE0)
RADIO_DOT = Rgba(0x33, 0x99, 0xFF)
CW = 18

PROGRESS_BACK = Rgba(0xDD, 0xE2, 0xE8)
PROGRESS_EDGE = Rgba(0xC8, 0xCF, 0xD8)
PROGRESS_BAR = Rgba(0x33, 0x99, 0xFF)

# Caption buttons: the glyph sits on the centre, so its colour tells the frame.
CAP_W, CAP_H = 28, 24
CLOSE = [(None, Rgba(0x5B, 0x63, 0x70)), (Rgba(0xE5, 0x48, 0x4D), WHITE),
         (Rgba(0xB8, 0x32, 0x37), Rgba(0xFF, 0xD9, 0xDB))]
MINIMIZE = [(None, Rgba(0x5B, 0x63, 0x70)), (Rgba(0xE4, 0xE7, 0xEB), Rgba(0x1F, 0x24, 0x2C)),
            (Rgba(0xCF, 0xD4, 0xDB), Rgba(0x0E, 0x11, 0x16))]

DIALOG_W, DIALOG_H, DIALOG_MARGIN = 640, 480, 14

GIF_SIZE = 48
GIF_BACK = Rgba(0x1F, 0x24, 0x2C)
GIF_CORE = [Rgba(0xE5, 0x48, 0x4D), Rgba(0xF5, 0xA6, 0x23), Rgba(0x22, 0xA0, 0x6B),
            Rgba(0x33, 0x99, 0xFF)]
GIF_DELAYS = [10, 20, 30, 40]   # hundredths of a second; all different, for the stepping tests

# Window frame: each of the nine slices has its own flat colour, so a test sees which
# slice landed where; the centre is the window's body.
FRAME_SLICE = 12
FRAME = [Rgba(0x2B, 0x33, 0x40), Rgba(0x33, 0x3D, 0x4C), Rgba(0x2B, 0x40, 0x4C),
         Rgba(0x3D, 0x33, 0x4C), Rgba(0xF5, 0xF7, 0xFA), Rgba(0x4C, 0x3D, 0x33),
         Rgba(0x33, 0x4C, 0x3D), Rgba(0x40, 0x4C, 0x2B), Rgba(0x4C, 0x2B, 0x40)]


def button_frame(k, w=BW, h=BH):
    fill = BUTTON[k]
    label = Rgba(0xE9, 0xEC, 0xF0) if k == 4 else WHITE
    # Labels keep clear of the middle third, which stays flat for the pixel tests.
    return (panel(0, 0, w, h, fill, fill.mix(Rgba(0, 0, 0), 0.22), 6)
            + text(12, h / 2, "确定", 14, label, anchor="start")
            + text(w - 8, h / 2, STATE_TAG[k], 11, label.with_alpha(200), anchor="end"))


def check_frame(k):
    return panel(0, 0, CW, CW, TICK_BOX[k], TICK_EDGE if k == 0 else RADIO_DOT, 4)


def radio_frame(k):
    edge = TICK_EDGE if k == 0 else RADIO_DOT
    return circle(CW / 2, CW / 2, CW / 2, edge) + circle(CW / 2, CW / 2, CW / 2 - 1, TICK_BOX[k])


def caption_frame(k, kind):
    back, glyph = (CLOSE if kind == "close" else MINIMIZE)[k]
    body = rect(0, 0, CAP_W, CAP_H, back, 5) if back else ""
    cx, cy = CAP_W / 2, CAP_H / 2
    if kind == "close":
        # Strokes cross on the centre pixel's middle, which a 2-pixel pen covers whole.
        d = (f"M{cx - 5},{cy - 5} L{cx + 5},{cy + 5} M{cx + 5},{cy - 5} L{cx - 5},{cy + 5}")
        body += stroke_path(d, glyph, 2, cap="round")
    else:
        body += rect(cx - 6, cy - 1, 12, 2, glyph)
    return body


def dialog_background():
    m = DIALOG_MARGIN
    w, h = DIALOG_W - 2 * m, DIALOG_H - 2 * m
    return (shadow_rect(m, m, w, h, R_DIALOG, 5, Rgba(0x0B, 0x12, 0x20, 80), dy=2)
            + rect(m, m, w, h, CARD_SOFT, R_DIALOG)
            + rect(m, m, w, 44, CARD, (R_DIALOG, R_DIALOG, 0, 0))
            + rect(m, m + 44, w, 1, CARD_LINE)
            + text(m + 18, m + 22, "Lumette 组件一览", 14, INK, anchor="start")
            + outline(m, m, w, h, Rgba(0, 0, 0, 30), R_DIALOG))


def gif_frame(k):
    s = GIF_SIZE
    x, y = polar(s / 2, s / 2, 16, -90 + 90 * k)
    body = (rect(0, 0, s, s, GIF_BACK, 10)
            + circle(s / 2, s / 2, 9, GIF_CORE[k])
            + circle(x, y, 4, WHITE))
    return document(s, s, body)


def window_frame():
    s = FRAME_SLICE
    body = ""
    for i, c in enumerate(FRAME):
        body += rect((i % 3) * s, (i // 3) * s, s, s, c)
    # Outer corners are rounded: the slices are cut through a mask of the rounded frame.
    mid = uid("m")
    return (f'<defs><mask id="{mid}">{rect(0, 0, 3 * s, 3 * s, WHITE, 6)}</mask></defs>'
            f'<g mask="url(#{mid})">{body}</g>')


def images():
    out = [
        strip(f"{G}/button-1.png", BW, BH, [button_frame(0)], role="button"),
        strip(f"{G}/button-2.png", BW, BH, [button_frame(k) for k in range(2)], role="button"),
        strip(f"{G}/button-3.png", BW, BH, [button_frame(k) for k in range(3)], role="button"),
        strip(f"{G}/button-4.png", BW, BH, [button_frame(k) for k in range(4)], role="button"),
        strip(f"{G}/button-5.png", BW, BH, [button_frame(k) for k in range(5)], role="button"),
        strip(f"{G}/button-3-horz.png", BW, BH, [button_frame(k) for k in range(3)], vertical=False,
              role="button"),
        strip(f"{G}/check.png", CW, CW, [check_frame(k) for k in range(3)], role="check box"),
        single(f"{G}/check-mark.png", 12, 12,
               stroke_path("M1.8,6.2 L4.5,8.9 L10.5,1.7", CHECK_MARK, 2.6), role="check mark"),
        strip(f"{G}/radio.png", CW, CW, [radio_frame(k) for k in range(3)], role="radio"),
        single(f"{G}/radio-dot.png", 8, 8, circle(4, 4, 4, RADIO_DOT), role="radio dot"),
        single(f"{G}/progress-back.png", 200, 14, panel(0, 0, 200, 14, PROGRESS_BACK, PROGRESS_EDGE, 7),
               role="progress back (border 1)"),
        single(f"{G}/progress-bar.png", 200, 12, rect(0, 0, 200, 12, PROGRESS_BAR, 6), role="progress bar"),
        strip(f"{G}/close.png", CAP_W, CAP_H, [caption_frame(k, "close") for k in range(3)],
              role="close button"),
        strip(f"{G}/minimize.png", CAP_W, CAP_H, [caption_frame(k, "min") for k in range(3)],
              role="minimize button"),
        single(f"{G}/dialog-bg.png", DIALOG_W, DIALOG_H, dialog_background(),
               role="dialog background, per-pixel alpha"),
        Gif(f"{G}/spinner.gif", [gif_frame(k) for k in range(4)], GIF_DELAYS, GIF_SIZE, GIF_SIZE,
            role="animated GIF"),
    ]
    out += nine_slice(f"{G}/frame", 3 * FRAME_SLICE, 3 * FRAME_SLICE, FRAME_SLICE, FRAME_SLICE,
                      FRAME_SLICE, FRAME_SLICE, window_frame(), first=0, role="nine-slice window frame")
    return out


def strip_probes(path, colours, fw, fh, vertical=True, note="frame", flat=4):
    out = []
    for k, c in enumerate(colours):
        x, y = (fw // 2, k * fh + fh // 2) if vertical else (k * fw + fw // 2, fh // 2)
        out.append(Probe(path, x, y, c.tuple(), f"{note} {k}", flat=flat))
    return out


def probes():
    p = []
    for n in range(1, 6):
        p += strip_probes(f"{G}/button-{n}.png", BUTTON[:n], BW, BH)
    p += strip_probes(f"{G}/button-3-horz.png", BUTTON[:3], BW, BH, vertical=False)
    p += strip_probes(f"{G}/check.png", TICK_BOX, CW, CW)
    p += strip_probes(f"{G}/radio.png", TICK_BOX, CW, CW)
    p.append(Probe(f"{G}/check-mark.png", 6, 6, CHECK_MARK.tuple(), "centre"))
    p.append(Probe(f"{G}/radio-dot.png", 4, 4, RADIO_DOT.tuple(), "centre"))
    p.append(Probe(f"{G}/progress-back.png", 100, 7, PROGRESS_BACK.tuple(), "centre", flat=4))
    p.append(Probe(f"{G}/progress-bar.png", 100, 6, PROGRESS_BAR.tuple(), "centre", flat=4))
    p += strip_probes(f"{G}/close.png", [g for _, g in CLOSE], CAP_W, CAP_H, note="glyph, frame", flat=0)
    p += strip_probes(f"{G}/minimize.png", [g for _, g in MINIMIZE], CAP_W, CAP_H, note="glyph, frame", flat=0)
    p.append(Probe(f"{G}/dialog-bg.png", DIALOG_W // 2, DIALOG_H // 2, CARD_SOFT.tuple(), "centre", flat=4))
    p.append(Probe(f"{G}/dialog-bg.png", 0, 0, (0, 0, 0, 0), "corner, fully transparent"))
    for k, c in enumerate(GIF_CORE):
        p.append(Probe(f"{G}/spinner.gif", GIF_SIZE // 2, GIF_SIZE // 2, c.tuple(), f"frame {k}", frame=k))
    for i, c in enumerate(FRAME):
        p.append(Probe(f"{G}/frame/{i}.png", FRAME_SLICE // 2, FRAME_SLICE // 2, c.tuple(), f"slice {i}", flat=3))
    return p
