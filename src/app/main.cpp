// 晴窗: wires the globals, the form and the window together and runs the message loop.
#include <QApplication>

#include "app/form_state.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/startup.h"

namespace {

// The program shows no messages and logs nothing; the toolkit's own warnings (a corrupt picture
// from the portal, a missing platform feature) are dropped too.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(DropMessage);
  QApplication app(argc, argv);
  qc::CreateGlobals();
  int status = 0;
  {
    qc::CreateForm();
    qc::MainWindow window(qc::Form());
    qc::InstallBusyPointer();
    qc::OnMainWindowCreated(window);
    status = app.exec();
  }
  qc::ReleaseGlobals();
  qc::DestroyForm();
  return status;
}
