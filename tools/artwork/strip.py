"""The 54 small condition icons of the nearby rows and their serialised image list.

Each icon is drawn in a 32 x 32 design square mapped onto the 35 x 32 cell: the program
stretches every cell to 25 x 25, so circles drawn 35/32 wide come out round on screen.
Edges are resolved against white, because the cell has a one-bit mask and the rows are
always drawn on white.
"""

import struct

from PIL import Image

import weather as W
from raster import Canvas, Shape, hex_rgb

CELL_W, CELL_H = 35, 32
COLUMNS, ROWS = 4, 14
COUNT, ROOM = 54, 56
# Below this coverage a pixel is left to the mask; above it, it is flattened onto white.
OPAQUE_FROM = 40

STYLE = W.Style(rim=1.0)


def _canvas():
    return Canvas(CELL_W, CELL_H, ss=8, sx=CELL_W / 32.0, sy=1.0)


# --- scenes ------------------------------------------------------------------------------


def _moon_behind(c, st):
    # Peeks out above and right of whatever the day picture holds; its lit edge faces out.
    W.moon(c, st, 25.2, 7.0, 6.4, facing=(-1.0, 0.75), depth=0.55)


def _cloud_top(c, st, dark=False):
    W.cloud(c, st, 2.5, 3.0, 26.0, 15.0, dark=dark)


def _drops(c, st, spots, size=5.6):
    for x, y in spots:
        W.drop(c, st, x, y, size, slant=-0.12)


def _flakes(c, st, spots, r=3.6):
    # At this size a rim would fill the gaps between the arms: plain strokes read better.
    for x, y in spots:
        W.flake(c, st, x, y, r, width=1.2, branches=False, rimmed=False)


TWO = [(12.0, 24.5), (20.5, 24.5)]
THREE = [(8.5, 24.0), (16.0, 26.0), (23.5, 24.0)]
FOUR = [(6.5, 23.5), (12.8, 26.0), (19.1, 23.5), (25.4, 26.0)]
FIVE = [(7.5, 22.5), (16.0, 22.5), (24.5, 22.5), (11.8, 28.0), (20.2, 28.0)]
MORE = [(5.8, 22.5), (12.5, 22.5), (19.2, 22.5), (25.9, 22.5),
        (9.2, 28.2), (15.9, 28.2), (22.6, 28.2)]
TWO_ROWS = [(7.0, 22.3), (13.0, 22.3), (19.0, 22.3), (25.0, 22.3),
            (7.0, 28.3), (13.0, 28.3), (19.0, 28.3), (25.0, 28.3)]


def rain(spots, dark=False, size=5.6):
    def draw(c, st):
        _cloud_top(c, st, dark)
        _drops(c, st, spots, size)
    return draw


def thunder(c, st):
    _cloud_top(c, st, dark=True)
    _drops(c, st, [(6.5, 24.0), (25.5, 24.0)], 5.2)
    W.bolt(c, st, [(17.5, 14.0), (11.0, 23.5), (15.4, 23.5), (12.6, 31.0), (21.5, 20.0),
                   (16.9, 20.0), (20.6, 14.0)])


def sun(c, st):
    W.sun(c, st, 16.0, 16.0, 7.2, rays=8, ray_in=1.42, ray_out=1.95, ray_width=2.2)


def moon(c, st):
    W.moon(c, st, 16.5, 15.5, 11.5, facing=(1.0, -0.55), depth=0.55)


def sun_cloud(c, st):
    W.sun(c, st, 12.5, 12.5, 6.0, rays=8, ray_in=1.45, ray_out=1.85, ray_width=1.9)
    W.cloud(c, st, 8.0, 13.5, 22.5, 15.0)


def moon_cloud(c, st):
    W.moon(c, st, 12.0, 11.5, 9.0, facing=(1.0, -0.6), depth=0.56)
    W.cloud(c, st, 8.0, 13.5, 22.5, 15.0)


