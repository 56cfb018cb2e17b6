"""The 78 x 78 condition icons the portal simulator serves, day (NAME) and night (NAME_1).

They are shown at 80 x 80 on the today panel and at 40 x 40 on the forecast tiles, both
glossy blue, so every part carries a navy rim and the whole icon a soft shadow; the rain is
pale and the snow white for the same reason.
"""

import math

import weather as W
from raster import Canvas, Shape, hex_rgb as H

SIZE = 78

DAY = W.Style(
    rim=1.7,
    sun=(H("FFE066"), H("FFAA21")),
    sun_rim=H("B85F05"),
    ray=H("FFC933"),
    moon=(H("FFF09A"), H("F9CB3E")),
    moon_rim=H("A8750A"),
    cloud=(H("FFFFFF"), H("D9E5F1")),
    cloud_rim=H("3E6191"),
    dark_cloud=(H("C9D2DE"), H("8E9DB0")),
    dark_cloud_rim=H("39485E"),
    drop=(H("C6EBFF"), H("68BDF7")),
    drop_rim=H("1B4F8F"),
    flake=H("FFFFFF"),
    flake_rim=H("245C9E"),
    bolt=(H("FFEB6B"), H("FFB619")),
    bolt_rim=H("9A5A00"),
    ice=(H("FFFFFF"), H("CBE9FF")),
    ice_rim=H("245C9E"),
    fog=(H("F4F9FE"), H("CFE2F3")),
    fog_rim=H("3F6594"),
    sand=(H("F3D9A0"), H("D6A65A")),
    sand_rim=H("7C5220"),
    smoke=(H("E4E2DA"), H("B9B5A8")),
    smoke_rim=H("6A6556"),
    dots=H("E6C07A"),
    dots_rim=H("7C5220"),
    star=H("FFF3B0"),
)

# At night the clouds take a cool lavender cast and the fog a deeper blue.
NIGHT = W.Style(**{**DAY.__dict__,
                   "cloud": (H("EEF0FA"), H("BEC6DE")),
                   "cloud_rim": H("3A4A80"),
                   "dark_cloud": (H("B9BFD3"), H("7E87A3")),
                   "dark_cloud_rim": H("323A5A"),
                   "fog": (H("E6ECF8"), H("BCC9E4")),
                   "fog_rim": H("3A4A80")})

NAMES = ["qing", "duoyun", "yin", "xiaoyu", "zhongyu", "dayu", "baoyu", "zhenyu", "leizhenyu",
         "yujiaxue", "xiaoxue", "zhongxue", "daxue", "baoxue", "wu", "mai", "fuchen",
         "yangsha", "dongyu", "bingbao", "shachenbao"]

CLOUD = (9.0, 9.0, 60.0, 34.0)


def _canvas():
    return Canvas(SIZE, SIZE, ss=4)


def _moon_behind(c, st):
    W.moon(c, st, 58.0, 17.0, 13.5, facing=(-1.0, 0.8), depth=0.55)


def _drops(c, st, spots, size=13.0):
    for x, y in spots:
        W.drop(c, st, x, y, size, slant=-0.14)


def _flakes(c, st, spots, r=7.0):
    for x, y in spots:
        W.flake(c, st, x, y, r, width=2.6, branches=r >= 7)


def _cloud(c, st, dark=False, box=CLOUD):
    W.cloud(c, st, *box, dark=dark)


def sunny(c, st, night):
    if night:
        W.moon(c, st, 37.0, 40.0, 24.0, facing=(1.0, -0.55), depth=0.55)
        W.star(c, st, 60.0, 17.0, 6.5)
        W.star(c, st, 66.0, 42.0, 4.2)
        W.star(c, st, 47.0, 8.0, 3.2)
    else:
        W.sun(c, st, 39.0, 39.0, 16.5, rays=8, ray_in=1.38, ray_out=1.95, ray_width=5.2)


def _sun_or_moon(c, st, night, cx, cy, r):
    if night:
        W.moon(c, st, cx + 1, cy, r * 1.3, facing=(1.0, -0.6), depth=0.56)
    else:
        W.sun(c, st, cx, cy, r, rays=8, ray_in=1.4, ray_out=1.92, ray_width=r * 0.32)


def cloudy(c, st, night):
    _sun_or_moon(c, st, night, 28.0, 27.0, 13.5)
    W.cloud(c, st, 16.0, 33.0, 56.0, 31.0)


def overcast(c, st, night):
    if night:
        _moon_behind(c, st)
    W.cloud(c, st, 26.0, 14.0, 46.0, 27.0, dark=True)
    W.cloud(c, st, 6.0, 28.0, 58.0, 34.0)


