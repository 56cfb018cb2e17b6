"""The program's colours: a family of sky blues, one warm orange for the search button and a
leaf green for the add buttons."""

from raster import hex_rgb as H

DEEP = H("1E5CA6")
BLUE = H("2F78C4")
MID = H("4A90D9")
LIGHT = H("A9CFF2")
PALE = H("DCEBF9")
FRAME = H("8DBBE6")
INK = H("1F5FA8")  # headings on light surfaces
WHITE = (255, 255, 255)

ORANGE_TOP = H("FFB650")
ORANGE = H("FF9A2E")
ORANGE_LOW = H("EE7A12")
ORANGE_RIM = H("C9600A")

GREEN = H("4CB050")
GREEN_LOW = H("2F8F36")
GREEN_RIM = H("23732A")

# The window background, top to bottom: a lighter band, the body, a deeper band.
WINDOW = [
    (0.000, H("F4F9FE")),
    (0.085, H("EEF5FC")),
    (0.100, H("E2EEFA")),
    (0.500, H("D7E8F8")),
    (0.905, H("C8DFF5")),
    (0.925, H("A9CDEE")),
    (1.000, H("86B5E2")),
]
