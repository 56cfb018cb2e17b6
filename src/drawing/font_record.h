#pragma once
// The font description handed to a panel's font property. The panel copies what it needs when
// the property is set; it keeps no reference to the record.

#include <cstdint>

#include "primitives/text.h"

namespace qc {

struct FontRecord {
  std::int32_t angle = 0;  // tenths of a degree, escapement and orientation
  std::int32_t bold = 0;   // non-zero: weight 700
  std::int32_t italic = 0;
  std::int32_t strikeOut = 0;
  std::int32_t underline = 0;
  std::int32_t size = 0;  // points; negative counts as 0, 0 lets the system choose
  Text face;              // GBK; absent or 32 bytes and longer becomes "宋体"
};

// The face a panel actually uses for a record (GBK).
Text EffectiveFace(const FontRecord& font);
// The character height in pixels at the given vertical dots per inch: size * dpi / 72,
// rounded as MulDiv rounds; 0 for a size of 0 or below (the system default height).
int CharacterHeight(const FontRecord& font, int dpi = 96);

}  // namespace qc
