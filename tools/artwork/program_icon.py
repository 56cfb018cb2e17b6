"""The program icon: a window onto a clear sky, the sun half behind a cloud, framed in the
program's blues. Each size is drawn for itself (small sizes drop the window bars and grow
the sun and cloud), and the ICO container is written here because it mixes PNG and DIB
entries.
"""

import io
import struct

from PIL import Image, ImageChops

import weather as W
from raster import Canvas, Shape, hex_rgb as H

LINUX_SIZES = (16, 32, 48, 64, 128, 256)
DIB_SIZES = (64, 48, 32, 24, 16)

STYLE = W.Style(
    sun=(H("FFE066"), H("FFA91F")),
    sun_rim=H("D47908"),
    ray=H("FFC22E"),
    cloud=(H("FFFFFF"), H("DCE7F3")),
    cloud_rim=H("4F6F99"),
)


def draw(size, flat=False):
    """The icon at size x size; design units are 1/256 of the side."""
    k = size / 256.0
    c = Canvas(size, size, ss=8 if size <= 64 else 4, sx=k, sy=k)
    small = size <= 32
    rim = max(1.0, size / 64.0)
    st = W.Style(**{**STYLE.__dict__, "rim": rim})
    m = 10 if small else 16
    frame = Shape().rect(m, m, 256 - m, 256 - m, radius=48)
    frame_paint = H("2A6FBD") if flat else c.gradient(H("4A95DF"), H("1D5AA3"), m, 256 - m)
    c.part(frame, frame_paint, H("163F75"), rim)
    p = 34 if small else 42
    pane = Shape().rect(p, p, 256 - p, 256 - p, radius=26)
    sky = H("8CCBF6") if flat else c.gradient(H("6BB8F2"), H("D9F0FD"), p, 256 - p)
    pane_mask = c.part(pane, sky, H("184A86"), rim * 0.8)
    if small:
        sun_at, sun_r, cloud_box = (160, 100), 48, (40, 112, 186, 112)
    else:
        sun_at, sun_r, cloud_box = (162, 98), 36, (50, 118, 160, 86)
    # Sun, bars and cloud are clipped to the pane: the window shows the sky, not more.
    sub = Canvas(size, size, ss=c.ss, sx=k, sy=k)
    W.sun(sub, st, sun_at[0], sun_at[1], sun_r, rays=0 if small else 8, ray_in=1.4,
          ray_out=1.95, ray_width=sun_r * 0.3)
    if not small:
        bars = Shape().rect(124, p, 132, 256 - p).rect(p, 124, 256 - p, 132)
        sub.part(bars, H("2A6FBD") if flat else H("2E75C2"), H("1D5AA3"), rim * 0.6)
    W.cloud(sub, st, *cloud_box)
    clipped = sub.image.copy()
    clipped.putalpha(ImageChops.multiply(sub.image.getchannel("A"), pane_mask))
    c.image = Image.alpha_composite(c.image, clipped)
    if not flat and not small:
        gloss = Shape().polygon([(p, p), (256 - p, p), (p, 150)])
        g = c.coverage(gloss)
        g = ImageChops.multiply(g, pane_mask).point(lambda v: v * 55 // 255)
        c.fill(g, (255, 255, 255))
    return c.image


def _png(image):
    out = io.BytesIO()
    image.save(out, "PNG", optimize=True)
    return out.getvalue()


def _dib(image):
    """A 32-bit icon DIB: header with doubled height, BGRA rows bottom-up, then the AND mask."""
    w, h = image.size
    px = image.load()
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x >> 3] |= 0x80 >> (x & 7)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0,
                         0, 0)
    return header + bytes(colour) + bytes(mask)


def ico(entries):
    """entries: list of (size, bytes) in directory order."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    body = bytearray()
    for size, data in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return bytes(out + body)


def build():
    pngs = {size: draw(size) for size in LINUX_SIZES}
    entries = [(256, _png(pngs[256])), (256, _png(draw(256, flat=True)))]
    for size in DIB_SIZES:
        entries.append((size, _dib(pngs[size] if size in pngs else draw(size))))
    return ico(entries), pngs
