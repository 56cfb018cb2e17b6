#pragma once
// The Qt side of the drawing layer: what the panel view in app/ and the probe read, and what the
// drawing layer's own files share. Everything else sees panels only through draw_panel.h.

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRectF>

#include <optional>

#include "drawing/draw_panel.h"
#include "drawing/font_record.h"

namespace qc {

// The panel's persistent image: Format_RGB32, of the client size (null for an empty client).
const QImage& PanelPixels(const DrawPanel& panel);

// Scales image smoothly into target (panel pixels) and blends it over the persistent image by
// its alpha. Does not notify the panel's view; the caller does once it is done.
void BlendImageOnPanel(DrawPanel& panel, const QImage& image, const QRectF& target);

// The font a panel writes with for a record, or the default GUI font for none.
QFont QtFontOf(const std::optional<FontRecord>& record);
// The system's default GUI font: a sans face with Chinese coverage, 12 pixels.
QFont DefaultGuiFont();

// Decodes picture bytes of a format PictureFormatOf recognises. Bitmaps come out as RGB32,
// icons and cursors as ARGB32_Premultiplied; a null image for bytes it does not recognise or
// cannot decode within the size limits.
QImage DecodePicture(const Bytes& picture);
// Decodes an image file's bytes in any format Qt reads, as ARGB32_Premultiplied, within the
// same size limits; a null image on failure.
QImage DecodeImageFile(const QByteArray& bytes);

}  // namespace qc
