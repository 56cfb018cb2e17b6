"""A preview sheet for the person drawing: the main window as the form assembles it from the
encoded pictures (with sample texts where the program writes them), the strip icons enlarged
and at the 25 x 25 they are shown at, the condition icons on the panels they are drawn on,
and the program icon at every size. Not part of the program."""

import io

from PIL import Image, ImageDraw

import program_icon
import strip
from raster import UMING, UMING_CN, WQY, WQY_OUTLINE, WQY_SHARP, font, hex_rgb as H

GUI = (WQY, 12, WQY_SHARP)  # the default GUI font, as the program maps it


def _open(data):
    return Image.open(io.BytesIO(data)).convert("RGB")


def _tile(picture, size):
    out = Image.new("RGB", size)
    for y in range(0, size[1], picture.height):
        for x in range(0, size[0], picture.width):
            out.paste(picture, (x, y))
    return out


def _keyed(picture, key):
    """A picture with one exact colour made transparent, as the picture buttons draw it."""
    rgba = picture.convert("RGBA")
    px = rgba.load()
    for y in range(rgba.height):
        for x in range(rgba.width):
            if px[x, y][:3] == key:
                px[x, y] = (0, 0, 0, 0)
    return rgba


def _write(img, xy, text, colour, fnt, bold=False):
    d = ImageDraw.Draw(img)
    d.text(xy, text, font=fnt, fill=colour)
    if bold:
        d.text((xy[0] + 1, xy[1]), text, font=fnt, fill=colour)


def _song(px):
    return font(UMING, px, UMING_CN)


def _gui():
    return font(*GUI)


def window(pictures, icons):
    w, h = 698, 489
    win = _open(pictures["window_background.gif"]).resize((w, h), Image.BILINEAR)
    banner = _open(pictures["banner.gif"]).resize((800, 48), Image.BILINEAR)
    win.paste(banner.crop((0, 0, w, 48)), (0, 0))
    frame = _open(pictures["search_frame.jpg"])
    win.paste(frame, (8, 8))
    edit = Image.new("RGB", (272, 28), (255, 255, 255))
    _write(edit, (4, 3), "岳阳", H("400080"), font(WQY, 21, WQY_OUTLINE))
    win.paste(edit, (13, 13))
    search = _keyed(_open(pictures["button_search.jpg"]), (255, 255, 255))
    win.paste(search, (296, 8), search)
    add = _open(pictures["button_add.jpg"])
    add_keyed = _keyed(add, add.getpixel((0, 0))).crop((0, 0, 75, 24))
    for x in (424, 512, 600):
        win.paste(add_keyed, (x, 16), add_keyed)
    title = _open(pictures["title_bar.gif"]).crop((0, 0, 260, 40))
    win.paste(title, (0, 48))
    _write(win, (24, 58), "岳阳", (255, 255, 255), _song(21))
    _write(win, (232, 69), "湖南省岳阳市  06月11日08时发布", (0, 0, 0), _gui())

    main = _tile(_open(pictures["panel_main.jpg"]), (300, 208))
    bold16 = _song(16)
    _write(main, (10, 5), "今天白天", (255, 255, 255), bold16, True)
    _write(main, (150, 5), "今天夜间", (255, 255, 255), bold16, True)
    for name, x in (("duoyun", 30), ("qing_1", 179)):
        icon = icons[name].resize((80, 80), Image.BICUBIC)
        main.paste(icon, (x, 35), icon)
    for text, xy, size in (("31℃", (20, 135), 16), ("体感 ", (60, 140), 11),
                           ("33℃", (85, 135), 16), ("多云", (50, 155), 16),
                           ("南风3-4级", (25, 180), 16), ("23℃", (200, 135), 16),
                           ("晴", (200, 155), 16), ("微风<3级", (175, 180), 16)):
        _write(main, xy, text, (255, 255, 255), _song(size), True)
    win.paste(main, (218, 88))

    info = _tile(_open(pictures["panel_info.gif"]), (168, 208))
    for y, text in ((40, "日出05:21"), (60, "日落19:18")):
        _write(info, (10, y), text, H("568BCB"), _gui())
    for y, text in ((135, "紫外线强"), (155, "穿衣炎热"), (175, "洗车较适宜"),
                    (195, "感冒少发")):
        _write(info, (10, y), text, H("568BCB"), _gui())
    win.paste(info, (528, 83))

    fore = _tile(_open(pictures["panel_forecast.gif"]), (480, 160))
    days = [("06月12日 星期三", "duoyun", "多云", "qing", "晴", "32℃", "22℃"),
            ("06月13日 星期四", "zhenyu", "阵雨", "zhongyu", "中雨", "29℃", "21℃"),
            ("06月14日 星期五", "leizhenyu", "雷阵雨", "xiaoyu", "小雨", "27℃", "20℃"),
            ("06月15日 星期六", "yin", "阴", "duoyun", "多云", "30℃", "22℃")]
    g = _gui()
    for k, (head, day_icon, day_text, night_icon, night_text, hi, lo) in enumerate(days):
        col = 20 + 120 * k
        white = (255, 255, 255)
        _write(fore, (5 + 120 * k, 5), head, white, g)
        _write(fore, (col, 30), "白天", white, g)
        _write(fore, (col + 55, 30), "夜间", white, g)
        for name, x in ((day_icon, 12 + 119 * k), (night_icon + "_1", 68 + 120 * k)):
            icon = icons[name].resize((40, 40), Image.BICUBIC)
            fore.paste(icon, (x, 48), icon)
        _write(fore, (col if len(day_text) > 1 else col + 5, 95), day_text, white, g)
        _write(fore, (col, 110), hi, white, g)
        _write(fore, (col, 125), "南风", white, g)
        _write(fore, (col - 5, 140), "3-4级", white, g)
        _write(fore, (col + 55 if len(night_text) > 1 else col + 60, 95), night_text, white, g)
        _write(fore, (col + 55, 110), lo, white, g)
        _write(fore, (col + 55, 125), "北风", white, g)
        _write(fore, (col + 57, 140), "微风", white, g)
    win.paste(fore, (218, 328))
    heading = _open(pictures["forecast_heading.jpg"]).crop((0, 0, 88, 24))
    win.paste(heading, (224, 300))

    followed = Image.new("RGB", (216, 400), (255, 255, 255))
    d = ImageDraw.Draw(followed)
    d.line([(0, 0), (215, 0)], fill=H("A0A0A0"))
    d.line([(0, 0), (0, 399)], fill=H("A0A0A0"))
    client = Image.new("RGB", (214, 398), (255, 255, 255))
    strip_heading = _open(pictures["panel_followed.jpg"]).resize((214, 23), Image.BOX)
    client.paste(strip_heading, (0, 187))
    blue = H("0060C0")
    rule = H("C8E2FF")
    cd = ImageDraw.Draw(client)
    _write(client, (5, 2), "最近关注", blue, g)
    cd.line([(0, 20), (216, 20)], fill=rule)
    for n, name in enumerate(("岳阳", "长沙", "武汉", "北京"), start=1):
        _write(client, (10, 28 * n), name, blue, g)
        cd.line([(0, 20 + 28 * n), (216, 20 + 28 * n)], fill=rule)
    rows = [("岳阳县", "31/23℃", 2, 3), ("华容", "30/22℃", 6, 7), ("平江", "29/21℃", 16, 17),
            ("临湘", "32/24℃", 4, 1), ("湘阴", "31/22℃", 20, 21)]
    y = 243
    for text1, text2, a, b in rows:
        cd.line([(0, y), (216, y)], fill=rule)
        _write(client, (10, y - 23), text1, blue, g)
        _write(client, (70, y - 23), text2, blue, g)
        for index, x in ((a, 150), (b, 180)):
            rgb, _ = strip.cell(index)
            client.paste(rgb.resize((25, 25), Image.BOX), (x, y - 27))
        y += 35
    followed.paste(client, (1, 1))
    win.paste(followed, (0, 88))
    return win


