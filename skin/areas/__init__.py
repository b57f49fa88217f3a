"""Every area of the skin; each module lists its images (and the pixels it promises)."""

from . import desk, dialogs, gallery, nav, toolbar, toolkit, wallpaper, weather

ALL = [toolkit, gallery, desk, dialogs, toolbar, weather, nav, wallpaper]
