"""Every area of the skin; each module lists its images (and the pixels it promises)."""

from . import desk, dialogs, gallery, nav, setup, toolbar, toolkit, wallpaper, weather

ALL = [toolkit, gallery, desk, dialogs, toolbar, weather, nav, wallpaper]

# The installer's pictures are compiled into TessarySetup.exe, not installed into rs.
INSTALLER = [setup]