def build(pictures, strip_colour, icons, pngs):
    sheet = Image.new("RGB", (1480, 1420), H("F0F0F0"))
    d = ImageDraw.Draw(sheet)
    label = font(WQY, 13, WQY_SHARP)
    d.text((10, 4), "main window (client 698 x 489)", font=label, fill=(60, 60, 60))
    sheet.paste(window(pictures, icons), (10, 22))

    d.text((724, 4), "strip at 2x", font=label, fill=(60, 60, 60))
    sheet.paste(strip_colour.resize((280, 896), Image.NEAREST), (724, 22))
    d.text((1030, 4), "strip cells at 25 x 25, 2x", font=label, fill=(60, 60, 60))
    for i in range(strip.COUNT):
        rgb, _ = strip.cell(i)
        small = rgb.resize((25, 25), Image.BOX).resize((50, 50), Image.NEAREST)
        sheet.paste(small, (1030 + (i % 4) * 56, 22 + (i // 4) * 56))

    y0 = 930
    d.text((10, y0 - 18), "condition icons at 80 x 80 on the today panel", font=label,
           fill=(60, 60, 60))
    main_bg = _tile(_open(pictures["panel_main.jpg"]), (11 * 88 + 8, 3 * 88 + 8))
    names = sorted(icons)
    for i, name in enumerate(names[:33]):
        icon = icons[name].resize((80, 80), Image.BICUBIC)
        main_bg.paste(icon, (8 + (i % 11) * 88, 8 + (i // 11) * 88), icon)
    sheet.paste(main_bg, (10, y0))
    y1 = y0 + main_bg.height + 28
    d.text((10, y1 - 18), "at 40 x 40 on forecast tiles", font=label, fill=(60, 60, 60))
    fore_bg = _tile(_open(pictures["panel_forecast.gif"]), (21 * 46 + 6, 2 * 50 + 6))
    for i, name in enumerate(names):
        icon = icons[name].resize((40, 40), Image.BICUBIC)
        fore_bg.paste(icon, (6 + (i // 2) * 46, 6 + (i % 2) * 50), icon)
    sheet.paste(fore_bg, (10, y1))

    x = 990
    d.text((x, y0 - 18), "program icon", font=label, fill=(60, 60, 60))
    bg = _open(pictures["window_background.gif"]).resize((480, 400))
    sheet.paste(bg, (x, y0))
    sheet.paste(pngs[256], (x + 10, y0 + 10), pngs[256])
    cx = x + 280
    for size in (128, 64, 48, 32, 24, 16):
        image = pngs[size] if size in pngs else program_icon.draw(size)
        sheet.paste(image, (cx, y0 + 10), image)
        cx += size + 8
        if size == 128:
            cx = x + 160
            y0 += 138
    flat = program_icon.draw(128, flat=True)
    sheet.paste(flat, (x + 10, y0 + 140), flat)
    big = pngs[16].resize((64, 64), Image.NEAREST)
    sheet.paste(big, (x + 280, y0 + 80), big)
    big = pngs[32].resize((96, 96), Image.NEAREST)
    sheet.paste(big, (x + 360, y0 + 80), big)
    return sheet
