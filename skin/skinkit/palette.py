"""One palette for the whole product.

Things that lie on the wallpaper (boxes, toolbar, navigation) are dark glass with white
text; dialogs are light cards with dark text. Both share the accent blue, which is also the
colour the toolkit fills its rubber band with (0x3399FF), and the same corner radii.
"""

from .draw import Rgba

ACCENT = Rgba(0x33, 0x99, 0xFF)
ACCENT_DARK = Rgba(0x1F, 0x7A, 0xE0)
ACCENT_DEEP = Rgba(0x17, 0x62, 0xB8)
ACCENT_LIGHT = Rgba(0x66, 0xB3, 0xFF)

# Glass on the wallpaper.
GLASS = Rgba(0x12, 0x16, 0x1E)
GLASS_EDGE_DARK = Rgba(0, 0, 0, 70)
WHITE_TEXT = Rgba(0xFF, 0xFF, 0xFF)
TEXT_HALO = Rgba(0, 0, 0, 150)

# Light dialogs.
CARD = Rgba(0xFF, 0xFF, 0xFF)
CARD_SOFT = Rgba(0xF5, 0xF7, 0xFA)
CARD_LINE = Rgba(0xE3, 0xE7, 0xED)
CARD_BORDER = Rgba(0xD5, 0xDB, 0xE3)
INK = Rgba(30, 30, 30)          # the dialogs draw their own text in this colour
INK_SOFT = Rgba(0x5B, 0x63, 0x70)
INK_FAINT = Rgba(0x9A, 0xA1, 0xAB)
SHADOW = Rgba(0x0B, 0x12, 0x20, 90)

DANGER = Rgba(0xE5, 0x48, 0x4D)
DANGER_DEEP = Rgba(0xB8, 0x32, 0x37)
SUCCESS = Rgba(0x22, 0xA0, 0x6B)
WARM = Rgba(0xFE, 0xDE, 0x00)   # the weather texts' highlight colour

R_DIALOG = 10
R_BOX = 8
R_CONTROL = 6
R_ITEM = 4
