#pragma once
// A panel's drawing operations as plain records, in the order they were drawn. The probe and
// the tests read them; the program itself records nothing.

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "drawing/colour.h"
#include "primitives/text.h"

namespace qc {

struct ClearRectOp {
  int left = 0, top = 0, right = 0, bottom = 0;  // after defaults and normalisation
};
struct DrawLineOp {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Colour colour = 0;
};
struct OpFont {
  Text face;  // GBK
  int size = 0;
  bool bold = false;
};
struct WriteAtOp {
  int x = 0, y = 0;
  Text text;                   // GBK
  std::optional<OpFont> font;  // none: the system's default GUI font
  Colour colour = 0;
};
struct DrawPictureOp {
  int left = 0, top = 0, width = 0, height = 0;
  std::optional<std::string> format;  // "JPEG", "BMP", "ICO", "CUR", "GIF", "PCX"; none: not drawn
  std::string sha1;                   // lower-case hex of the picture bytes
};
struct DrawImageOp {
  float x = 0, y = 0, width = 0, height = 0;
  Text path;  // GBK, as given to LoadFromFile
  bool loaded = false;
};

using PanelOp = std::variant<ClearRectOp, DrawLineOp, WriteAtOp, DrawPictureOp, DrawImageOp>;

}  // namespace qc
