#include "app/search_box.h"

#include <QKeyEvent>

#include "app/gbk_unicode.h"
#include "app/search_entry.h"

namespace qc {

int KeyCodeOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter)
    return kEnterKey;
  if (key == Qt::Key_Escape)
    return 27;
  if (key == Qt::Key_Space)
    return 32;
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
    return key;
  return 0;
}

SearchBox::SearchBox(const ControlSpec& spec, TextValue& value, QWidget* parent)
    : QLineEdit(parent), value_(value) {
  setFrame(false);
  setFocusPolicy(Qt::StrongFocus);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QFont font = this->font();
  font.setPixelSize(spec.font ? spec.font->pixelHeight : 21);
  font.setWeight(QFont::Normal);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, QColor(RedOf(spec.background), GreenOf(spec.background),
                                          BlueOf(spec.background)));
  palette.setColor(QPalette::Text, QColor(RedOf(spec.textColour), GreenOf(spec.textColour),
                                          BlueOf(spec.textColour)));
  setPalette(palette);
  setText(FromGbk(value_.Get()));
  connect(this, &QLineEdit::textEdited, this,
          [this](const QString& text) { value_.SetFromView(ToGbk(text)); });
  value_.SetChangedCallback([this](const Text& text) { setText(FromGbk(text)); });
}

SearchBox::~SearchBox() {
  value_.SetChangedCallback(nullptr);
}

void SearchBox::keyPressEvent(QKeyEvent* event) {
  const int code = KeyCodeOf(*event);
  if (code == kEnterKey) {
    // The box keeps Enter for itself; it never moves the focus or presses a default button.
    event->accept();
    OnSearchKeyPressed(code);
    return;
  }
  // Escape is not taken by a single-line box: it goes on to the window, which closes.
  QLineEdit::keyPressEvent(event);
  if (code != 0)
    OnSearchKeyPressed(code);
}

}  // namespace qc
