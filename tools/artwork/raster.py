"""Supersampled vector drawing on top of Pillow.

A Shape is a list of primitives in design units. It is rendered into a high-resolution
8-bit mask, optionally grown by a distance given in final pixels (the Minkowski sum with a
disc, so an outline is the same shape grown by the outline width), and box-filtered down
to the final size. A Canvas composes such masks with colours or gradients, bottom layer
first, the way a flat icon is stacked: each part brings its own darker rim.
"""

import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

WQY = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
UMING = "/usr/share/fonts/truetype/arphic/uming.ttc"
# Face indexes inside the collections: the "Sharp" face of Zen Hei carries hand-tuned
# bitmaps for 12 to 16 pixels, which stay crisp where outlines would blur.
WQY_OUTLINE = 0
WQY_SHARP = 2
UMING_CN = 0


def font(path, size, index=0):
    return ImageFont.truetype(path, size, index=index)


def hex_rgb(value):
    value = value.lstrip("#")
    return tuple(int(value[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    """Linear blend of two RGB(A) tuples, t = 0 gives a."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vertical_gradient(size, stops):
    """stops: list of (position 0..1, rgb). Returns an RGB image."""
    w, h = size
    column = Image.new("RGB", (1, h))
    px = column.load()
    for y in range(h):
        t = (y + 0.5) / h
        px[0, y] = _sample(stops, t)
    return column.resize((w, h), Image.NEAREST)


def horizontal_gradient(size, stops):
    w, h = size
    row = Image.new("RGB", (w, 1))
    px = row.load()
    for x in range(w):
        t = (x + 0.5) / w
        px[x, 0] = _sample(stops, t)
    return row.resize((w, h), Image.NEAREST)


def _sample(stops, t):
    if t <= stops[0][0]:
        return tuple(stops[0][1])
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            u = 0.0 if p1 == p0 else (t - p0) / (p1 - p0)
            return mix(c0, c1, u)
    return tuple(stops[-1][1])


class Shape:
    """Primitives in design units; 'add' paints, 'cut' erases what came before."""

    def __init__(self):
        self.ops = []

    def circle(self, cx, cy, r, cut=False):
        self.ops.append(("ellipse", cut, (cx - r, cy - r, cx + r, cy + r)))
        return self

    def ellipse(self, x0, y0, x1, y1, cut=False):
        self.ops.append(("ellipse", cut, (x0, y0, x1, y1)))
        return self

    def rect(self, x0, y0, x1, y1, radius=0.0, cut=False):
        self.ops.append(("rect", cut, (x0, y0, x1, y1, radius)))
        return self

    def polygon(self, points, cut=False):
        self.ops.append(("polygon", cut, tuple(points)))
        return self

    def line(self, points, width, cut=False):
        """A polyline with round caps and joins."""
        self.ops.append(("line", cut, (tuple(points), width)))
        return self

    def extend(self, other):
        self.ops.extend(other.ops)
        return self


class Canvas:
    """An RGBA picture of w x h final pixels. Design units map to pixels by (sx, sy), so a
    picture that is later stretched unevenly can be drawn pre-compensated."""

    def __init__(self, w, h, ss=8, sx=1.0, sy=1.0, ox=0.0, oy=0.0):
        self.w, self.h, self.ss = w, h, ss
        self.sx, self.sy, self.ox, self.oy = sx, sy, ox, oy
        self.image = Image.new("RGBA", (w, h), (0, 0, 0, 0))

    # --- masks -----------------------------------------------------------------------
    def _map(self, x, y):
        return ((x * self.sx + self.ox) * self.ss, (y * self.sy + self.oy) * self.ss)

    def render(self, shape, grow=0.0):
        """Hi-res mask of shape grown by grow final pixels (negative shrinks)."""
        big = Image.new("L", (self.w * self.ss, self.h * self.ss), 0)
        d = ImageDraw.Draw(big)
        g0 = grow * self.ss
        for kind, cut, args in shape.ops:
            g = -g0 if cut else g0
            ink = 0 if cut else 255
            if kind == "ellipse":
                x0, y0 = self._map(args[0], args[1])
                x1, y1 = self._map(args[2], args[3])
                box = [x0 - g, y0 - g, x1 + g, y1 + g]
                if box[2] > box[0] and box[3] > box[1]:
                    d.ellipse(box, fill=ink)
            elif kind == "rect":
                x0, y0 = self._map(args[0], args[1])
                x1, y1 = self._map(args[2], args[3])
                r = args[4] * self.ss * min(self.sx, self.sy) + g
                box = [x0 - g, y0 - g, x1 + g, y1 + g]
                if box[2] > box[0] and box[3] > box[1]:
                    if r > 0.5:
                        d.rounded_rectangle(box, radius=r, fill=ink)
                    else:
                        d.rectangle(box, fill=ink)
            elif kind == "polygon":
                pts = [self._map(x, y) for x, y in args]
                if g >= 0:
                    d.polygon(pts, fill=ink)
                    if g > 0:
                        _stroke(d, pts + pts[:1], 2 * g, ink)
                else:
                    # Shrinking a polygon: paint it, then erase a band along its edges.
                    tmp = Image.new("L", big.size, 0)
                    td = ImageDraw.Draw(tmp)
                    td.polygon(pts, fill=255)
                    _stroke(td, pts + pts[:1], -2 * g, 0)
                    if ink:
                        big.paste(255, mask=tmp)
                    else:
                        big.paste(0, mask=tmp)
                    d = ImageDraw.Draw(big)
            elif kind == "line":
                pts = [self._map(x, y) for x, y in args[0]]
                width = args[1] * self.ss * (self.sx + self.sy) / 2 + 2 * g
                if width > 0:
                    _stroke(d, pts, width, ink)
        return big

    def down(self, big):
        return big.resize((self.w, self.h), Image.BOX)

    def coverage(self, shape, grow=0.0):
        return self.down(self.render(shape, grow))

    # --- painting --------------------------------------------------------------------
    def fill(self, alpha, paint):
        """Composite paint (an rgb/rgba tuple or an RGB(A) image of the canvas size) through
        the final-size mask alpha."""
        if isinstance(paint, tuple):
            layer = Image.new("RGBA", (self.w, self.h), paint[:3] + (255,))
            if len(paint) == 4:
                alpha = alpha.point(lambda v, k=paint[3]: v * k // 255)
        else:
            layer = paint.convert("RGBA")
            if paint.mode == "RGBA":
                alpha = ImageChops.multiply(alpha, paint.getchannel("A"))
        layer.putalpha(alpha)
        self.image = Image.alpha_composite(self.image, layer)

    def part(self, shape, paint, rim=None, rim_width=1.0, clip=None):
        """Paint a shape with an optional darker rim around it. clip limits it to another
        final-size mask (for shading inside an earlier part)."""
        if rim is not None:
            a = self.coverage(shape, rim_width)
            if clip is not None:
                a = ImageChops.multiply(a, clip)
            self.fill(a, rim)
        a = self.coverage(shape)
        if clip is not None:
            a = ImageChops.multiply(a, clip)
        self.fill(a, paint)
        return a

    def gradient(self, top, bottom, y0, y1):
        """A vertical gradient image spanning design rows y0..y1."""
        img = Image.new("RGB", (1, self.h))
        px = img.load()
        a = y0 * self.sy + self.oy
        b = y1 * self.sy + self.oy
        for y in range(self.h):
            t = 0.0 if b == a else (y + 0.5 - a) / (b - a)
            px[0, y] = mix(top, bottom, min(1.0, max(0.0, t)))
        return img.resize((self.w, self.h), Image.NEAREST)

    def shadow(self, offset=(0, 1.5), blur=1.5, colour=(10, 40, 90), strength=0.35):
        """Soft drop shadow under everything drawn so far."""
        a = self.image.getchannel("A")
        a = a.filter(ImageFilter.GaussianBlur(blur))
        a = a.point(lambda v: int(v * strength))
        shadow = Image.new("RGBA", (self.w, self.h), colour + (0,))
        shadow.putalpha(a)
        moved = Image.new("RGBA", (self.w, self.h), (0, 0, 0, 0))
        moved.paste(shadow, (int(round(offset[0])), int(round(offset[1]))))
        self.image = Image.alpha_composite(moved, self.image)


def _stroke(d, pts, width, ink):
    if len(pts) == 1:
        pts = pts * 2
    r = width / 2
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        if length > 0:
            nx, ny = -dy / length * r, dx / length * r
            d.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                       (x0 - nx, y0 - ny)], fill=ink)
    for x, y in pts:
        d.ellipse([x - r, y - r, x + r, y + r], fill=ink)


def text_mask(size, text, fnt, xy, bold=False, anchor="la"):
    """An L mask of text drawn at final size (hinted, crisp); bold doubles the strokes one
    pixel to the right, as screen fonts are emboldened."""
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    d.text(xy, text, font=fnt, fill=255, anchor=anchor)
    if bold:
        d.text((xy[0] + 1, xy[1]), text, font=fnt, fill=255, anchor=anchor)
    return m


def paint_mask(image, mask, colour):
    """Paint colour onto an RGB/RGBA image through mask, in place."""
    layer = Image.new(image.mode, image.size, colour if image.mode == "RGB" else colour + (255,))
    image.paste(layer, (0, 0), mask)
