#include "app/picture_widgets.h"

#include <QPainter>

#include "drawing/embedded_assets.h"

namespace qc {

QImage FormPicture(std::string_view asset) {
  const auto bytes = EmbeddedAsset(asset);
  QImage image;
  image.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

PicBox::PicBox(const ControlSpec& spec, QWidget* parent)
    : QWidget(parent), picture_(FormPicture(spec.picture)), mode_(spec.pictureMode) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  if (picture_.isNull())
    return;
  switch (mode_) {
    case PictureMode::Natural:
      painter.drawImage(0, 0, picture_);
      break;
    case PictureMode::Stretched:
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(rect(), picture_);
      break;
    case PictureMode::Fitted: {
      QSize size = picture_.size();
      if (size.width() > width() || size.height() > height()) {
        size.scale(this->size(), Qt::KeepAspectRatio);
      }
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(
          QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
          picture_);
      break;
    }
  }
}

SuperBtn::SuperBtn(const ControlSpec& spec, QWidget* parent) : QAbstractButton(parent) {
  QImage picture = FormPicture(spec.picture);
  if (!picture.isNull()) {
    const QRgb key = spec.transparentColour == kNoColour
                         ? picture.pixel(0, 0)
                         : qRgb(RedOf(spec.transparentColour), GreenOf(spec.transparentColour),
                                BlueOf(spec.transparentColour));
    // JPEG pictures only come close to their key colour, so near misses count as transparent.
    for (int y = 0; y < picture.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = line[x];
        if (std::abs(qRed(p) - qRed(key)) + std::abs(qGreen(p) - qGreen(key)) +
                std::abs(qBlue(p) - qBlue(key)) <=
            24) {
          line[x] = 0;
        }
      }
    }
  }
  picture_ = picture;
  setFocusPolicy(spec.tabStop ? Qt::TabFocus : Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
}

void SuperBtn::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int shift = isDown() ? 1 : 0;
  painter.drawImage(shift, shift, picture_);
  // A flat button draws its border line only while the pointer is on it.
  if (underMouse()) {
    painter.setPen(QColor(0x7F, 0xA8, 0xD8));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

}  // namespace qc
