// Picture bytes to images: the formats panels draw, recognised by their first bytes, and the
// image files of the icon cache. Every decode is bounded before pixels are allocated.
#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstring>

#include "drawing/draw_panel.h"
#include "drawing/draw_panel_qt.h"
#include "drawing/pcx_decoder.h"

namespace qc {
namespace {

constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = qint64{64} << 20;
// No format Qt reads here packs more than about 8000 pixels into a byte (a one-bit PNG of a
// single colour comes closest), so a larger claim is a lie; below the floor the cost of
// believing it is small anyway. Without this a 35-byte GIF makes the reader clear 128 MB.
constexpr qint64 kMaxPixelsPerByte = 8192;
constexpr qint64 kAlwaysPlausiblePixels = qint64{1} << 20;

bool Plausible(QSize size, qsizetype byteCount) {
  if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxSide ||
      size.height() > kMaxSide)
    return false;
  const qint64 pixels = qint64{size.width()} * size.height();
  return pixels <= kMaxPixels &&
         (pixels <= kAlwaysPlausiblePixels || pixels / kMaxPixelsPerByte <= byteCount);
}

int Word(const QByteArray& bytes, qsizetype at) {
  return std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8);
}

// Qt's GIF reader sizes its canvas by the first frame's extent where that exceeds the logical
// screen, which its reported size does not show; the larger of the two bounds what it clears.
QSize GifCanvas(const QByteArray& gif) {
  if (gif.size() < 13)
    return {};
  const QSize screen(Word(gif, 6), Word(gif, 8));
  const std::uint8_t flags = std::uint8_t(gif[10]);
  qsizetype at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
  while (at < gif.size()) {
    const std::uint8_t block = std::uint8_t(gif[at]);
    if (block == 0x2C) {
      if (at + 9 >= gif.size())
        break;
      return screen.expandedTo(
          QSize(Word(gif, at + 1) + Word(gif, at + 5), Word(gif, at + 3) + Word(gif, at + 7)));
    }
    if (block != 0x21)
      break;
    at += 2;  // the extension's introducer and label, then its sub-blocks up to an empty one
    while (at < gif.size()) {
      const int length = std::uint8_t(gif[at]);
      at += 1 + length;
      if (length == 0)
        break;
    }
  }
  return screen;
}

// The formats an icon file may have; Qt reads more (SVG, TIFF, ...), which nothing here needs
// and which a hostile file could make slow.
bool ReadableFileFormat(const QByteArray& format) {
  for (const char* allowed : {"png", "jpeg", "gif", "bmp", "ico", "cur"})
    if (format == allowed)
      return true;
  return false;
}

// format: Qt's reader name, or empty to go by the content.
QImage ReadBounded(const QByteArray& bytes, const QByteArray& format) {
  QBuffer buffer;
  buffer.setData(bytes);
  if (!buffer.open(QIODevice::ReadOnly))
    return {};
  QImageReader reader(&buffer, format);
  // Bytes that passed as one format must not be decoded as another.
  reader.setAutoDetectImageFormat(format.isEmpty());
  reader.setAutoTransform(false);
  if (format.isEmpty() && !ReadableFileFormat(reader.format()))
    return {};
  // A reader that cannot tell the size before decoding is not trusted with hostile bytes.
  if (!Plausible(reader.size(), bytes.size()))
    return {};
  if (reader.format() == "gif" && !Plausible(GifCanvas(bytes), bytes.size()))
    return {};
  QImage image;
  if (!reader.read(&image) || !Plausible(image.size(), bytes.size()))
    return {};
  return image;
}

QByteArray Borrow(const Bytes& bytes) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<qsizetype>(bytes.size()));
}

QImage DecodePcxPicture(const Bytes& picture) {
  std::optional<PcxImage> pcx = DecodePcx(picture);
  if (!pcx)
    return {};
  QImage image(pcx->width, pcx->height, QImage::Format_RGB32);
  if (image.isNull())
    return {};
  for (int y = 0; y < pcx->height; ++y)
    std::memcpy(image.scanLine(y), pcx->pixels.data() + static_cast<std::size_t>(y) * pcx->width,
                static_cast<std::size_t>(pcx->width) * 4);
  return image;
}

}  // namespace

std::optional<std::string> PictureFormatOf(const Bytes& p) {
  if (p.size() < 6)
    return std::nullopt;
  if (p[0] == 0xFF && p[1] == 0xD8)
    return "JPEG";
  if (p[0] == 'B' && p[1] == 'M')
    return "BMP";
  if (p[0] == 0 && p[1] == 0 && p[3] == 0 && (p[2] == 1 || p[2] == 2))
    return p[2] == 1 ? "ICO" : "CUR";
  if (std::memcmp(p.data(), "GIF89a", 6) == 0 || std::memcmp(p.data(), "GIF87a", 6) == 0)
    return "GIF";
  if (p[0] == 0x0A &&
      ((p[1] <= 5 && p[2] == 1 && p[3] == 8) || (p[1] == 3 && p[2] == 1 && p[3] == 1)))
    return "PCX";
  return std::nullopt;
}

QImage DecodePicture(const Bytes& picture) {
  std::optional<std::string> format = PictureFormatOf(picture);
  if (!format)
    return {};
  if (*format == "PCX")
    return DecodePcxPicture(picture);
  const bool icon = *format == "ICO" || *format == "CUR";
  const QByteArray reader = *format == "JPEG"  ? "jpeg"
                            : *format == "BMP" ? "bmp"
                            : *format == "GIF" ? "gif"
                            : *format == "ICO" ? "ico"
                                               : "cur";
  QImage image = ReadBounded(Borrow(picture), reader);
  if (image.isNull())
    return {};
  // Bitmaps are copied opaquely, so their alpha (a 32-bit BMP's, a GIF's transparent colour)
  // is dropped here once rather than at every draw; icons keep theirs for blending.
  return image.convertToFormat(icon ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

QImage DecodeImageFile(const QByteArray& bytes) {
  QImage image = ReadBounded(bytes, QByteArray());
  if (image.isNull())
    return {};
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace qc