def cloud_only(c, st):
    W.cloud(c, st, 2.0, 8.0, 28.0, 17.0)


def sun_rain(c, st):
    W.sun(c, st, 10.0, 9.0, 4.8, rays=8, ray_in=1.45, ray_out=1.85, ray_width=1.6)
    W.cloud(c, st, 6.0, 7.0, 23.5, 13.5)
    _drops(c, st, [(10.5, 25.0), (17.5, 26.5), (24.5, 25.0)], 5.4)


def moon_rain(c, st):
    W.moon(c, st, 10.5, 8.5, 7.4, facing=(1.0, -0.6), depth=0.56)
    W.cloud(c, st, 6.0, 7.0, 23.5, 13.5)
    _drops(c, st, [(10.5, 25.0), (17.5, 26.5), (24.5, 25.0)], 5.4)


def sleet(c, st):
    _cloud_top(c, st)
    _drops(c, st, [(10.5, 24.5)], 6.2)
    W.flake(c, st, 21.5, 25.0, 4.3, width=1.25, branches=False)


def hail(c, st):
    _cloud_top(c, st)
    _drops(c, st, [(7.0, 23.5), (20.0, 23.5)], 5.0)
    W.hail(c, st, 13.5, 26.5, 2.6)
    W.hail(c, st, 26.0, 26.0, 2.6)
    W.hail(c, st, 7.5, 29.3, 1.6)


def crystal(c, st):
    W.crystal(c, st, 16.0, 16.5, 12.0)


def frost(c, st):
    W.flake(c, st, 16.0, 11.5, 8.3, width=1.5, branches=True)
    tray = [(4.0, 23.0), (28.0, 23.0), (25.0, 29.0), (7.0, 29.0)]
    c.part(Shape().polygon(tray), c.gradient(hex_rgb("8FCBF7"), hex_rgb("3F93DE"), 23, 29),
           st.crystal_rim, st.rim)


def bands(count):
    def draw(c, st):
        if count == 1:
            W.band(c, st, 5.0, 27.0, 16.5, 4.6)
            return
        ys = {2: (12.0, 21.0), 3: (8.5, 16.5, 24.5)}[count]
        thickness = {2: 3.8, 3: 3.2}[count]
        for i, y in enumerate(ys):
            inset = 1.5 if i % 2 else 0.0
            W.band(c, st, 4.5 + inset, 27.5 - inset, y, thickness, wave=1.1, waves=1.5,
                   phase=0.6 * i)
    return draw


def smoke(c, st):
    W.chimney(c, st, 6.0, 17.0, 12.5, 30.0)
    W.puffs(c, st, [(11.5, 12.5, 3.0), (16.5, 9.3, 3.6), (22.5, 7.8, 4.0), (27.4, 10.8, 2.9)])


def sand(arrow=None):
    def draw(c, st):
        W.letter_s(c, st, 15.5, 16.0, 15.0, 25.0, 4.2)
        if arrow == "short":
            W.arrow(c, st, 9.0, 16.0, 25.0, 16.0, 2.2, 4.6)
        elif arrow == "long":
            W.arrow(c, st, 2.5, 16.0, 30.5, 16.0, 2.2, 4.6)
        elif arrow == "up":
            W.arrow(c, st, 16.0, 30.0, 16.0, 2.0, 2.2, 4.6)
    return draw


def dust(c, st):
    W.dot_ring(c, st, 16.0, 16.0, 12.0, 12, 1.55)
    W.dot_ring(c, st, 16.0, 16.0, 6.3, 7, 1.45, phase=0.4)


def snow(spots, r=3.6):
    def draw(c, st):
        _cloud_top(c, st)
        _flakes(c, st, spots, r)
    return draw


def nightly(day):
    def draw(c, st):
        _moon_behind(c, st)
        day(c, st)
    return draw


