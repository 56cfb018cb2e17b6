#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "drawing/draw_panel_qt.h"
#include "drawing/font_record.h"
#include "drawing/gbk_to_unicode.h"

namespace qc {
namespace {

const Text kSongFace = "\xCB\xCE\xCC\xE5";  // 宋体
constexpr int kMaxFaceBytes = 31;           // a face name fills at most 32 bytes with its zero

// The faces that stand in for the Windows ones here: a Song/Ming face for 宋体 and as the
// fallback for Chinese glyphs of any other face, and a sans face with Chinese coverage for the
// default GUI font.
const char* const kSongFamily = "AR PL UMing CN";
const char* const kGuiFamily = "WenQuanYi Zen Hei";
constexpr int kGuiPixelHeight = 12;
// Far beyond any panel; it keeps a hostile record from making the font engine rasterise
// glyphs of absurd size.
constexpr int kMaxPixelHeight = 1024;

void MakeStable(QFont& font) {
  // Grey anti-aliasing and the default hinting give the same pixels on every screen, which
  // the tests and the probe's pictures rely on.
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
  font.setHintingPreference(QFont::PreferDefaultHinting);
}

}  // namespace

Text EffectiveFace(const FontRecord& font) {
  // The face is a zero-terminated name where Windows keeps it, so it ends at a zero byte.
  Text face = font.face.substr(0, font.face.find('\0'));
  if (face.empty() || face.size() > kMaxFaceBytes)
    return kSongFace;
  return face;
}

int CharacterHeight(const FontRecord& font, int dpi) {
  if (font.size <= 0 || dpi <= 0)
    return 0;
  // MulDiv: the exact product, rounded half away from zero.
  std::int64_t product = std::int64_t{font.size} * dpi;
  std::int64_t height = (product + 36) / 72;
  return static_cast<int>(std::min<std::int64_t>(height, std::numeric_limits<int>::max()));
}

QFont DefaultGuiFont() {
  QFont font;
  font.setFamilies({QString::fromLatin1(kGuiFamily), QString::fromLatin1(kSongFamily)});
  font.setPixelSize(kGuiPixelHeight);
  font.setWeight(QFont::Normal);
  MakeStable(font);
  return font;
}

QFont QtFontOf(const std::optional<FontRecord>& record) {
  if (!record)
    return DefaultGuiFont();
  QFont font;
  Text face = EffectiveFace(*record);
  if (face == kSongFace) {
    font.setFamilies({QString::fromLatin1(kSongFamily)});
  } else {
    // Windows falls back to the Song face for Chinese text in a face without it, and for a
    // face that is not installed at all; the second family does both here.
    font.setFamilies(
        {QString::fromStdU16String(GbkToUtf16(face)), QString::fromLatin1(kSongFamily)});
  }
  int height = CharacterHeight(*record, 96);
  if (height <= 0)
    height = kGuiPixelHeight;
  // The character height is the em height, not the cell height, hence pixel size.
  font.setPixelSize(std::min(height, kMaxPixelHeight));
  font.setWeight(record->bold != 0 ? QFont::Bold : QFont::Normal);
  font.setItalic(record->italic != 0);
  font.setUnderline(record->underline != 0);
  font.setStrikeOut(record->strikeOut != 0);
  MakeStable(font);
  return font;
}

}  // namespace qc
