#pragma once
// 窗口: the program's one window, built from the form table over the live form state. Fixed in
// size, with a minimise button and no maximise button; Escape closes it.

#include <QImage>
#include <QWidget>
#include <map>
#include <string>

#include "app/form_state.h"

namespace qc {

class PanelView;
class SearchBox;

class MainWindow : public QWidget {
 public:
  explicit MainWindow(FormState& form);
  ~MainWindow() override;

  // A control by its form name ("画板_关注", "编辑框_搜索", ...); nullptr for unknown names.
  QWidget* Control(std::string_view name) const;
  PanelView* FollowedPanelView() const { return followedView_; }
  SearchBox* SearchBoxWidget() const { return searchBox_; }
  // Moves the window to the centre of its screen.
  void Centre();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FormState& form_;
  QImage background_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  PanelView* followedView_ = nullptr;
  SearchBox* searchBox_ = nullptr;
};

}  // namespace qc