def _table():
    pairs = [
        (sun, moon),
        (sun_cloud, moon_cloud),
        (cloud_only, None),
        (rain(TWO), None),
        (rain(THREE), None),
        (rain(FOUR), None),
        (rain(FIVE, dark=True, size=5.2), None),
        (rain(MORE, dark=True, size=4.8), None),
        (rain(TWO_ROWS, size=4.6), None),
        (thunder, None),
        (sun_rain, moon_rain),
        (sleet, None),
        (hail, None),
        (crystal, None),
        (frost, None),
        (bands(1), None),
        (bands(2), None),
        (bands(3), None),
        (smoke, None),
        (sand("short"), None),
        (sand("long"), None),
        (sand(), None),
    ]
    icons = []
    for day, night in pairs:
        icons.append(day)
        icons.append(night or nightly(day))
    icons.append(sand("up"))
    for day in (snow([(16.0, 25.0)], 4.8),
                snow([(10.5, 24.5), (21.5, 25.5)], 4.3),
                snow([(7.5, 24.0), (16.0, 26.5), (24.5, 24.0)], 3.8),
                snow([(6.5, 22.6), (16.0, 22.6), (25.5, 22.6), (11.2, 28.2), (20.8, 28.2)],
                     3.0)):
        icons.append(day)
        icons.append(nightly(day))
    icons.append(dust)
    assert len(icons) == COUNT, len(icons)
    return icons


ICONS = _table()


def icon_rgba(index):
    c = _canvas()
    ICONS[index](c, STYLE)
    return c.image


def cell(index):
    """The icon as the strip holds it: RGB resolved on white, and a transparency mask
    (255 = transparent)."""
    rgba = icon_rgba(index)
    alpha = rgba.getchannel("A")
    white = Image.new("RGBA", rgba.size, (255, 255, 255, 255))
    rgb = Image.alpha_composite(white, rgba).convert("RGB")
    clear = alpha.point(lambda v: 255 if v < OPAQUE_FROM else 0)
    rgb.paste((255, 255, 255), (0, 0), clear)
    return rgb, clear


def sheet():
    """The 140 x 448 colour picture and its mask, cells 54 and 55 opaque black."""
    colour = Image.new("RGB", (CELL_W * COLUMNS, CELL_H * ROWS), (0, 0, 0))
    mask = Image.new("L", colour.size, 0)
    for i in range(COUNT):
        rgb, clear = cell(i)
        at = ((i % COLUMNS) * CELL_W, (i // COLUMNS) * CELL_H)
        colour.paste(rgb, at)
        mask.paste(clear, at)
    return colour, mask


def _bmp_header(width, height, bpp, image_size, file_size_field, offset):
    return (b"BM" + struct.pack("<IHHI", file_size_field, 0, 0, offset) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size, 0, 0, 0, 0))


def serialise(colour, mask):
    w, h = colour.size
    px = colour.load()
    rows = []
    for y in range(h - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r, 0))
        rows.append(bytes(row))
    colour_bits = b"".join(rows)
    mpx = mask.load()
    stride = ((w + 31) // 32) * 4
    mrows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if mpx[x, y]:
                row[x >> 3] |= 0x80 >> (x & 7)
        mrows.append(bytes(row))
    mask_bits = b"".join(mrows)

    out = bytearray(b"MITL" + struct.pack("<I", 0xFF000000))
    out += b"IL" + struct.pack("<HHHHHHIH", 0x0101, COUNT, ROOM, 4, CELL_W, CELL_H, 0x00FFFFFF,
                               0x0021)
    out += struct.pack("<hhhh", -1, -1, -1, -1)
    out += _bmp_header(w, h, 32, len(colour_bits), 54, 54) + colour_bits
    out += _bmp_header(w, h, 1, len(mask_bits), 62, 62)
    out += bytes((0, 0, 0, 0, 255, 255, 255, 0)) + mask_bits
    assert len(out) == 259992, len(out)
    return bytes(out)


def build():
    colour, mask = sheet()
    return serialise(colour, mask), colour, mask
