"""The weather glyphs every icon is built from: sun, moon, clouds, drops, flakes, bolts, hail,
fog bands, smoke, the sand letter and its arrows. Each takes a Canvas, design-unit
coordinates and a Style, so the 35 x 32 strip, the 78 x 78 condition icons and the program
icon share one drawing language and one palette.
"""

import math
from dataclasses import dataclass

from raster import Shape, hex_rgb as H


@dataclass
class Style:
    rim: float = 1.0  # outline width in final pixels
    sun: tuple = (H("FFD23F"), H("FFAE1A"))
    sun_rim: tuple = H("DB7E0B")
    ray: tuple = H("FFB923")
    moon: tuple = (H("FFE066"), H("F6C12E"))
    moon_rim: tuple = H("C58D10")
    cloud: tuple = (H("FFFFFF"), H("E1E9F2"))
    cloud_rim: tuple = H("7F95AE")
    dark_cloud: tuple = (H("C5CFDB"), H("99A8B9"))
    dark_cloud_rim: tuple = H("5D6F85")
    drop: tuple = (H("6EC0FA"), H("2F89DC"))
    drop_rim: tuple = H("1C5FA6")
    flake: tuple = H("4AA0EA")
    flake_rim: tuple = H("1F66B0")
    bolt: tuple = (H("B57AF0"), H("8A45CC"))
    bolt_rim: tuple = H("55278A")
    ice: tuple = (H("F2FAFF"), H("BFE2FA"))
    ice_rim: tuple = H("4D8FCC")
    crystal: tuple = (H("BFE6FF"), H("7CC4F6"), H("4FA8EE"))
    crystal_rim: tuple = H("236FBC")
    fog: tuple = (H("DDEEFB"), H("BCD9F1"))
    fog_rim: tuple = H("6F9BC8")
    sand: tuple = (H("EDCB86"), H("CF9E4E"))
    sand_rim: tuple = H("8E6425")
    arrow: tuple = (H("B3BAC2"), H("8D96A0"))
    arrow_rim: tuple = H("59626D")
    brick: tuple = (H("D0805C"), H("A85A3C"))
    brick_rim: tuple = H("6E3420")
    smoke: tuple = (H("D5D9DF"), H("A9B0BA"))
    smoke_rim: tuple = H("6F7782")
    dots: tuple = H("A4ABB3")
    dots_rim: tuple = H("646C76")
    star: tuple = H("FFF3B0")


def _grad(c, pair, y0, y1):
    return c.gradient(pair[0], pair[1], y0, y1)


def sun(c, st, cx, cy, r, rays=8, ray_in=1.3, ray_out=1.8, ray_width=None):
    if rays:
        s = Shape()
        w = ray_width if ray_width is not None else max(1.2, r * 0.28)
        for i in range(rays):
            a = math.pi * 2 * i / rays
            s.line([(cx + math.cos(a) * r * ray_in, cy + math.sin(a) * r * ray_in),
                    (cx + math.cos(a) * r * ray_out, cy + math.sin(a) * r * ray_out)], w)
        c.part(s, st.ray, st.sun_rim, st.rim)
    body = Shape().circle(cx, cy, r)
    c.part(body, _grad(c, st.sun, cy - r, cy + r), st.sun_rim, st.rim)


def moon(c, st, cx, cy, r, facing=(-1.0, -0.55), depth=0.62):
    """A crescent whose lit side faces away from the direction 'facing' points the cut to.
    facing is the unit-ish direction of the cut circle's centre."""
    fx, fy = facing
    n = math.hypot(fx, fy)
    fx, fy = fx / n, fy / n
    s = Shape().circle(cx, cy, r).circle(cx + fx * r * depth, cy + fy * r * depth, r * 0.86,
                                         cut=True)
    c.part(s, _grad(c, st.moon, cy - r, cy + r), st.moon_rim, st.rim)


