#include "app/panel_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "drawing/draw_panel_qt.h"
#include "followed/panel_pointer.h"

namespace qc {
namespace {

// The tip shows its text literally: an ampersand or a "<" is not markup.
QString TipMarkup(const QString& text) {
  return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace

PanelView::PanelView(const ControlSpec& spec, DrawPanel& panel, PointerEvents pointer,
                     QWidget* parent)
    : QWidget(parent), panel_(panel), pointer_(pointer), edge_(spec.border == 0 ? 0 : 1) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (spec.pointer == Pointer::Hand)
    setCursor(Qt::PointingHandCursor);
  setMouseTracking(pointer_ == PointerEvents::Followed);
  panel_.SetChangedCallback([this] { update(); });
}

PanelView::~PanelView() {
  panel_.SetChangedCallback(nullptr);
}

void PanelView::SetToolTipText(const QString& text) {
  toolTip_ = text;
  // Keeps a visible tip in step with the text, as the platform's tooltip does while the pointer
  // rests on its tool.
  if (underMouse() && QToolTip::isVisible()) {
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(QCursor::pos(), TipMarkup(text), this);
    }
  }
}

void PanelView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(edge_, edge_, PanelPixels(panel_));
  if (edge_ != 0) {
    // A shallow sunken edge: grey above and to the left, white below and to the right.
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(Qt::white);
    painter.drawLine(1, height() - 1, width() - 1, height() - 1);
    painter.drawLine(width() - 1, 1, width() - 1, height() - 1);
  }
}

void PanelView::mouseMoveEvent(QMouseEvent* event) {
  if (pointer_ != PointerEvents::Followed)
    return;
  const QPoint p = event->position().toPoint() - QPoint(edge_, edge_);
  OnFollowedPanelMouseMove(p.x(), p.y());
}

void PanelView::mousePressEvent(QMouseEvent* event) {
  if (pointer_ != PointerEvents::Followed || event->button() != Qt::LeftButton)
    return;
  const QPoint p = event->position().toPoint() - QPoint(edge_, edge_);
  OnFollowedPanelLeftDown(p.x(), p.y());
}

bool PanelView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && pointer_ == PointerEvents::Followed) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (toolTip_.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), TipMarkup(toolTip_), this);
    }
    return true;
  }
  return QWidget::event(event);
}

}  // namespace qc
