#include "drawing/icon_strip.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include "drawing/embedded_assets.h"

namespace qc {
namespace {

// The stream is the one an image list writes: its header, then the colour bitmap and the
// mask bitmap, each as a BMP file image. The bitmaps hold the icons in a grid four cells
// wide, filled row by row from the top.
constexpr std::size_t kGroupHeaderSize = 8;
constexpr std::size_t kListHeaderSize = 28;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kListVersion = 0x0101;
constexpr std::uint16_t kFlagMask = 0x0001;
constexpr std::uint16_t kFlagColourBits = 0x00FE;
constexpr std::uint16_t kFlagColour32 = 0x0020;
constexpr int kGridColumns = 4;

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  bool Has(std::uint64_t at, std::uint64_t n) const {
    return at <= data_.size() && n <= data_.size() - at;
  }
  // Callers check Has() first; these read little-endian values.
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(data_[at]) |
           (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[at + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[at + 3]) << 24);
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  const std::uint8_t* At(std::size_t at) const { return data_.data() + at; }

 private:
  std::span<const std::uint8_t> data_;
};

struct ListHeader {
  int count = 0;
  int room = 0;
  int cx = 0;
  int cy = 0;
};

// A bitmap of the stream with its pixel rows located in the buffer.
struct Bitmap {
  const std::uint8_t* pixels = nullptr;
  std::size_t stride = 0;
  std::int64_t height = 0;
  bool bottom_up = true;
  std::size_t end = 0;  // offset just past its pixel data: where the next bitmap starts

  const std::uint8_t* Row(std::int64_t top_down_row) const {
    const std::int64_t stored = bottom_up ? height - 1 - top_down_row : top_down_row;
    return pixels + static_cast<std::size_t>(stored) * stride;
  }
};

std::optional<ListHeader> ReadListHeader(const ByteReader& in, std::size_t at) {
  if (!in.Has(at, kListHeaderSize) || in.At(at)[0] != 'I' || in.At(at)[1] != 'L') {
    return std::nullopt;
  }
  if (in.U16(at + 2) != kListVersion) {
    return std::nullopt;
  }
  ListHeader header;
  header.count = in.U16(at + 4);
  header.room = in.U16(at + 6);
  header.cx = in.U16(at + 10);
  header.cy = in.U16(at + 12);
  const std::uint16_t flags = in.U16(at + 18);
  if (header.room < header.count || header.cx == 0 || header.cy == 0) {
    return std::nullopt;
  }
  // Only a 32-bit list with a mask is understood; anything else would be misread.
  if ((flags & kFlagColourBits) != kFlagColour32 || (flags & kFlagMask) == 0) {
    return std::nullopt;
  }
  return header;
}

// Reads the BMP file image at offset at. The file size field of these images is not the size
// of the image (the writer leaves it at the header size), so the pixel data is located from
// the header and the dimensions alone.
std::optional<Bitmap> ReadBitmap(const ByteReader& in, std::size_t at, int bits_per_pixel,
                                 std::int64_t width, std::int64_t height) {
  if (!in.Has(at, kFileHeaderSize + kInfoHeaderSize) || in.At(at)[0] != 'B' ||
      in.At(at)[1] != 'M') {
    return std::nullopt;
  }
  const std::size_t info = at + kFileHeaderSize;
  const std::uint32_t pixel_offset = in.U32(at + 10);
  const std::int32_t stored_height = in.I32(info + 8);
  const std::uint32_t colours_used = in.U32(info + 32);
  if (in.U32(info) != kInfoHeaderSize || in.I32(info + 4) != width || in.U16(info + 12) != 1 ||
      in.U16(info + 14) != bits_per_pixel || in.U32(info + 16) != 0) {
    return std::nullopt;
  }
  if (stored_height != height && stored_height != -height) {
    return std::nullopt;
  }
  const std::uint32_t palette_entries =
      bits_per_pixel == 1 ? (colours_used == 0 ? 2 : colours_used) : colours_used;
  if (palette_entries > 2) {
    return std::nullopt;
  }
  if (pixel_offset != kFileHeaderSize + kInfoHeaderSize + 4 * palette_entries) {
    return std::nullopt;
  }
  Bitmap bitmap;
  bitmap.stride = static_cast<std::size_t>(((width * bits_per_pixel + 31) / 32) * 4);
  bitmap.height = height;
  bitmap.bottom_up = stored_height > 0;
  const std::uint64_t pixel_bytes =
      static_cast<std::uint64_t>(bitmap.stride) * static_cast<std::uint64_t>(height);
  if (!in.Has(at + pixel_offset, pixel_bytes)) {
    return std::nullopt;
  }
  bitmap.pixels = in.At(at + pixel_offset);
  bitmap.end = at + pixel_offset + static_cast<std::size_t>(pixel_bytes);
  return bitmap;
}

void PutU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

}  // namespace