def star(c, st, cx, cy, r):
    pts = []
    for i in range(8):
        a = math.pi / 4 * i - math.pi / 2
        rr = r if i % 2 == 0 else r * 0.38
        pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
    c.part(Shape().polygon(pts), st.star)


def cloud_shape(x, y, w, h):
    """A cloud filling the box (x, y, w, h): flat base, one big bump, two small."""
    s = Shape()
    base_top = y + h * 0.48
    s.rect(x, base_top, x + w, y + h, radius=(y + h - base_top) / 2)
    s.circle(x + w * 0.33, y + h * 0.56, h * 0.36)
    s.circle(x + w * 0.58, y + h * 0.45, h * 0.45)
    s.circle(x + w * 0.80, y + h * 0.66, h * 0.30)
    return s


def cloud(c, st, x, y, w, h, dark=False, tint=None):
    fill = st.dark_cloud if dark else st.cloud
    rim = st.dark_cloud_rim if dark else st.cloud_rim
    if tint is not None:
        fill, rim = tint
    c.part(cloud_shape(x, y, w, h), _grad(c, fill, y + h * 0.1, y + h), rim, st.rim)


def drop(c, st, cx, cy, size, slant=0.0):
    """A teardrop whose round end is centred below (cx, cy); size is its height."""
    r = size * 0.33
    bx, by = cx, cy + size * 0.5 - r
    tip = (cx + slant * size, cy - size * 0.5)
    s = Shape().circle(bx, by, r)
    # Tangent points of the tip on the round end.
    dx, dy = tip[0] - bx, tip[1] - by
    d = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    b = math.acos(min(1.0, r / d))
    p1 = (bx + r * math.cos(a + b), by + r * math.sin(a + b))
    p2 = (bx + r * math.cos(a - b), by + r * math.sin(a - b))
    s.polygon([tip, p1, (bx, by), p2])
    c.part(s, _grad(c, st.drop, cy - size * 0.5, cy + size * 0.5), st.drop_rim, st.rim)


def flake(c, st, cx, cy, r, width=None, branches=None, rimmed=True):
    w = width if width is not None else max(1.0, r * 0.26)
    s = Shape()
    with_branches = branches if branches is not None else r >= 6
    for i in range(3):
        a = math.pi / 2 + i * math.pi / 3
        dx, dy = math.cos(a) * r, math.sin(a) * r
        s.line([(cx - dx, cy - dy), (cx + dx, cy + dy)], w)
        if with_branches:
            for sign in (-1, 1):
                for k in (0.58,):
                    px, py = cx + sign * dx * k, cy + sign * dy * k
                    for turn in (-1, 1):
                        b = a + (0 if sign > 0 else math.pi) + turn * math.pi / 4
                        ln = r * 0.34
                        s.line([(px, py), (px + math.cos(b) * ln, py + math.sin(b) * ln)],
                               w * 0.85)
    if rimmed:
        c.part(s, st.flake, st.flake_rim, st.rim * 0.8)
    else:
        c.part(s, st.flake_rim)


def bolt(c, st, pts):
    c.part(Shape().polygon(pts), _grad(c, st.bolt, min(p[1] for p in pts),
                                       max(p[1] for p in pts)), st.bolt_rim, st.rim)


def hail(c, st, cx, cy, r):
    s = Shape().circle(cx, cy, r)
    c.part(s, _grad(c, st.ice, cy - r, cy + r), st.ice_rim, st.rim)


def crystal(c, st, cx, cy, r):
    """A hexagonal ice gem with alternating facets."""
    corners = [(cx + math.cos(math.pi / 3 * i + math.pi / 6) * r,
                cy + math.sin(math.pi / 3 * i + math.pi / 6) * r) for i in range(6)]
    whole = Shape().polygon(corners)
    c.part(whole, st.crystal[1], st.crystal_rim, st.rim)
    clip = c.coverage(whole)
    for i in range(6):
        tri = Shape().polygon([(cx, cy), corners[i], corners[(i + 1) % 6]])
        shade_index = (0, 1, 2, 2, 1, 0)[i]
        c.part(tri, st.crystal[(shade_index + 1) % 3], clip=clip)
    # The facet edges, drawn thin in the rim colour.
    edges = Shape()
    for p in corners:
        edges.line([(cx, cy), p], max(0.6, st.rim * 0.6))
    c.part(edges, st.crystal_rim + (150,), clip=clip)


