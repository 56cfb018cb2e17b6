#pragma once
// PCX pictures, which Qt does not read: 1, 2, 4 and 8 bits per pixel with the header's
// 16-colour palette or the 256-colour palette at the end, 1-bit planar (up to 16 colours) and
// 24-bit in three planes, run-length encoded. It decodes only; it writes nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qc {

struct PcxImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xFFRRGGBB, row after row from the top
};

// None for a header it does not support, absurd dimensions, or fewer bytes than the claimed
// size could possibly be encoded in. A stream that ends early leaves the rest of the picture
// in palette index 0 (black for 24-bit).
std::optional<PcxImage> DecodePcx(std::span<const std::uint8_t> bytes);

}  // namespace qc
