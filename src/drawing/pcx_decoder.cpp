#include "drawing/pcx_decoder.h"

#include <array>

namespace qc {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteTrailer = 769;  // 0x0C and 256 RGB triples
constexpr int kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = std::int64_t{64} << 20;
constexpr int kMaxRun = 63;

// The palette of version 3 files, which carry none of their own.
constexpr std::array<std::uint32_t, 16> kEgaPalette = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

int Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}
std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// The run-length stream: a byte with both top bits set repeats the next byte (its low six
// bits) times; any other byte stands for itself. Runs may cross scan lines.
class RunReader {
 public:
  RunReader(std::span<const std::uint8_t> data) : data_(data) {}
  void Fill(std::vector<std::uint8_t>& line) {
    for (std::uint8_t& b : line) {
      if (runLeft_ == 0 && !Next()) {
        b = 0;
        continue;
      }
      b = runValue_;
      --runLeft_;
    }
  }

 private:
  bool Next() {
    while (at_ < data_.size()) {
      std::uint8_t c = data_[at_++];
      if ((c & 0xC0) != 0xC0) {
        runValue_ = c;
        runLeft_ = 1;
        return true;
      }
      runLeft_ = c & 0x3F;
      runValue_ = at_ < data_.size() ? data_[at_++] : 0;
      if (runLeft_ > 0)
        return true;  // a zero-length run is skipped
    }
    return false;
  }
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
  int runLeft_ = 0;
  std::uint8_t runValue_ = 0;
};

}  // namespace

std::optional<PcxImage> DecodePcx(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize || bytes[0] != 0x0A || bytes[1] > 5 || bytes[2] != 1)
    return std::nullopt;
  const int version = bytes[1];
  const int bits = bytes[3];
  const int planes = bytes[65];
  const int bytesPerLine = Word(bytes, 66);
  const int xMin = Word(bytes, 4), yMin = Word(bytes, 6);
  const int xMax = Word(bytes, 8), yMax = Word(bytes, 10);
  if (xMax < xMin || yMax < yMin)
    return std::nullopt;
  const int width = xMax - xMin + 1;
  const int height = yMax - yMin + 1;
  if (width > kMaxSide || height > kMaxSide || std::int64_t{width} * height > kMaxPixels)
    return std::nullopt;

  const bool trueColour = bits == 8 && (planes == 3 || planes == 4);
  const bool indexed = (bits == 1 && planes >= 1 && planes <= 4) ||
                       ((bits == 2 || bits == 4 || bits == 8) && planes == 1);
  if (!trueColour && !indexed)
    return std::nullopt;
  if (std::int64_t{bytesPerLine} * 8 < std::int64_t{width} * bits)
    return std::nullopt;

  // Every two bytes of the stream give at most 63 bytes of picture, so a claim larger than that
  // is a lie; refusing it keeps what is allocated in proportion to what was given.
  const std::int64_t lineBytes = std::int64_t{planes} * bytesPerLine;
  const std::int64_t streamBytes = static_cast<std::int64_t>(bytes.size() - kHeaderSize);
  if (lineBytes * height > streamBytes / 2 * kMaxRun + kMaxRun)
    return std::nullopt;

  std::array<std::uint32_t, 256> palette{};
  std::span<const std::uint8_t> stream = bytes.subspan(kHeaderSize);
  if (indexed) {
    const int colours = 1 << (bits * planes);
    if (colours == 256) {
      const std::size_t at = bytes.size() - kPaletteTrailer;
      const bool trailer = bytes.size() >= kHeaderSize + kPaletteTrailer && bytes[at] == 0x0C;
      // A stream cut short must not run on into the palette.
      if (trailer)
        stream = bytes.subspan(kHeaderSize, at - kHeaderSize);
      for (int i = 0; i < 256; ++i) {
        palette[i] = trailer
                         ? Rgb(bytes[at + 1 + 3 * i], bytes[at + 2 + 3 * i], bytes[at + 3 + 3 * i])
                         : Rgb(i, i, i);
      }
    } else {
      for (int i = 0; i < 16; ++i)
        palette[i] = version == 3 ? 0xFF000000u | kEgaPalette[i]
                                  : Rgb(bytes[16 + 3 * i], bytes[17 + 3 * i], bytes[18 + 3 * i]);
      // Many writers leave the palette of a two-colour picture empty; it is black and white.
      if (colours == 2 && (version == 3 || palette[0] == palette[1])) {
        palette[0] = 0xFF000000u;
        palette[1] = 0xFFFFFFFFu;
      }
    }
  }

  PcxImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  RunReader runs(stream);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
  const int mask = (1 << bits) - 1;
  for (int y = 0; y < height; ++y) {
    runs.Fill(line);
    std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      if (trueColour) {
        row[x] = Rgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
      } else if (planes == 1) {
        const int bit = x * bits;
        row[x] = palette[(line[bit / 8] >> (8 - bits - bit % 8)) & mask];
      } else {
        int index = 0;
        for (int p = 0; p < planes; ++p)
          index |= ((line[p * bytesPerLine + x / 8] >> (7 - x % 8)) & 1) << p;
        row[x] = palette[index];
      }
    }
  }
  return image;
}

}  // namespace qc
