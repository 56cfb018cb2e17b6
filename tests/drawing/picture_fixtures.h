#pragma once
// Small pictures for the drawing tests: Qt-encoded BMP/JPEG/ICO/PNG bytes, hand-made GIF and
// PCX files, and pixel measurements of a panel.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "drawing/colour.h"
#include "primitives/text.h"

// Readable rectangles in failure messages.
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace qc::test {

inline QRgb ToQRgb(Colour c) {
  return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

inline QImage Solid(int w, int h, QRgb argb) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(argb);
  return image;
}

inline Bytes Encode(const QImage& image, const char* format) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, format).write(image);
  return Bytes(data.begin(), data.end());
}

// A cursor file is an icon file with type 2 and hot-spot fields where the icon has planes.
inline Bytes EncodeCursor(const QImage& image) {
  Bytes bytes = Encode(image, "ico");
  bytes[2] = 2;
  return bytes;
}

// A GIF with a one-pixel frame of the given colour; by default a 1 x 1 picture.
inline Bytes OnePixelGif(bool version89, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                         int screenWidth = 1, int screenHeight = 1, int frameLeft = 0,
                         int frameTop = 0) {
  Bytes gif = {'G', 'I', 'F', '8', std::uint8_t(version89 ? '9' : '7'), 'a'};
  auto word = [&](int v) { gif.insert(gif.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
  word(screenWidth);
  word(screenHeight);
  gif.insert(gif.end(), {0x80, 0, 0});  // a global table of two colours
  gif.insert(gif.end(), {r, g, b, 0, 0, 0});
  gif.push_back(0x2C);
  word(frameLeft);
  word(frameTop);
  word(1);
  word(1);
  // No local table; LZW minimum code size 2: clear, index 0, end.
  gif.insert(gif.end(), {0, 2, 2, 0x44, 0x01, 0, 0x3B});
  return gif;
}

struct PcxHeader {
  int version = 5;
  int bits = 8;
  int planes = 1;
  int width = 1;
  int height = 1;
  int bytesPerLine = 2;
};

// A PCX file: header, the given run-length stream, then the optional 256-colour palette.
inline Bytes MakePcx(const PcxHeader& h, std::initializer_list<int> stream,
                     const std::vector<QRgb>& headerPalette = {},
                     const std::vector<QRgb>& palette256 = {}) {
  Bytes pcx(128, 0);
  auto word = [&](int at, int v) {
    pcx[at] = std::uint8_t(v & 0xFF);
    pcx[at + 1] = std::uint8_t(v >> 8);
  };
  pcx[0] = 0x0A;
  pcx[1] = std::uint8_t(h.version);
  pcx[2] = 1;
  pcx[3] = std::uint8_t(h.bits);
  word(8, h.width - 1);
  word(10, h.height - 1);
  pcx[65] = std::uint8_t(h.planes);
  word(66, h.bytesPerLine);
  for (std::size_t i = 0; i < headerPalette.size() && i < 16; ++i) {
    pcx[16 + 3 * i] = std::uint8_t(qRed(headerPalette[i]));
    pcx[17 + 3 * i] = std::uint8_t(qGreen(headerPalette[i]));
    pcx[18 + 3 * i] = std::uint8_t(qBlue(headerPalette[i]));
  }
  for (int b : stream)
    pcx.push_back(std::uint8_t(b));
  if (!palette256.empty()) {
    pcx.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
      QRgb c = i < int(palette256.size()) ? palette256[i] : 0;
      pcx.insert(pcx.end(),
                 {std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
    }
  }
  return pcx;
}

// The smallest rectangle holding every pixel of exactly this colour; empty when there is none.
inline QRect BoundsOf(const QImage& image, QRgb colour) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u))
        bounds |= QRect(x, y, 1, 1);
  return bounds;
}

inline int CountOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      count += (image.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u);
  return count;
}

}  // namespace qc::test
