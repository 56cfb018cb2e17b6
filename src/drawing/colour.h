#pragma once
// Colours as the form and the drawing code write them: 0x00BBGGRR, with kNoColour meaning
// "button face" as a background and "transparent" as a text background.

#include <cstdint>

namespace qc {

using Colour = std::uint32_t;

inline constexpr Colour kNoColour = 0xFF000000u;

// Builds a colour from its RGB hex as the layout tables write it, red first: Rgb(0xC8E2FF).
constexpr Colour Rgb(std::uint32_t rrggbb) {
  return ((rrggbb >> 16) & 0xFFu) | (rrggbb & 0xFF00u) | ((rrggbb & 0xFFu) << 16);
}
constexpr int RedOf(Colour c) {
  return static_cast<int>(c & 0xFFu);
}
constexpr int GreenOf(Colour c) {
  return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int BlueOf(Colour c) {
  return static_cast<int>((c >> 16) & 0xFFu);
}

// The platform's button-face colour, which a background of kNoColour stands for.
inline constexpr Colour kButtonFace = Rgb(0xF0F0F0);

}  // namespace qc