def rain(spots, dark=False, size=13.0):
    def draw(c, st, night):
        if night:
            _moon_behind(c, st)
        _cloud(c, st, dark)
        _drops(c, st, spots, size)
    return draw


def shower(c, st, night):
    _sun_or_moon(c, st, night, 24.0, 22.0, 11.5)
    W.cloud(c, st, 14.0, 17.0, 56.0, 30.0)
    _drops(c, st, [(27.0, 60.0), (41.0, 64.0), (55.0, 60.0)], 13.0)


def thunder(c, st, night):
    if night:
        _moon_behind(c, st)
    _cloud(c, st, dark=True)
    _drops(c, st, [(18.0, 57.0), (60.0, 57.0)], 12.0)
    W.bolt(c, st, [(41.0, 33.0), (28.0, 55.0), (37.0, 55.0), (31.0, 74.0), (51.0, 47.0),
                   (42.0, 47.0), (49.0, 33.0)])


def sleet(c, st, night):
    if night:
        _moon_behind(c, st)
    _cloud(c, st)
    _drops(c, st, [(22.0, 57.0), (52.0, 66.0)], 13.0)
    W.flake(c, st, 37.0, 63.0, 7.5, width=2.6)
    W.flake(c, st, 58.0, 52.0, 5.0, width=2.2, branches=False)


def snow(spots, r=7.0, dark=False):
    def draw(c, st, night):
        if night:
            _moon_behind(c, st)
        _cloud(c, st, dark)
        _flakes(c, st, spots, r)
    return draw


def freezing_rain(c, st, night):
    if night:
        _moon_behind(c, st)
    _cloud(c, st)
    _drops(c, st, [(20.0, 56.0), (44.0, 56.0)], 12.0)
    # The drops freeze into slivers of ice on the ground line.
    ground = Shape().rect(12.0, 70.0, 66.0, 74.0, radius=2.0)
    c.part(ground, c.gradient(H("E8F6FF"), H("9FD2F5"), 70, 74), st.ice_rim, st.rim)
    for x in (24.0, 36.0, 48.0, 60.0):
        icicle = Shape().polygon([(x - 3.2, 70.5), (x + 3.2, 70.5), (x, 62.0)])
        c.part(icicle, c.gradient(H("F4FBFF"), H("A9D8F7"), 62, 71), st.ice_rim, st.rim)
    W.hail(c, st, 32.0, 59.0, 3.3)


def hail(c, st, night):
    if night:
        _moon_behind(c, st)
    _cloud(c, st, dark=True)
    for x, y, r in ((21.0, 56.0, 5.2), (39.0, 61.0, 5.6), (57.0, 55.0, 5.0), (29.0, 70.0, 4.0),
                    (49.0, 71.5, 4.2)):
        W.hail(c, st, x, y, r)


def fog(c, st, night):
    if night:
        _moon_behind(c, st)
    W.band(c, st, 12.0, 56.0, 22.0, 7.0, wave=0.0)
    W.band(c, st, 8.0, 70.0, 35.0, 7.0, wave=2.0, waves=1.5)
    W.band(c, st, 14.0, 66.0, 48.0, 7.0, wave=2.0, waves=1.5, phase=0.8)
    W.band(c, st, 20.0, 58.0, 61.0, 7.0, wave=0.0)


HAZE = W.Style(**{**DAY.__dict__, "fog": (H("F2EBD9"), H("D8C9A4")), "fog_rim": H("76683F"),
                  "sun": (H("FFD98A"), H("F3AF5B")), "sun_rim": H("A8652A")})


def haze(c, st, night):
    hz = W.Style(**{**HAZE.__dict__, "moon": st.moon, "moon_rim": st.moon_rim})
    if night:
        W.moon(c, hz, 40.0, 28.0, 19.0, facing=(1.0, -0.6), depth=0.56)
    else:
        W.sun(c, hz, 40.0, 29.0, 16.0, rays=0)
    W.band(c, hz, 10.0, 68.0, 41.0, 7.0, wave=1.8, waves=1.5)
    W.band(c, hz, 16.0, 62.0, 54.0, 7.0, wave=1.8, waves=1.5, phase=1.0)
    W.band(c, hz, 24.0, 54.0, 67.0, 6.5, wave=0.0)


def _gust(c, st, y, x0, x1, curl, thickness, rim_colour=None):
    """A wind line ending in a curl that turns up and back."""
    pts = [(x0, y)]
    steps = 16
    for i in range(1, steps + 1):
        pts.append((x0 + (x1 - x0) * i / steps, y))
    for i in range(1, 19):
        t = math.pi / 2 - math.pi * 1.3 * i / 18  # from the bottom of the curl, up and back
        pts.append((x1 + curl * math.cos(t), y - curl + curl * math.sin(t)))
    s = Shape().line(pts, thickness)
    c.part(s, c.gradient(st.sand[0], st.sand[1], y - 2 * curl, y + thickness),
           rim_colour or st.sand_rim, st.rim)


