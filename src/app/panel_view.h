#pragma once
// Shows a DrawPanel's persistent image in the window, with the panel's border, and hands the
// pointer events of 画板_关注 to its handlers in client coordinates.

#include <QWidget>

#include "app/form_table.h"
#include "drawing/draw_panel.h"

namespace qc {

enum class PointerEvents { Ignored, Followed };

class PanelView : public QWidget {
 public:
  PanelView(const ControlSpec& spec, DrawPanel& panel, PointerEvents pointer, QWidget* parent);
  ~PanelView() override;

  // The tooltip's current text; shown while the pointer rests on the panel.
  void SetToolTipText(const QString& text);
  int Edge() const { return edge_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  DrawPanel& panel_;
  PointerEvents pointer_;
  int edge_;
  QString toolTip_;
};

}  // namespace qc
