#include "app/startup.h"

#include <QApplication>
#include <QCursor>

#include "app/gbk_unicode.h"
#include "app/globals.h"
#include "app/panel_view.h"
#include "followed/followed_panel.h"
#include "primitives/files.h"
#include "query/query_observer.h"

namespace qc {

class BusyPointer : public QueryObserver {
 public:
  void QueryStarted(const Text&) override {
    if (depth_++ == 0)
      QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  void QueryFinished() override {
    if (--depth_ == 0)
      QApplication::restoreOverrideCursor();
  }

 private:
  int depth_ = 0;
};

void InstallBusyPointer() {
  static BusyPointer pointer;
  SetQueryObserver(&pointer);
}

int StartGraphics() {
  return StartGraphicsLayer(&GraphicsToken);
}

void OnMainWindowCreated(MainWindow& window) {
  FormState& form = Form();
  form.caption.Set(ToGbk(QString::fromUtf8(kCaptionUtf8)));
  RunDirectory = ProgramDirectory();
  // The frame belongs to the window manager; the client area is the fixed 698 x 489 inside the
  // 704 x 517 window.
  window.setFixedSize(kClientWidth, kClientHeight);
  window.Centre();
  window.show();
  FollowedPanelWindow = form.followedPanel.Handle();
  form.tooltip.Set(Text());
  StartGraphics();
  RefreshFollowedPanel(RefreshMode::StartUp);
}

}  // namespace qc
