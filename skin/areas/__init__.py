"""Every area of the skin; each module lists its images (and the pixels it promises)."""

from . import gallery, toolkit

ALL = [toolkit, gallery]
