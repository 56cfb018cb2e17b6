#!/usr/bin/python3
"""Draws every picture in assets/ anew: the form pictures and the icon strip compiled into the
program, the condition icons the portal simulator serves, and the program icon.

    /usr/bin/python3 tools/artwork/generate.py [--preview PATH]

The output is deterministic: the same Pillow and FreeType give the same bytes on every run.
"""

import argparse
import io
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import conditions  # noqa: E402
import form  # noqa: E402
import preview  # noqa: E402
import program_icon  # noqa: E402
import strip  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
ASSETS = os.path.join(ROOT, "assets")


def write(relative, data):
    path = os.path.join(ASSETS, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    old = None
    if os.path.exists(path):
        with open(path, "rb") as f:
            old = f.read()
    if old != data:
        with open(path, "wb") as f:
            f.write(data)
    return path


def encode(image, fmt, **options):
    out = io.BytesIO()
    image.save(out, fmt, **options)
    return out.getvalue()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", default="/tmp/artwork-preview.png",
                        help="where to write the preview sheet ('' for none)")
    args = parser.parse_args()

    pictures = {}
    for name, (image, fmt, options) in form.build().items():
        pictures[name] = encode(image, fmt, **options)
        write(os.path.join("embedded", name), pictures[name])

    strip_bytes, strip_colour, strip_mask = strip.build()
    write(os.path.join("embedded", "icon_strip.bin"), strip_bytes)

    icons = conditions.build()
    for name, image in icons.items():
        write(os.path.join("conditions", name + ".png"), encode(image, "PNG", optimize=True))

    ico, pngs = program_icon.build()
    write(os.path.join("icons", "qingchuang.ico"), ico)
    for size, image in pngs.items():
        data = encode(image, "PNG", optimize=True)
        write(os.path.join("icons", "qingchuang-%d.png" % size), data)
        if size in (32, 64):
            write(os.path.join("embedded", "window_icon_%d.png" % size), data)

    if args.preview:
        sheet = preview.build(pictures, strip_colour, icons, pngs)
        sheet.save(args.preview)
        print("preview:", args.preview)


if __name__ == "__main__":
    main()
