#pragma once
// The picture controls of the form: PicBox shows one picture in its display mode; SuperBtn is
// a flat picture button whose transparent colour lets its parent show through.

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

#include "app/form_table.h"

namespace qc {

// The decoded form picture of an embedded asset; a null image when it is missing.
QImage FormPicture(std::string_view asset);

class PicBox : public QWidget {
 public:
  PicBox(const ControlSpec& spec, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  PictureMode mode_;
};

class SuperBtn : public QAbstractButton {
 public:
  SuperBtn(const ControlSpec& spec, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;  // with its transparent colour turned into alpha
};

}  // namespace qc
