"""The pictures of the main window's form: backgrounds, panels, heading strips and buttons.

Sizes and formats are those the form expects. Where a picture is shown clipped, stretched or
over another one, it is drawn for how it is seen: texts that the program writes on a
picture land on plain areas, and corners that stand over another picture take that
picture's colour there.
"""

import io
import math
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import palette as P
import weather as W
from raster import (Canvas, Shape, WQY, WQY_SHARP, font, hex_rgb as H, horizontal_gradient,
                    paint_mask, text_mask, vertical_gradient)

CLIENT = (698, 489)
BANNER_SHOWN = (800, 48)


def _gif(image):
    # Gradients here use fewer than 256 colours, so an exact palette without dithering keeps
    # them smooth and the output stable.
    return (image.convert("RGB").quantize(colors=256, method=Image.Quantize.MEDIANCUT,
                                          dither=Image.Dither.NONE), "GIF", {})


def _jpeg(image, quality=93):
    return (image.convert("RGB"), "JPEG", {"quality": quality, "subsampling": 0})


def _jpeg_keyed(image, outside, key=None):
    """A JPEG whose pixels under the mask outside decode to exactly key, the colour a picture
    button leaves out (None: whatever the top-left pixel decodes to). JPEG rounding rarely
    keeps a corner exact, so the pixels around the corners are nudged by a few levels,
    deterministically, until every one decodes exact."""
    options = {"quality": 100, "subsampling": 0}
    mask = outside.load()
    w, h = image.size
    keyed = [(x, y) for y in range(h) for x in range(w) if mask[x, y]]
    # White decodes exact by clipping, so white corners stay white and only their
    # neighbours move; a colour needs its own pixels nudged as well.
    movable = (lambda x, y: not mask[x, y]) if key == P.WHITE else (lambda x, y: True)
    near = sorted({(x + dx, y + dy) for x, y in keyed for dx in range(-2, 3)
                   for dy in range(-2, 3)
                   if 0 <= x + dx < w and 0 <= y + dy < h and movable(x + dx, y + dy)})

    def misses(candidate):
        out = io.BytesIO()
        candidate.save(out, "JPEG", **options)
        decoded = Image.open(io.BytesIO(out.getvalue())).convert("RGB").load()
        target = key if key is not None else decoded[0, 0]
        return sum(1 for p in keyed if decoded[p] != target)

    rng = random.Random(7)
    best = image.convert("RGB")
    best_misses = misses(best)
    for _ in range(5000):
        if best_misses == 0:
            break
        candidate = best.copy()
        px = candidate.load()
        for _ in range(3):
            p = near[rng.randrange(len(near))]
            px[p] = tuple(max(0, min(255, v + rng.randint(-4, 4))) for v in px[p])
        m = misses(candidate)
        if m <= best_misses:
            best, best_misses = candidate, m
    assert best_misses == 0, "no exact JPEG corners found (%d left)" % best_misses
    return (best, "JPEG", options)


def _rounded(size, box, radius):
    m = Image.new("L", (size[0] * 4, size[1] * 4), 0)
    ImageDraw.Draw(m).rounded_rectangle([v * 4 for v in box], radius=radius * 4, fill=255)
    return m.resize(size, Image.BOX)


def _composite(base, paint, mask):
    if isinstance(paint, tuple):
        paint = Image.new("RGB", base.size, paint)
    base.paste(paint, (0, 0), mask)


def _text(base, xy, text, fnt, colour, bold=False, shadow=None, anchor="la"):
    if shadow is not None:
        m = text_mask(base.size, text, fnt, (xy[0], xy[1] + 1), bold, anchor)
        paint_mask(base, m, shadow)
    paint_mask(base, text_mask(base.size, text, fnt, xy, bold, anchor), colour)


def _sharp(size):
    return font(WQY, size, WQY_SHARP)


def window_background():
    return vertical_gradient((690, 668), P.WINDOW)