std::span<const std::uint8_t> IconStrip() {
  return EmbeddedAsset("icon_strip.bin");
}

Bytes StripIcon(std::span<const std::uint8_t> data, int index, Colour background) {
  if (data.size() <= kGroupHeaderSize || data[0] != 'M' || data[1] != 'I' || data[2] != 'T' ||
      data[3] != 'L') {
    return {};
  }
  const ByteReader in(data);
  const std::optional<ListHeader> list = ReadListHeader(in, kGroupHeaderSize);
  if (!list || index < 0 || index >= list->count) {
    return {};
  }
  const std::int64_t width = static_cast<std::int64_t>(list->cx) * kGridColumns;
  const std::int64_t height =
      static_cast<std::int64_t>(list->cy) * ((list->room + kGridColumns - 1) / kGridColumns);
  const std::optional<Bitmap> colour =
      ReadBitmap(in, kGroupHeaderSize + kListHeaderSize, 32, width, height);
  if (!colour) {
    return {};
  }
  const std::optional<Bitmap> mask = ReadBitmap(in, colour->end, 1, width, height);
  if (!mask) {
    return {};
  }

  const int cx = list->cx;
  const int cy = list->cy;
  const std::int64_t left = static_cast<std::int64_t>(index % kGridColumns) * cx;
  const std::int64_t top = static_cast<std::int64_t>(index / kGridColumns) * cy;
  // The cell lies inside the colour bitmap that the buffer holds, so the result is never
  // larger than the input; a BMP still cannot describe more than 4 GiB.
  const std::uint64_t image_bytes = static_cast<std::uint64_t>(cx) * 4 * cy;
  const std::uint32_t header_bytes = kFileHeaderSize + kInfoHeaderSize;
  if (image_bytes > UINT32_MAX - header_bytes) {
    return {};
  }

  Bytes out;
  out.reserve(header_bytes + image_bytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, static_cast<std::uint32_t>(header_bytes + image_bytes));
  PutU32(out, 0);
  PutU32(out, header_bytes);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, static_cast<std::uint32_t>(cx));
  PutU32(out, static_cast<std::uint32_t>(cy));  // positive: rows bottom-up
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, 0);  // BI_RGB
  PutU32(out, static_cast<std::uint32_t>(image_bytes));
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);

  const std::uint8_t back_blue = static_cast<std::uint8_t>(BlueOf(background));
  const std::uint8_t back_green = static_cast<std::uint8_t>(GreenOf(background));
  const std::uint8_t back_red = static_cast<std::uint8_t>(RedOf(background));
  out.resize(header_bytes + image_bytes);
  std::uint8_t* dest = out.data() + header_bytes;
  for (int y = cy - 1; y >= 0; --y) {
    const std::uint8_t* colour_row = colour->Row(top + y) + left * 4;
    const std::uint8_t* mask_row = mask->Row(top + y);
    for (int x = 0; x < cx; ++x) {
      const std::int64_t mx = left + x;
      const bool transparent = (mask_row[mx >> 3] & (0x80 >> (mx & 7))) != 0;
      if (transparent) {
        dest[0] = back_blue;
        dest[1] = back_green;
        dest[2] = back_red;
      } else {
        dest[0] = colour_row[x * 4];
        dest[1] = colour_row[x * 4 + 1];
        dest[2] = colour_row[x * 4 + 2];
      }
      dest[3] = 0;
      dest += 4;
    }
  }
  return out;
}

}  // namespace qc