def band(c, st, x0, x1, y, thickness, wave=0.0, waves=1.5, phase=0.0):
    pts = []
    steps = 24
    for i in range(steps + 1):
        t = i / steps
        x = x0 + (x1 - x0) * t
        pts.append((x, y + wave * math.sin(phase + t * waves * 2 * math.pi)))
    s = Shape().line(pts, thickness)
    c.part(s, _grad(c, st.fog, y - thickness / 2 - wave, y + thickness / 2 + wave), st.fog_rim,
           st.rim)


def letter_s(c, st, cx, cy, w, h, thickness):
    """A hand-built S: two stacked elliptic arcs joined through the middle."""
    rx, ry = w / 2 - thickness / 2, h / 4 - thickness / 4
    top_c = (cx, cy - ry)
    bot_c = (cx, cy + ry)
    pts = []
    for i in range(0, 21):
        a = math.radians(25 + (270 - 25) * i / 20)
        pts.append((top_c[0] + rx * math.cos(a), top_c[1] - ry * math.sin(a)))
    for i in range(1, 21):
        a = math.radians(90 - (90 + 155) * i / 20)
        pts.append((bot_c[0] + rx * math.cos(a), bot_c[1] - ry * math.sin(a)))
    s = Shape().line(pts, thickness)
    c.part(s, _grad(c, st.sand, cy - h / 2, cy + h / 2), st.sand_rim, st.rim)


def arrow(c, st, x0, y0, x1, y1, shaft, head):
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    bx, by = x1 - ux * head, y1 - uy * head
    s = Shape().line([(x0, y0), (bx + ux * 0.5, by + uy * 0.5)], shaft)
    s.polygon([(x1, y1), (bx - uy * head * 0.75, by + ux * head * 0.75),
               (bx + uy * head * 0.75, by - ux * head * 0.75)])
    c.part(s, _grad(c, st.arrow, min(y0, y1) - head, max(y0, y1) + head), st.arrow_rim, st.rim)


def chimney(c, st, x0, y0, x1, y1):
    body = Shape().rect(x0, y0 + (y1 - y0) * 0.12, x1, y1)
    cap = Shape().rect(x0 - (x1 - x0) * 0.18, y0, x1 + (x1 - x0) * 0.18,
                       y0 + (y1 - y0) * 0.16)
    c.part(body, _grad(c, st.brick, y0, y1), st.brick_rim, st.rim)
    clip = c.coverage(body)
    # Mortar lines give the column its brick texture.
    lines = Shape()
    rows = max(2, int((y1 - y0) / 4))
    for i in range(1, rows):
        y = y0 + (y1 - y0) * (0.12 + 0.88 * i / rows)
        lines.line([(x0, y), (x1, y)], max(0.5, st.rim * 0.5))
    c.part(lines, st.brick_rim + (110,), clip=clip)
    c.part(cap, _grad(c, st.brick, y0, y0 + (y1 - y0) * 0.16), st.brick_rim, st.rim)


def puffs(c, st, circles):
    s = Shape()
    for cx, cy, r in circles:
        s.circle(cx, cy, r)
    top = min(cy - r for cx, cy, r in circles)
    bottom = max(cy + r for cx, cy, r in circles)
    c.part(s, _grad(c, st.smoke, top, bottom), st.smoke_rim, st.rim)


def dot_ring(c, st, cx, cy, radius, count, dot, phase=0.0, colour=None):
    s = Shape()
    for i in range(count):
        a = phase + 2 * math.pi * i / count
        s.circle(cx + math.cos(a) * radius, cy + math.sin(a) * radius, dot)
    c.part(s, colour or st.dots, st.dots_rim, st.rim)
