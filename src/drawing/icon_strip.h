#pragma once
// The small condition icons of the nearby rows: 54 icons of 35 x 32 in one serialised image
// list compiled into the program, and the lookup that turns one of them into BMP bytes.

#include <cstdint>
#include <span>

#include "drawing/colour.h"
#include "primitives/text.h"

namespace qc {

// The embedded strip: "MITL", a 4-byte word, then the image-list stream.
std::span<const std::uint8_t> IconStrip();

// A 35 x 32 BMP of icon index drawn over background where the mask is transparent; empty bytes
// when the data cannot be read or the index names no icon.
Bytes StripIcon(std::span<const std::uint8_t> data, int index, Colour background = 0xFFFFFF);

}  // namespace qc
