#pragma once
// 编辑框_搜索: a borderless single-line box whose typed text feeds the form state, and whose key
// presses reach OnSearchKeyPressed with their key codes.

#include <QLineEdit>

#include "app/form_state.h"
#include "app/form_table.h"

namespace qc {

class SearchBox : public QLineEdit {
 public:
  SearchBox(const ControlSpec& spec, TextValue& value, QWidget* parent);
  ~SearchBox() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TextValue& value_;
};

// The platform key code of a key event: 13 for Enter and Return, the upper-case letter or digit
// for those keys, 0 for others.
int KeyCodeOf(const QKeyEvent& event);

}  // namespace qc
