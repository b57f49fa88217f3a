"""Turns the areas' image lists into files under rs/.

Each output is keyed by a hash of exactly what would be rendered (SVG text, frame delays,
tool versions). An output whose key matches the manifest and which still exists is left
alone, so editing one area re-renders only the images that changed. Outputs that no area
produces any more are deleted, so rs/ never keeps stale images.
"""

from concurrent.futures import ThreadPoolExecutor
import hashlib
import json
import os
import shutil
import subprocess
import tempfile

from .images import Gif, Image

MANIFEST = "skin-manifest.json"


def _tool(name):
    path = shutil.which(name)
    if not path:
        raise SystemExit(f"build_skin: '{name}' not found (scripts/setup installs it)")
    return path


def _version(cmd):
    try:
        return subprocess.run(cmd, capture_output=True, text=True, check=True).stdout.splitlines()[0]
    except (OSError, subprocess.CalledProcessError, IndexError):
        return "?"


class Renderer:
    def __init__(self, out_dir, cache_dir, jobs=2, verbose=False):
        self.out = os.path.abspath(out_dir)
        self.cache = os.path.abspath(cache_dir)
        self.jobs = max(1, jobs)
        self.verbose = verbose
        self.rsvg = _tool("rsvg-convert")
        self.tools = _version([self.rsvg, "--version"])
        self._convert = None

    @property
    def convert(self):
        if self._convert is None:
            self._convert = _tool("convert")
        return self._convert

    def key(self, item):
        h = hashlib.sha256()
        h.update(self.tools.encode())
        if isinstance(item, Image):
            h.update(b"png\0" + item.svg.encode())
        else:
            h.update(b"gif\0" + json.dumps(item.delays).encode())
            for f in item.frames:
                h.update(b"\0" + f.encode())
        return h.hexdigest()

    def run(self, items):
        os.makedirs(self.out, exist_ok=True)
        os.makedirs(self.cache, exist_ok=True)
        seen = set()
        for it in items:
            if it.path in seen:
                raise SystemExit(f"build_skin: {it.path} is produced twice")
            seen.add(it.path)
        if any(isinstance(it, Gif) for it in items):
            self.tools += "|" + _version([self.convert, "-version"])
        mpath = os.path.join(self.cache, MANIFEST)
        try:
            with open(mpath, encoding="utf-8") as f:
                old = json.load(f)
        except (OSError, ValueError):
            old = {}
        new, todo = {}, []
        for it in items:
            k = self.key(it)
            new[it.path] = k
            if old.get(it.path) != k or not os.path.exists(self._dest(it.path)):
                todo.append(it)
        for path in set(old) - set(new):
            try:
                os.remove(self._dest(path))
                self._prune(os.path.dirname(self._dest(path)))
            except OSError:
                pass
        # The manifest is written only after a successful render, so a failed or
        # interrupted run renders the same images again next time.
        with ThreadPoolExecutor(self.jobs) as pool:
            list(pool.map(self._render, todo))
        with open(mpath + ".tmp", "w", encoding="utf-8") as f:
            json.dump(new, f, ensure_ascii=False, indent=0, sort_keys=True)
        os.replace(mpath + ".tmp", mpath)
        return len(todo)

    def _dest(self, rel):
        return os.path.join(self.out, *rel.split("/"))

    def _prune(self, folder):
        while folder.startswith(self.out + os.sep) and not os.listdir(folder):
            os.rmdir(folder)
            folder = os.path.dirname(folder)

    def _render(self, it):
        dest = self._dest(it.path)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        if self.verbose:
            print("  render", it.path)
        if isinstance(it, Image):
            self._svg_to_png(it.svg, dest)
        else:
            self._gif(it, dest)

    def _svg_to_png(self, svg, dest):
        tmp = dest + ".part"
        r = subprocess.run([self.rsvg, "--format=png", "-o", tmp], input=svg.encode("utf-8"),
                           capture_output=True)
        if r.returncode != 0:
            raise SystemExit(f"build_skin: rsvg-convert failed for {dest}:\n{r.stderr.decode(errors='replace')}")
        os.replace(tmp, dest)

    def _gif(self, it, dest):
        with tempfile.TemporaryDirectory(dir=self.cache) as tmp:
            args = [self.convert, "+dither", "-dispose", "background", "-loop", "0"]
            for i, (svg, delay) in enumerate(zip(it.frames, it.delays)):
                png = os.path.join(tmp, f"{i}.png")
                self._svg_to_png(svg, png)
                args += ["-delay", str(delay), png]
            # Flat areas must keep their exact colours: no dithering, one palette per frame.
            args += ["gif:" + dest + ".part"]
            r = subprocess.run(args, capture_output=True)
            if r.returncode != 0:
                raise SystemExit(f"build_skin: convert failed for {dest}:\n{r.stderr.decode(errors='replace')}")
            os.replace(dest + ".part", dest)