def window_colour_at(client_y):
    """The colour the stretched window background shows at a client row."""
    bg = window_background()
    return bg.getpixel((345, min(667, int(client_y * 668 / CLIENT[1]))))


def banner():
    w, h = 326, 107
    # Only the left 698/800 of the stretched banner shows, so the fade completes by then.
    across = horizontal_gradient((w, h), [(0.0, P.WHITE), (0.30, H("FBFDFF")),
                                          (0.86, H("CFE4F8")), (1.0, H("C6DFF6"))])
    down = vertical_gradient((w, h), [(0.0, (255, 255, 255)), (0.55, (255, 255, 255)),
                                      (1.0, H("E4F0FB"))])
    img = ImageChops.multiply(across, down)
    d = ImageDraw.Draw(img)
    # A rule along the bottom (about one pixel once squeezed to 48 rows) parts the banner
    # from the title bar and the panels.
    d.rectangle([0, h - 3, w, h - 1], fill=H("9DC6EC"))
    d.rectangle([0, h - 5, w, h - 4], fill=H("C4DDF4"))
    return img


def banner_shown():
    return banner().resize(BANNER_SHOWN, Image.BILINEAR)


def search_frame():
    w, h = 280, 36
    img = banner_shown().crop((8, 8, 8 + w, 8 + h))
    _composite(img, H("7FB2E3"), _rounded((w, h), (0, 0, w, h), 4))
    _composite(img, H("D5E8F9"), _rounded((w, h), (1, 1, w - 1, h - 1), 3))
    _composite(img, P.WHITE, _rounded((w, h), (2, 2, w - 2, h - 2), 2))
    return img


