#include "probe/probe_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/form_state.h"
#include "app/gbk_unicode.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/panel_view.h"
#include "app/search_box.h"
#include "app/startup.h"
#include "drawing/icon_strip.h"
#include "primitives/files.h"
#include "primitives/native_path.h"
#include "probe/probe_json.h"
#include "query/http_get.h"
#include "query/portal_host.h"
#include "query/query_observer.h"

namespace qc {
namespace {

// Notes where each query began in every panel's record.
class QueryLog : public QueryObserver {
 public:
  void QueryStarted(const Text& city) override {
    QueryRecord record{city, {}};
    for (const NamedPanel& named : NamedPanels(Form())) {
      record.start.emplace_back(std::string(named.name),
                                static_cast<int>(named.panel->Ops().size()));
    }
    queries.push_back(std::move(record));
  }
  void QueryFinished() override {}
  std::vector<QueryRecord> queries;
};

void Settle() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool WriteSnapshot(const MainWindow& window, const QueryLog& log, const QString& dir,
                   const QString& name) {
  Settle();
  const QImage image = const_cast<MainWindow&>(window).grab().toImage();
  image.save(dir + "/" + name + ".png");
  QFile json(dir + "/" + name + ".json");
  if (!json.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  json.write(QJsonDocument(WindowToJson(window, log.queries)).toJson(QJsonDocument::Indented));
  return true;
}

bool ParsePoint(const std::string& text, int& x, int& y) {
  return std::sscanf(text.c_str(), "%d,%d", &x, &y) == 2;
}

void SendKey(QWidget* target, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

void SendMouse(PanelView* view, QEvent::Type type, int x, int y) {
  const QPointF local(x + view->Edge(), y + view->Edge());
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
  QMouseEvent event(type, local, view->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(view, &event);
}

}  // namespace

bool ParseProbeArguments(int argc, char** argv, ProbeOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc)
        return false;
      into = argv[++i];
      return true;
    };
    if (arg == "--portal") {
      if (!value(options.portal))
        break;
    } else if (arg == "--run-dir") {
      if (!value(options.runDir))
        break;
    } else if (arg == "--out") {
      if (!value(options.outDir))
        break;
    } else if (arg == "--http-timeout") {
      std::string seconds;
      if (!value(seconds))
        break;
      char* end = nullptr;
      options.httpTimeoutSeconds = std::strtol(seconds.c_str(), &end, 10);
      if (seconds.empty() || *end != '\0' || options.httpTimeoutSeconds <= 0) {
        error = "--http-timeout wants a positive number of seconds";
        return false;
      }
    } else if (arg.rfind("--", 0) == 0) {
      error = "unknown option " + arg;
      return false;
    } else {
      options.actions.push_back(arg);
    }
  }
  if (options.portal.empty() || options.runDir.empty() || options.outDir.empty()) {
    error = "--portal, --run-dir and --out are required";
    return false;
  }
  return true;
}

int RunProbe(const ProbeOptions& options) {
  std::error_code ignored;
  std::filesystem::create_directories(options.runDir, ignored);
  std::filesystem::create_directories(options.outDir, ignored);
  const QString out = QString::fromStdString(options.outDir);

  SetPortalHost(options.portal);
  if (options.httpTimeoutSeconds > 0) {
    HttpLimits limits = CurrentHttpLimits();
    limits.transferTimeoutSeconds = options.httpTimeoutSeconds;
    limits.connectTimeoutSeconds = std::min(10L, options.httpTimeoutSeconds);
    SetHttpLimits(limits);
  }
  OverrideProgramDirectory(TextPath(std::filesystem::absolute(options.runDir)));

  CreateGlobals();
  CreateForm();
  for (const NamedPanel& named : NamedPanels(Form()))
    named.panel->SetRecording(Recording::On);
  int status = 0;
  {
    MainWindow window(Form());
    QueryLog log;
    SetQueryObserver(&log);
    OnMainWindowCreated(window);
    Settle();

    for (const std::string& action : options.actions) {
      int x = 0;
      int y = 0;
      if (action.rfind("type=", 0) == 0) {
        const QString text = QString::fromUtf8(action.substr(5).c_str());
        window.SearchBoxWidget()->setText(text);
        Form().searchBox.SetFromView(ToGbk(text));
      } else if (action == "key=enter") {
        SendKey(window.SearchBoxWidget(), Qt::Key_Return, "\r");
      } else if (action == "key=escape") {
        SendKey(window.SearchBoxWidget(), Qt::Key_Escape, QString(QChar(27)));
        if (!window.isVisible())
          break;
      } else if (action.rfind("key=", 0) == 0 && action.size() == 5) {
        const QChar c = QChar::fromLatin1(action[4]);
        SendKey(window.SearchBoxWidget(), Qt::Key_A + (c.toUpper().unicode() - 'A'), c);
      } else if (action == "click-search") {
        static_cast<QAbstractButton*>(window.Control("超级按钮_搜索"))->click();
      } else if (action.rfind("press=", 0) == 0 && ParsePoint(action.substr(6), x, y)) {
        SendMouse(window.FollowedPanelView(), QEvent::MouseButtonPress, x, y);
        SendMouse(window.FollowedPanelView(), QEvent::MouseButtonRelease, x, y);
      } else if (action.rfind("move=", 0) == 0 && ParsePoint(action.substr(5), x, y)) {
        SendMouse(window.FollowedPanelView(), QEvent::MouseMove, x, y);
      } else if (action.rfind("snap=", 0) == 0) {
        WriteSnapshot(window, log, out, QString::fromStdString(action.substr(5)));
      } else if (action == "strip") {
        for (int i = 0; i < 54; ++i) {
          const Bytes bmp = StripIcon(IconStrip(), i, Rgb(0xFFFFFF));
          QFile file(out + QString::asprintf("/strip-%02d.bmp", i));
          if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(reinterpret_cast<const char*>(bmp.data()), static_cast<qint64>(bmp.size()));
          }
        }
      } else {
        std::fprintf(stderr, "qingchuang-probe: unknown action %s\n", action.c_str());
        status = 2;
        break;
      }
      Settle();
    }
    WriteSnapshot(window, log, out, "final");
    window.close();
    SetQueryObserver(nullptr);
  }
  ReleaseGlobals();
  QFile exitFile(out + "/exit.json");
  if (exitFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    exitFile.write(
        QJsonDocument(QJsonObject{{"globals_released", GlobalsReleaseCount()}}).toJson());
  }
  DestroyForm();
  return status;
}

}  // namespace qc
