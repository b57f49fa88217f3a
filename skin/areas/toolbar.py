"""The top toolbar (rs/): its background, page buttons and the tab shown while it hides."""

from skinkit.draw import WHITE, outline, rect, stroke_path
from skinkit.images import single
from skinkit.palette import GLASS

# Tab shown at the top centre while the strip is hidden: a small glass tongue with a
# chevron that says "pull me down".
TAB_W, TAB_H = 56, 12


def hidden_tab():
    r = (0, 0, 6, 6)
    cx = TAB_W / 2
    return (rect(0, 0, TAB_W, TAB_H, GLASS.with_alpha(200), r)
            + outline(0, -2, TAB_W, TAB_H + 2, WHITE.with_alpha(40), r)
            + stroke_path(f"M{cx - 5},4 L{cx},8 L{cx + 5},4", WHITE.with_alpha(220), 1.6))


def images():
    return [single("默认-框.png", TAB_W, TAB_H, hidden_tab(), role="toolbar tab while hidden")]
