"""Reads 8-bit PNG files (RGB/RGBA/grey, not interlaced) into RGBA rows, enough to check
what the renderer produced without any library outside Python."""

import struct
import zlib


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read(path):
    """Returns (width, height, rows) with rows[y] a bytes object of width * 4 RGBA bytes."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, idat, palette, trns = 8, [], None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
        elif kind == b"PLTE":
            palette = chunk
        elif kind == b"tRNS":
            trns = chunk
        elif kind == b"IDAT":
            idat.append(chunk)
        elif kind == b"IEND":
            break
    if depth != 8 or interlace:
        raise ValueError(f"{path}: only 8-bit non-interlaced PNG files are read here")
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    raw = zlib.decompress(b"".join(idat))
    stride = w * channels
    prev = bytearray(stride)
    rows = []
    i = 0
    for _ in range(h):
        ft = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        bpp = channels
        if ft == 1:
            for x in range(bpp, stride):
                line[x] = (line[x] + line[x - bpp]) & 255
        elif ft == 2:
            for x in range(stride):
                line[x] = (line[x] + prev[x]) & 255
        elif ft == 3:
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                line[x] = (line[x] + ((left + prev[x]) >> 1)) & 255
        elif ft == 4:
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                ul = prev[x - bpp] if x >= bpp else 0
                line[x] = (line[x] + _paeth(left, prev[x], ul)) & 255
        prev = line
        rows.append(_to_rgba(bytes(line), ctype, palette, trns, w))
    return w, h, rows


def _to_rgba(line, ctype, palette, trns, w):
    if ctype == 6:
        return line
    out = bytearray()
    for x in range(w):
        if ctype == 2:
            out += line[3 * x:3 * x + 3] + b"\xff"
        elif ctype == 0:
            out += bytes((line[x],) * 3) + b"\xff"
        elif ctype == 4:
            out += bytes((line[2 * x],) * 3) + bytes((line[2 * x + 1],))
        else:
            k = line[x]
            a = trns[k] if trns and k < len(trns) else 255
            out += palette[3 * k:3 * k + 3] + bytes((a,))
    return bytes(out)


def pixel(image, x, y):
    w, h, rows = image
    return tuple(rows[y][4 * x:4 * x + 4])