def dust(c, st, night):
    if night:
        _moon_behind(c, st)
    W.dot_ring(c, st, 37.0, 42.0, 25.0, 14, 3.1)
    W.dot_ring(c, st, 37.0, 42.0, 14.0, 9, 2.8, phase=0.35)
    W.dot_ring(c, st, 37.0, 42.0, 0.0, 1, 3.2)


def blowing_sand(c, st, night):
    if night:
        _moon_behind(c, st)
    _gust(c, st, 30.0, 8.0, 48.0, 8.0, 5.0)
    _gust(c, st, 47.0, 14.0, 60.0, 7.5, 5.0)
    _gust(c, st, 63.0, 6.0, 38.0, 6.0, 4.6)
    for x, y in ((62.0, 66.0), (54.0, 72.0), (68.0, 56.0)):
        c.part(Shape().circle(x, y, 2.4), st.dots, st.dots_rim, st.rim)


STORM = W.Style(**{**DAY.__dict__, "sand": (H("E3B979"), H("B07A3A")), "sand_rim": H("5F3A12")})


def sandstorm(c, st, night):
    ss = W.Style(**{**STORM.__dict__, "moon": st.moon, "moon_rim": st.moon_rim})
    if night:
        _moon_behind(c, ss)
    # A funnel of sand: stacked, narrowing, slightly drifting bars.
    rows = [(14.0, 62.0, 14.0), (19.0, 60.0, 24.0), (24.0, 55.0, 34.0), (27.0, 49.0, 44.0),
            (30.0, 44.0, 54.0), (32.0, 40.0, 64.0)]
    for x0, x1, y in rows:
        s = Shape().rect(x0, y - 3.6, x1, y + 3.6, radius=3.6)
        c.part(s, c.gradient(ss.sand[0], ss.sand[1], y - 3.6, y + 3.6), ss.sand_rim, ss.rim)
    _gust(c, ss, 72.0, 44.0, 66.0, 4.5, 4.0)
    for x, y in ((10.0, 40.0), (6.0, 56.0), (68.0, 34.0)):
        c.part(Shape().circle(x, y, 2.6), ss.dots, ss.dots_rim, ss.rim)


DRAW = {
    "qing": sunny,
    "duoyun": cloudy,
    "yin": overcast,
    "xiaoyu": rain([(28.0, 60.0), (49.0, 60.0)]),
    "zhongyu": rain([(22.0, 58.0), (39.0, 63.0), (56.0, 58.0)]),
    "dayu": rain([(16.0, 54.0), (31.0, 58.0), (46.0, 54.0), (61.0, 58.0), (24.0, 70.0),
                  (39.0, 73.0), (54.0, 70.0)], size=11.0),
    "baoyu": rain([(14.0, 53.0), (27.0, 56.0), (40.0, 53.0), (53.0, 56.0), (66.0, 53.0),
                   (20.0, 68.0), (33.0, 71.0), (46.0, 68.0), (59.0, 71.0)], dark=True,
                  size=10.5),
    "zhenyu": shower,
    "leizhenyu": thunder,
    "yujiaxue": sleet,
    "xiaoxue": snow([(28.0, 59.0), (50.0, 63.0)], 7.2),
    "zhongxue": snow([(20.0, 57.0), (39.0, 64.0), (58.0, 57.0)], 6.8),
    "daxue": snow([(17.0, 55.0), (33.0, 58.0), (49.0, 55.0), (64.0, 58.0), (25.0, 71.0),
                   (41.0, 72.0), (57.0, 71.0)], 5.6),
    "baoxue": snow([(14.0, 54.0), (27.0, 57.0), (40.0, 54.0), (53.0, 57.0), (66.0, 54.0),
                    (20.0, 69.0), (33.0, 72.0), (46.0, 69.0), (59.0, 72.0)], 5.0, dark=True),
    "wu": fog,
    "mai": haze,
    "fuchen": dust,
    "yangsha": blowing_sand,
    "dongyu": freezing_rain,
    "bingbao": hail,
    "shachenbao": sandstorm,
}


def icon(name, night):
    c = _canvas()
    DRAW[name](c, NIGHT if night else DAY, night)
    c.shadow(offset=(0, 2), blur=2.2, colour=(8, 30, 70), strength=0.45)
    return c.image


def build():
    out = {}
    for name in NAMES:
        out[name] = icon(name, False)
        out[name + "_1"] = icon(name, True)
    assert len(out) == 42
    return out