def button_search():
    w, h = 96, 36
    img = Image.new("RGB", (w, h), P.WHITE)
    body = (0, 0, w, h)
    _composite(img, P.ORANGE_RIM, _rounded((w, h), body, 6))
    fill = vertical_gradient((w, h), [(0.0, P.ORANGE_TOP), (0.48, H("FFA53D")),
                                      (0.52, P.ORANGE), (1.0, P.ORANGE_LOW)])
    _composite(img, fill, _rounded((w, h), (1, 1, w - 1, h - 1), 5))
    # The gloss: a paler upper half with a bright first line.
    gloss = _rounded((w, h), (2, 2, w - 2, h / 2), 4).point(lambda v: v * 60 // 255)
    _composite(img, P.WHITE, gloss)
    _composite(img, H("FFD9A3"), _rounded((w, h), (4, 1, w - 4, 2), 1))
    # Magnifying glass: a ring and a handle.
    c = Canvas(w, h, ss=8)
    lens = Shape().circle(21.0, 16.0, 7.2).circle(21.0, 16.0, 4.4, cut=True)
    handle = Shape().line([(26.2, 21.2), (31.0, 26.0)], 3.4)
    c.part(handle, H("B9560A") + (140,))
    c.part(lens.extend(handle), P.WHITE)
    shadow = c.image.getchannel("A").filter(ImageFilter.GaussianBlur(0.8))
    _composite(img, H("B9560A"), Image.eval(shadow, lambda v: v * 90 // 255).transform(
        (w, h), Image.AFFINE, (1, 0, 0, 0, 1, -1)))
    img.paste(c.image.convert("RGB"), (0, 0), c.image)
    _text(img, (40, 10), "搜索", _sharp(16), P.WHITE, bold=True, shadow=H("C0600C"))
    # Pure white outside the rounded body: white is the button's transparent colour.
    outside = _rounded((w, h), body, 6).point(lambda v: 255 if v < 8 else 0)
    _composite(img, P.WHITE, outside)
    return img, outside


def add_key_colour():
    shown = banner_shown()
    return shown.getpixel((550, 20))


def button_add():
    w, h = 76, 24
    key = add_key_colour()
    img = Image.new("RGB", (w, h), key)
    chip = (0, 0, 75, 24)
    _composite(img, H("93BFE8"), _rounded((w, h), chip, 4))
    fill = vertical_gradient((w, h), [(0.0, P.WHITE), (1.0, H("E3EFFB"))])
    _composite(img, fill, _rounded((w, h), (1, 1, 74, 23), 3))
    c = Canvas(w, h, ss=8)
    badge = Shape().circle(11.5, 12.0, 7.0)
    c.part(badge, c.gradient(H("6CC46F"), P.GREEN_LOW, 5, 19), P.GREEN_RIM, 0.8)
    plus = Shape().rect(10.6, 7.8, 12.4, 16.2).rect(7.3, 11.1, 15.7, 12.9)
    c.part(plus, P.WHITE)
    img.paste(c.image.convert("RGB"), (0, 0), c.image)
    _text(img, (22, 6), "添加定制", _sharp(12), P.INK)
    # The top-left pixel gives the transparent colour; the other corners and the last
    # column, which the 75-pixel button cuts off, share it.
    outside = _rounded((w, h), chip, 4).point(lambda v: 255 if v < 8 else 0)
    _composite(img, key, outside)
    shown = outside.crop((0, 0, 75, h))
    outside = Image.new("L", (w, h), 0)
    outside.paste(shown, (0, 0))
    return img, outside


def title_bar():
    w, h = 260, 42
    fade_to = window_colour_at(68)
    across = horizontal_gradient((w, h), [(0.0, H("1D5AA3")), (0.55, H("2C73BF")),
                                          (0.73, H("3A84CF")), (0.86, H("7DB2E4")),
                                          (1.0, fade_to)])
    img = across.copy()
    # A glossy upper half that fades out with the bar.
    gloss_amount = horizontal_gradient((w, h), [(0.0, (46,) * 3), (0.75, (40,) * 3),
                                                (1.0, (0,) * 3)]).convert("L")
    top_half = vertical_gradient((w, h), [(0.0, (255,) * 3), (19.5 / h, (110,) * 3),
                                          (20.5 / h, (0,) * 3), (1.0, (0,) * 3)]).convert("L")
    _composite(img, P.WHITE, ImageChops.multiply(gloss_amount, top_half))
    # Rows 40 and 41 are hidden under the panels.
    shade = horizontal_gradient((w, 2), [(0.0, H("174C8C")), (0.8, H("5F98D2")),
                                         (1.0, fade_to)])
    img.paste(shade, (0, 40))
    line = horizontal_gradient((w, 1), [(0.0, H("15467F")), (0.8, H("6FA5DA")),
                                        (1.0, fade_to)])
    img.paste(line, (0, 39))
    return img


def forecast_heading():
    w, h = 93, 26
    top = window_colour_at(300)
    bottom = window_colour_at(324)
    img = vertical_gradient((w, h), [(0.0, top), (1.0, bottom)])
    # A tab: round at the top, square where it meets the forecast strip below.
    tab = (0, 0, 88, 30)
    _composite(img, H("1F5FA8"), _rounded((w, h), tab, 6))
    body = vertical_gradient((w, h), [(0.0, H("4E95DC")), (0.5, H("3B84CF")),
                                      (0.52, H("3379C6")), (1.0, H("2A6BB6"))])
    _composite(img, body, _rounded((w, h), (1, 1, 87, 30), 5))
    _composite(img, H("8CC0F0"), _rounded((w, h), (5, 1, 83, 2), 1))
    c = Canvas(w, h, ss=8)
    sheet = Shape().rect(8.0, 6.5, 21.0, 19.0, radius=1.8)
    c.part(sheet, P.WHITE)
    c.part(Shape().rect(9.4, 10.0, 19.6, 17.6), H("3A82CD"))
    for x, y in ((11.2, 11.8), (14.5, 11.8), (17.8, 11.8), (11.2, 15.0), (14.5, 15.0)):
        c.part(Shape().rect(x - 0.9, y - 0.9, x + 0.9, y + 0.9), P.WHITE)
    c.part(Shape().line([(11.4, 5.0), (11.4, 8.0)], 1.3).line([(17.6, 5.0), (17.6, 8.0)], 1.3),
           P.WHITE)
    img.paste(c.image.convert("RGB"), (0, 0), c.image)
    _text(img, (26, 5), "未来4天", _sharp(14), P.WHITE, bold=True, shadow=H("1C559A"))
    return img


def panel_main():
    w, h = 300, 208
    img = vertical_gradient((w, h), [(0.0, H("5A9FE2")), (0.47, H("3C86D1")),
                                     (0.50, H("2F76C3")), (1.0, H("2262AD"))])
    # Broad soft gloss over the upper half.
    gloss = Image.new("L", (w * 4, h * 4), 0)
    ImageDraw.Draw(gloss).ellipse([-240, -620, w * 4 + 240, 400], fill=52)
    gloss = gloss.resize((w, h), Image.BOX).filter(ImageFilter.GaussianBlur(1.2))
    _composite(img, P.WHITE, gloss)
    # Label tabs behind the two headings the program writes at (10, 5) and (150, 5).
    for x0 in (4, 144):
        tab = _rounded((w, h), (x0, 2, x0 + 82, 25), 5).point(lambda v: v * 70 // 255)
        _composite(img, H("154A8C"), tab)
        edge = _rounded((w, h), (x0, 24, x0 + 82, 25), 0).point(lambda v: v * 90 // 255)
        _composite(img, H("8CC2F2"), edge)
    # An etched divider between the day and the night halves.
    fade = vertical_gradient((1, h), [(0.0, (0,) * 3), (0.2, (255,) * 3), (0.85, (255,) * 3),
                                      (1.0, (0,) * 3)]).convert("L")
    for x, colour, strength in ((141, H("1B5296"), 150), (142, H("7CB5EC"), 120)):
        col = Image.new("L", (w, h), 0)
        col.paste(fade.point(lambda v, s=strength: v * s // 255), (x, 0))
        _composite(img, colour, col)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=H("245FA4"))
    d.line([(1, 1), (w - 2, 1)], fill=H("8FC3F2"))
    return img


def panel_info():
    w, h = 170, 210
    shown_w, shown_h = 168, 208
    img = Image.new("RGB", (w, h), H("F2F8FE"))
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, shown_w - 1, shown_h - 1], outline=H("A7CBEE"))
    # The texts are written from y 40 and y 135: everything else below the strips stays
    # the plain panel colour.
    for top, title, glyph in ((7, "日出日落时间", _sunrise_glyph), (99, "生活指数", _leaf_glyph)):
        box = (4, top, shown_w - 4, top + 28)
        _composite(img, H("86B6E4"), _rounded((w, h), box, 4))
        fill = vertical_gradient((w, h), [(top / h, P.WHITE),
                                          ((top + 28) / h, H("D3E6F8"))])
        _composite(img, fill, _rounded((w, h), (5, top + 1, shown_w - 5, top + 27), 3))
        _composite(img, P.WHITE, _rounded((w, h), (7, top + 1, shown_w - 7, top + 2), 1))
        glyph(img, 10, top + 5)
        _text(img, (32, top + 7), title, _sharp(14), H("1E5A9E"), bold=True)
    return img


def _sunrise_glyph(img, x, y):
    c = Canvas(img.width, img.height, ss=8, ox=x, oy=y)
    st = W.Style(rim=0.9)
    W.sun(c, st, 9.0, 12.5, 4.6, rays=7, ray_in=1.5, ray_out=2.05, ray_width=1.5)
    c.image.paste((0, 0, 0, 0), (0, y + 13, img.width, img.height))
    c.part(Shape().rect(0.0, 13.0, 18.0, 15.0, radius=1.0), H("2F78C4"))
    img.paste(c.image.convert("RGB"), (0, 0), c.image)


def _leaf_glyph(img, x, y):
    c = Canvas(img.width, img.height, ss=8, ox=x, oy=y)
    leaf = Shape()
    pts = []
    for i in range(33):
        t = i / 32 * 2 * math.pi
        # A leaf: a lens pointed at both ends, tilted up to the right.
        u = math.cos(t) * 8.0
        v = math.sin(t) * 4.6 * abs(math.sin(t)) ** 0.15
        a = -0.75
        pts.append((9.0 + u * math.cos(a) - v * math.sin(a),
                    9.0 + u * math.sin(a) + v * math.cos(a)))
    leaf.polygon(pts)
    c.part(leaf, c.gradient(H("7ACB6F"), H("3E9A3F"), 2, 16), H("2A7430"), 0.9)
    c.part(Shape().line([(3.2, 14.6), (14.6, 3.6)], 1.0), H("E6F6DF"))
    img.paste(c.image.convert("RGB"), (0, 0), c.image)


def panel_forecast():
    w, h = 120, 182
    img = vertical_gradient((w, h), [(0.0, H("2D6FB9")), (24 / h, H("2766AE")),
                                     (25 / h, H("4D94DB")), (0.46, H("3D86D1")),
                                     (0.48, H("3278C4")), (1.0, H("2463AE"))])
    d = ImageDraw.Draw(img)
    d.line([(0, 24), (w, 24)], fill=H("1C5295"))
    d.line([(0, 25), (w, 25)], fill=H("6AA8E6"))
    # Each tile is one day: a dark right edge and a light left edge etch the columns apart.
    d.line([(w - 1, 0), (w - 1, h)], fill=H("1D5396"))
    d.line([(0, 0), (0, h)], fill=H("5C9DDF"))
    d.line([(1, 0), (w - 2, 0)], fill=H("5C9DDF"))
    return img


def panel_followed():
    w, h = 257, 28
    img = vertical_gradient((w, h), [(0.0, H("F7FBFF")), (1.0, H("D3E6F8"))])
    d = ImageDraw.Draw(img)
    d.line([(0, 0), (w, 0)], fill=H("B2D2F0"))
    d.line([(0, h - 1), (w, h - 1)], fill=H("8DBBE6"))
    c = Canvas(w, h, ss=8)
    st = W.Style(rim=1.0)
    W.sun(c, st, 12.5, 10.0, 4.6, rays=8, ray_in=1.45, ray_out=1.95, ray_width=1.6)
    W.cloud(c, st, 9.0, 10.5, 17.5, 12.5)
    img.paste(c.image.convert("RGB"), (0, 0), c.image)
    _text(img, (34, 6), "临近区县", _sharp(16), P.INK, bold=True)
    # The drop-down arrow in a small raised square at the right end.
    box = (229, 4, 251, 24)
    _composite(img, H("8DBBE6"), _rounded((w, h), box, 3))
    _composite(img, vertical_gradient((w, h), [(0.1, P.WHITE), (0.9, H("DCEBF9"))]),
               _rounded((w, h), (230, 5, 250, 23), 2))
    c = Canvas(w, h, ss=8)
    c.part(Shape().polygon([(234.5, 11.0), (245.5, 11.0), (240.0, 17.0)]), H("2F6DB4"))
    img.paste(c.image.convert("RGB"), (0, 0), c.image)
    return img


def build():
    """name -> (image, format, save options)."""
    return {
        "window_background.gif": _gif(window_background()),
        "panel_main.jpg": _jpeg(panel_main()),
        "panel_info.gif": _gif(panel_info()),
        "panel_forecast.gif": _gif(panel_forecast()),
        "panel_followed.jpg": _jpeg(panel_followed(), 95),
        "banner.gif": _gif(banner()),
        "search_frame.jpg": _jpeg(search_frame(), 95),
        "title_bar.gif": _gif(title_bar()),
        "forecast_heading.jpg": _jpeg(forecast_heading(), 95),
        "button_search.jpg": _jpeg_keyed(*button_search(), P.WHITE),
        "button_add.jpg": _jpeg_keyed(*button_add()),
    }
