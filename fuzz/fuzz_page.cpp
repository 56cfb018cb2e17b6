// Fuzzes the scraping of a city page end to end, without network or disk: the HTTP transport
// answers the city page's URL with the input and icon URLs in turn with a small PNG and with
// nothing, and the run directory names a folder that does not exist, so no profile or icon
// write can land. Every panel records its operations, cleared between runs.
//
// An input whose first byte is odd skips the fetch: the bytes after it are taken as the
// content slice and the four sections run on it directly, the short way to the section code.
// Real pages (above 30000 bytes, so that the sections are reached) are in the seed corpus.
#include <unistd.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/form_state.h"
#include "app/globals.h"
#include "drawing/graphics_surface.h"
#include "primitives/text.h"
#include "query/forecast_section.h"
#include "query/http_get.h"
#include "query/info_section.h"
#include "query/nearby_section.h"
#include "query/query_city.h"
#include "query/today_section.h"

namespace {

namespace fs = std::filesystem;

// As the program writes it: "\" separators, so the file layer turns it into "/nonexistent-...".
constexpr char kRunDirectory[] = "\\nonexistent-qc-fuzz";
constexpr char kNativeRunDirectory[] = "/nonexistent-qc-fuzz";

// Made once and never destroyed: tearing Qt down while the process exits is not what is
// being fuzzed, and its statics may already be gone by then.
QGuiApplication* g_app = nullptr;
qc::Bytes g_page;
qc::Bytes g_icon;
unsigned g_iconRequests = 0;
fs::path g_runtime;

qc::Bytes FakeTransport(const qc::Text& url) {
  if (url.find("/search.php?") != qc::Text::npos)
    return g_page;
  // Every other icon request gets nothing, the way a failing portal answers.
  return (g_iconRequests++ % 2 == 0) ? g_icon : qc::Bytes();
}

qc::Bytes SmallPng() {
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(QColor(200, 120, 40, 180));
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  const QByteArray& bytes = buffer.data();
  return qc::Bytes(bytes.begin(), bytes.end());
}

void ResetRecords() {
  qc::FormState& form = qc::Form();
  for (qc::DrawPanel* panel :
       {&form.mainPanel, &form.infoPanel, &form.forecastPanel, &form.followedPanel}) {
    panel->SetRecording(qc::Recording::Off);
    panel->SetRecording(qc::Recording::On);
  }
}

// As in the program: the toolkit's warnings about broken pictures are dropped, here so that
// the fuzzer's own output stays readable and fast.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

// Fontconfig keeps the patterns of the first fonts it is asked for for the rest of the process,
// which the leak checker sees as a leak of whichever input drew the first text.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path("/tmp");
  g_runtime = base / ("qc-fuzz-page-" + std::to_string(::getpid()));
  fs::create_directories(g_runtime);
  fs::permissions(g_runtime, fs::perms::owner_all, fs::perm_options::replace);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_RUNTIME_DIR", g_runtime.c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(g_runtime, ignored);
  });
  if (fs::exists(kNativeRunDirectory)) {
    std::fprintf(stderr, "%s exists; the fuzzer needs a run directory that does not\n",
                 kNativeRunDirectory);
    std::abort();
  }
  qInstallMessageHandler(DropMessage);
  g_app = new QGuiApplication(*argc, *argv);
  g_icon = SmallPng();
  qc::SetHttpTransport(&FakeTransport);
  qc::CreateGlobals();
  qc::CreateForm();
  qc::RunDirectory = kRunDirectory;
  qc::StartGraphicsLayer(&qc::GraphicsToken);
  ResetRecords();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ResetRecords();
  // Every name recorded since start-up stays in the set; cleared so that memory stays flat.
  qc::FollowedSet.Clear();
  if (size > 0 && (data[0] & 1) != 0) {
    const qc::Text content(reinterpret_cast<const char*>(data) + 1, size - 1);
    qc::DrawNearbySection(content);
    qc::DrawTodaySection(content);
    qc::DrawInfoSection(content);
    qc::DrawForecastSection(content);
  } else {
    g_page.assign(data, data + size);
    qc::QueryCity("x");
  }
  // Nothing may have been written outside the run directory, nor the directory created.
  if (fs::exists(kNativeRunDirectory)) {
    std::fprintf(stderr, "the query created %s\n", kNativeRunDirectory);
    std::abort();
  }
  return 0;
}
