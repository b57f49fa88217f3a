#!/usr/bin/env python3
"""Renders the skin (the areas under skin/areas) into an rs/ image folder.

    python3 skin/build_skin.py --out build/look/rs          # render (only what changed)
    python3 skin/build_skin.py --out DIR --check            # render, then verify probes
    python3 skin/build_skin.py --list                       # what would be rendered

The build runs it with --stamp so that a no-op build costs nothing (see CMakeLists.txt).
"""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True   # the build must not write into the source tree

from areas import ALL, INSTALLER  # noqa: E402
from skinkit import pngread  # noqa: E402
from skinkit.images import Gif, Image  # noqa: E402
from skinkit.render import Renderer  # noqa: E402


def collect(only=None, areas=ALL):
    items, probes = [], []
    for area in areas:
        items += area.images()
        if hasattr(area, "probes"):
            probes += area.probes()
    if only:
        items = [i for i in items if only in i.path]
        probes = [p for p in probes if only in p.path]
    return items, probes


def markdown():
    """The image list of README.md, one table per area; nine-slice sets on one row."""
    out = []
    for area in ALL:
        para = " ".join(area.__doc__.strip().split("\n\n")[0].split())
        out.append(f"### {para.split('. ')[0].rstrip('.')}\n")
        out.append("| Path (under rs) | Size | Layout | Role |")
        out.append("|---|---|---|---|")
        items = area.images()
        i = 0
        while i < len(items):
            it = items[i]
            if it.role.startswith("nine-slice"):
                folder = it.path.rsplit("/", 1)[0]
                group = [x for x in items[i:i + 9] if x.path.rsplit("/", 1)[0] == folder]
                first, last = group[0].path.rsplit("/", 1)[1], group[-1].path.rsplit("/", 1)[1]
                c, m = group[0], group[4]
                out.append(f"| `{folder.replace('/', chr(92))}\\{first}`..`{last}` | corners {c.width}×{c.height}, "
                           f"centre {m.width}×{m.height} | nine-slice | {it.role[len('nine-slice '):]} |")
                i += len(group)
                continue
            if isinstance(it, Gif):
                layout = f"GIF, {len(it.frames)} frames"
            elif it.frames > 1:
                fw, fh = (it.width, it.height // it.frames) if it.vertical else (it.width // it.frames, it.height)
                layout = f"{it.frames} frames of {fw}×{fh}, {'vertical' if it.vertical else 'side by side'}"
            else:
                layout = "single"
            out.append(f"| `{it.path.replace('/', chr(92))}` | {it.width}×{it.height} | {layout} | {it.role} |")
            i += 1
        out.append("")
    return "\n".join(out)


def gif_pixel(convert, path, frame, x, y):
    r = subprocess.run([convert, f"{path}[{frame}]", "-depth", "8", "-crop", f"1x1+{x}+{y}",
                        "+repage", "rgba:-"], capture_output=True, check=True)
    return tuple(r.stdout[:4])


def check(out, items, probes, renderer):
    """Sizes must divide into their frames; promised pixels must hold their colours
    (exactly when opaque; translucent colours are stored premultiplied, which rounds
    the colour by up to about 128 / alpha)."""
    bad = 0
    cache = {}
    for it in items:
        if isinstance(it, Image) and it.frames > 1:
            n = it.height if it.vertical else it.width
            if n % it.frames:
                print(f"FAIL {it.path}: {n} pixels do not divide into {it.frames} frames")
                bad += 1
    for p in probes:
        path = os.path.join(out, *p.path.split("/"))
        if p.path.endswith(".gif"):
            got = gif_pixel(renderer.convert, path, p.frame, p.x, p.y)
        else:
            if path not in cache:
                cache[path] = pngread.read(path)
            got = pngread.pixel(cache[path], p.x, p.y)
            for dy in range(-p.flat, p.flat + 1):
                for dx in range(-p.flat, p.flat + 1):
                    if pngread.pixel(cache[path], p.x + dx, p.y + dy) != got:
                        print(f"FAIL {p.path} ({p.x},{p.y}) {p.note}: not flat at ({p.x + dx},{p.y + dy})")
                        bad += 1
        tol = 0 if p.rgba[3] == 255 else 2 + 128 // max(1, p.rgba[3])
        if any(abs(a - b) > tol for a, b in zip(got, p.rgba)):
            print(f"FAIL {p.path} ({p.x},{p.y}) {p.note}: expected {p.rgba}, got {got}")
            bad += 1
    return bad


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--out", help="the rs folder to fill")
    ap.add_argument("--cache", help="where the render manifest lives (default: OUT/../.skin-cache)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel renders (default 2)")
    ap.add_argument("--only", help="only paths containing this text (quick looks)")
    ap.add_argument("--check", action="store_true", help="verify frame sizes and probe colours")
    ap.add_argument("--report", action="store_true", help="print every probe's rendered colour")
    ap.add_argument("--list", action="store_true", help="print the images and stop")
    ap.add_argument("--markdown", action="store_true", help="print README.md's image tables and stop")
    ap.add_argument("--stamp", help="file to write after a successful run")
    ap.add_argument("--touch", action="append", default=[],
                    help="output to mark as fresh even when it was not re-rendered")
    ap.add_argument("--installer", action="store_true",
                    help="render the installer's own pictures (compiled in, not part of rs)")
    ap.add_argument("-v", "--verbose", action="store_true")
    a = ap.parse_args()

    if a.markdown:
        print(markdown())
        return 0
    items, probes = collect(a.only, INSTALLER if a.installer else ALL)
    if a.list:
        for it in items:
            kind = "gif" if isinstance(it, Gif) else f"{it.frames} frame(s){'' if it.vertical else ' horz'}"
            print(f"{it.path}\t{it.width}x{it.height}\t{kind}\t{it.role}")
        return 0
    if not a.out:
        ap.error("--out is required")
    out = os.path.abspath(a.out)
    cache = a.cache or os.path.join(os.path.dirname(out), ".skin-cache")
    if a.only:
        # A partial run must not think the other images were dropped.
        cache = os.path.join(cache, "partial")
    r = Renderer(out, cache, a.jobs, a.verbose)
    n = r.run(items)
    print(f"skin: {n} of {len(items)} images rendered into {out}")
    if a.report:
        for p in probes:
            path = os.path.join(out, *p.path.split("/"))
            got = (gif_pixel(r.convert, path, p.frame, p.x, p.y) if p.path.endswith(".gif")
                   else pngread.pixel(pngread.read(path), p.x, p.y))
            print(f"{p.path}\t({p.x},{p.y})\t{p.note}\t{got}")
    if a.check:
        bad = check(out, items, probes, r)
        if bad:
            print(f"skin: {bad} check(s) failed")
            return 1
        print(f"skin: {len(probes)} probes and all strip sizes check out")
    for path in a.touch:
        os.utime(path)
    if a.stamp:
        with open(a.stamp, "w") as f:
            f.write("rendered\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
