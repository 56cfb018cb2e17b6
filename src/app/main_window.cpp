#include "app/main_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <vector>

#include "app/form_table.h"
#include "app/gbk_unicode.h"
#include "app/panel_view.h"
#include "app/picture_widgets.h"
#include "app/search_box.h"
#include "app/search_entry.h"

namespace qc {
namespace {

QColor ToQColor(Colour c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The label font: 宋体 maps to the installed Song face, the default GUI font to a sans face
// with CJK coverage.
QFont LabelFont(const ControlSpec& spec) {
  QFont font;
  if (spec.font && spec.font->face == "宋体") {
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei")});
  } else {
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei")});
  }
  font.setPixelSize(spec.font ? spec.font->pixelHeight : 12);
  font.setWeight(spec.font && spec.font->bold ? QFont::Bold : QFont::Normal);
  return font;
}

QLabel* MakeLabel(const ControlSpec& spec, TextValue& value, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
  label->setFont(LabelFont(spec));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ToQColor(spec.textColour));
  label->setPalette(palette);
  label->setText(FromGbk(value.Get()));
  value.SetChangedCallback([label](const Text& text) { label->setText(FromGbk(text)); });
  return label;
}

}  // namespace

MainWindow::MainWindow(FormState& form)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      form_(form),
      background_(FormPicture(kWindowPicture)) {
  setFixedSize(kClientWidth, kClientHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The nearby rows' tips show whenever the pointer rests on the panel, active window or not.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  QIcon icon;
  for (const char* name : {"window_icon_32.png", "window_icon_64.png"}) {
    const QImage image = FormPicture(name);
    if (!image.isNull())
      icon.addPixmap(QPixmap::fromImage(image));
  }
  setWindowIcon(icon);

  // Parents come after their children in the form, so the picture boxes are made first.
  const auto table = FormControlsTable();
  std::vector<const ControlSpec*> order;
  for (auto it = table.rbegin(); it != table.rend(); ++it)
    order.push_back(&*it);

  for (const ControlSpec* spec : order) {
    QWidget* parent = spec->parent == kWindowName ? this : controls_.find(spec->parent)->second;
    QWidget* widget = nullptr;
    switch (spec->kind) {
      case ControlKind::PicBox:
        widget = new PicBox(*spec, parent);
        break;
      case ControlKind::SuperBtn: {
        auto* button = new SuperBtn(*spec, parent);
        if (spec->name == "超级按钮_搜索")
          connect(button, &QAbstractButton::clicked, [] { RunSearch(); });
        widget = button;
        break;
      }
      case ControlKind::EditBox:
        searchBox_ = new SearchBox(*spec, form_.searchBox, parent);
        widget = searchBox_;
        break;
      case ControlKind::TransLabel:
        widget = MakeLabel(*spec, spec->name == "透明标签1" ? form_.titleLabel : form_.regionLabel,
                           parent);
        break;
      case ControlKind::DrawPanel: {
        DrawPanel* panelOfSpec = &form_.followedPanel;
        for (const NamedPanel& named : NamedPanels(form_)) {
          if (named.name == spec->name)
            panelOfSpec = named.panel;
        }
        DrawPanel& panel = *panelOfSpec;
        const bool followed = &panel == &form_.followedPanel;
        auto* view = new PanelView(
            *spec, panel, followed ? PointerEvents::Followed : PointerEvents::Ignored, parent);
        if (followed)
          followedView_ = view;
        widget = view;
        break;
      }
    }
    widget->setGeometry(spec->left, spec->top, spec->width, spec->height);
    if (spec->kind != ControlKind::EditBox && spec->kind != ControlKind::SuperBtn) {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    widget->setObjectName(QString::fromUtf8(spec->name.data(), spec->name.size()));
    controls_.emplace(std::string(spec->name), widget);
  }
  // Earlier controls of the form lie above later ones.
  for (const ControlSpec* spec : order)
    controls_.find(spec->name)->second->raise();

  // Tab order follows the form: the search box, then the search button and the three others.
  QWidget* previous = nullptr;
  for (const ControlSpec& spec : table) {
    if (!spec.tabStop)
      continue;
    QWidget* widget = controls_.find(spec.name)->second;
    if (previous != nullptr)
      setTabOrder(previous, widget);
    previous = widget;
  }

  form_.caption.SetChangedCallback([this](const Text& text) { setWindowTitle(FromGbk(text)); });
  form_.tooltip.SetChangedCallback(
      [this](const Text& text) { followedView_->SetToolTipText(FromGbk(text)); });
}

MainWindow::~MainWindow() {
  form_.caption.SetChangedCallback(nullptr);
  form_.tooltip.SetChangedCallback(nullptr);
  form_.titleLabel.SetChangedCallback(nullptr);
  form_.regionLabel.SetChangedCallback(nullptr);
}

QWidget* MainWindow::Control(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::Centre() {
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return;
  const QRect available = screen->availableGeometry();
  const QSize outer = frameGeometry().size().expandedTo(QSize(kWindowWidth, kWindowHeight));
  move(available.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().button());
  if (!background_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), background_);
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace qc
