// Fuzzes picture decoding as panels and the icon cache meet it: DrawPicture of arbitrary bytes
// at fuzzed places and extents, the same bytes as a panel's background picture in each layout,
// and ImageObject::LoadFromFile of the bytes written to a file, drawn through a surface. Any
// crash, sanitizer report or slow input is a finding.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <QGuiApplication>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "drawing/draw_panel.h"
#include "drawing/graphics_surface.h"

namespace {

namespace fs = std::filesystem;

// Made once and never destroyed: tearing Qt down while the process exits is not what is
// being fuzzed, and its statics may already be gone by then.
QGuiApplication* g_app = nullptr;
qc::DrawPanel* g_panel = nullptr;
fs::path g_dir;

int ConsumeCoordinate(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return in.ConsumeIntegral<int>();
    case 1:
      return in.ConsumeBool() ? INT_MIN : INT_MAX;
    default:
      return in.ConsumeIntegralInRange(-200, 200);
  }
}

std::optional<int> ConsumeExtent(FuzzedDataProvider& in) {
  if (in.ConsumeBool())
    return std::nullopt;
  return ConsumeCoordinate(in);
}

// As in the program: the toolkit's warnings about broken pictures are dropped, here so that
// the fuzzer's own output stays readable and fast.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path("/tmp");
  g_dir = base / ("qc-fuzz-picture-" + std::to_string(::getpid()));
  fs::create_directories(g_dir / "runtime");
  fs::permissions(g_dir / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_RUNTIME_DIR", (g_dir / "runtime").c_str(), 1);
  qInstallMessageHandler(DropMessage);
  g_app = new QGuiApplication(*argc, *argv);
  std::uintptr_t token = 0;
  qc::StartGraphicsLayer(&token);
  qc::PanelLook look;
  look.clientWidth = 120;
  look.clientHeight = 90;
  look.backgroundColour = 0x336699;
  g_panel = new qc::DrawPanel(look);
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(g_dir, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int mode = in.ConsumeIntegralInRange(0, 2);
  const int left = ConsumeCoordinate(in);
  const int top = ConsumeCoordinate(in);
  const std::optional<int> width = ConsumeExtent(in);
  const std::optional<int> height = ConsumeExtent(in);
  const auto layout = static_cast<qc::PictureLayout>(in.ConsumeIntegralInRange(0, 2));
  const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  const qc::Bytes picture(bytes.begin(), bytes.end());

  switch (mode) {
    case 0:
      g_panel->DrawPicture(picture, left, top, width, height);
      break;
    case 1: {
      qc::PanelLook look = g_panel->Look();
      look.backgroundPicture = picture;
      look.layout = layout;
      qc::DrawPanel panel(look);
      panel.ClearRect();
      panel.ClearRect(left, top, width, height);
      break;
    }
    default: {
      const fs::path file = g_dir / "icon.png";
      std::ofstream(file, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
      qc::ImageObject image;
      image.LoadFromFile(file.string());
      qc::GraphicsSurface surface;
      surface.BindToWindow(g_panel->Handle());
      surface.DrawImageRect(image, static_cast<float>(left), static_cast<float>(top),
                            static_cast<float>(width.value_or(40)),
                            static_cast<float>(height.value_or(40)));
      std::error_code ignored;
      fs::remove(file, ignored);
      break;
    }
  }
  return 0;
}
