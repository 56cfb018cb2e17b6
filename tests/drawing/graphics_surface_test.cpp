#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "drawing/draw_panel_qt.h"
#include "drawing/graphics_surface.h"
#include "picture_fixtures.h"
#include "primitives/native_path.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

namespace fs = std::filesystem;
using test::BoundsOf;
using test::CountOf;
using test::Encode;
using test::Solid;

constexpr QRgb kWhite = 0xFFFFFFFF;

PanelLook WhiteLook() {
  PanelLook look;
  look.clientWidth = 20;
  look.clientHeight = 20;
  look.backgroundColour = 0xFFFFFF;
  return look;
}

// A fresh folder with a half-transparent red PNG in a Chinese-named subfolder.
class IconFiles {
 public:
  IconFiles() {
    root_ = fs::temp_directory_path() /
            ("qc-surface-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(root_ / "图标");
    Write(root_ / "图标" / "晴.png", Encode(Solid(4, 4, 0x80FF0000), "png"));
    Write(root_ / "blue.png", Encode(Solid(4, 4, 0xFF0000FF), "png"));
    Write(root_ / "note.png", Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  }
  ~IconFiles() {
    std::error_code ignored;  // a leftover temporary folder is not worth failing a test
    fs::remove_all(root_, ignored);
  }
  Text Path(const fs::path& relative) const { return TextPath(root_ / relative); }
  const fs::path& Root() const { return root_; }

 private:
  static void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static inline int counter_ = 0;
  fs::path root_;
};

TEST(GraphicsLayerDeathTest, BeforeTheLayerStartsNothingBindsOrLoads) {
  // The layer cannot be stopped again, so this runs in a fresh copy of the test program.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  IconFiles files;
  EXPECT_EXIT(
      {
        DrawPanel panel(WhiteLook());
        GraphicsSurface surface;
        ImageObject image;
        bool ok = !GraphicsLayerStarted();
        ok &= surface.BindToWindow(panel.Handle()) != kStatusOk && surface.NativeHandle() == 0;
        ok &= image.LoadFromFile(files.Path("blue.png")) != kStatusOk && image.NativeHandle() == 0;
        ok &= surface.DrawImageRect(image, 0, 0, 20, 20) != kStatusOk;
        ok &= CountOf(PanelPixels(panel), kWhite) == 400;
        std::exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

class GraphicsSurfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    std::uintptr_t token = 0;
    ASSERT_EQ(StartGraphicsLayer(&token), kStatusOk);
    EXPECT_EQ(token, 1u);
  }
  IconFiles files_;
};

TEST_F(GraphicsSurfaceTest, BlendsTheImageIntoThePanelsPersistentImage) {
  DrawPanel panel(WhiteLook());
  panel.SetRecording(Recording::On);
  int changes = 0;
  panel.SetChangedCallback([&] { ++changes; });
  GraphicsSurface surface;
  ImageObject image;
  ASSERT_EQ(surface.BindToWindow(panel.Handle()), kStatusOk);
  ASSERT_EQ(image.LoadFromFile(files_.Path(fs::path("图标") / "晴.png")), kStatusOk);
  EXPECT_EQ(image.SourcePath(), files_.Path(fs::path("图标") / "晴.png"));
  EXPECT_EQ(surface.DrawImageRect(image, 2, 3, 8, 8), kStatusOk);

  const QImage& pixels = PanelPixels(panel);
  const QRgb blended = pixels.pixel(5, 6);
  EXPECT_EQ(qRed(blended), 255);
  EXPECT_NEAR(qGreen(blended), 127, 2);
  EXPECT_NEAR(qBlue(blended), 127, 2);
  EXPECT_EQ(BoundsOf(pixels, blended), QRect(2, 3, 8, 8));
  EXPECT_EQ(changes, 1);

  ASSERT_EQ(panel.Ops().size(), 1u);
  const auto& op = std::get<DrawImageOp>(panel.Ops()[0]);
  EXPECT_EQ(std::make_tuple(op.x, op.y, op.width, op.height), std::make_tuple(2.f, 3.f, 8.f, 8.f));
  EXPECT_EQ(op.path, image.SourcePath());
  EXPECT_TRUE(op.loaded);
}

TEST_F(GraphicsSurfaceTest, AFailedLoadDropsThePreviousImageAndDrawsNothing) {
  fs::create_directory(files_.Root() / "folder.png");
  {
    // Claims to be a PNG but is larger than any icon; sparse, so it costs no disk.
    std::ofstream(files_.Root() / "huge.png", std::ios::binary).write("\x89PNG\r\n\x1a\n", 8);
    fs::resize_file(files_.Root() / "huge.png", (16u << 20) + 1);
  }
  struct Row {
    const char* rule;
    const char* file;
    GraphicsStatus status;
  };
  const Row rows[] = {
      {"missing", "missing.png", kStatusFileNotFound},
      {"a folder", "folder.png", kStatusFileNotFound},
      {"too large", "huge.png", kStatusFileNotFound},
      {"not an image", "note.png", kStatusUnknownImageFormat},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    DrawPanel panel(WhiteLook());
    GraphicsSurface surface;
    ImageObject image;
    ASSERT_EQ(surface.BindToWindow(panel.Handle()), kStatusOk);
    ASSERT_EQ(image.LoadFromFile(files_.Path("blue.png")), kStatusOk);
    ASSERT_NE(image.NativeHandle(), 0u);

    panel.SetRecording(Recording::On);
    EXPECT_EQ(image.LoadFromFile(files_.Path(row.file)), row.status);
    EXPECT_EQ(image.NativeHandle(), 0u);
    EXPECT_NE(surface.DrawImageRect(image, 0, 0, 20, 20), kStatusOk);
    EXPECT_EQ(CountOf(PanelPixels(panel), kWhite), 400);
    ASSERT_EQ(panel.Ops().size(), 1u);
    const auto& op = std::get<DrawImageOp>(panel.Ops()[0]);
    EXPECT_EQ(op.path, files_.Path(row.file));
    EXPECT_FALSE(op.loaded);
  }
}

TEST_F(GraphicsSurfaceTest, ReadsTheUsualImageFormatsAndNoOthers) {
  const QImage blue = Solid(4, 4, 0xFF0000FF);
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'>"
      "<rect width='4' height='4' fill='blue'/></svg>";
  struct Row {
    const char* file;
    Bytes bytes;
    GraphicsStatus status;
  };
  const Row rows[] = {
      {"a.png", Encode(blue, "png"), kStatusOk},
      {"a.jpg", Encode(blue, "jpeg"), kStatusOk},
      {"a.gif", test::OnePixelGif(true, 0, 0, 255), kStatusOk},
      {"a.bmp", Encode(blue, "bmp"), kStatusOk},
      {"a.ico", Encode(blue, "ico"), kStatusOk},
      {"a.svg", Bytes(svg.begin(), svg.end()), kStatusUnknownImageFormat},
      {"a.tif", Encode(blue, "tiff"), kStatusUnknownImageFormat},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::ofstream(files_.Root() / row.file, std::ios::binary)
        .write(reinterpret_cast<const char*>(row.bytes.data()), std::streamsize(row.bytes.size()));
    ImageObject image;
    EXPECT_EQ(image.LoadFromFile(files_.Path(row.file)), row.status);
    EXPECT_EQ(image.NativeHandle() != 0, row.status == kStatusOk);
  }
}

TEST_F(GraphicsSurfaceTest, ASecondBindReplacesTheFirst) {
  DrawPanel first(WhiteLook()), second(WhiteLook());
  GraphicsSurface surface;
  ImageObject image;
  ASSERT_EQ(image.LoadFromFile(files_.Path("blue.png")), kStatusOk);
  ASSERT_EQ(surface.BindToWindow(first.Handle()), kStatusOk);
  const GraphicsSurface::Handle old = surface.NativeHandle();
  ASSERT_EQ(surface.BindToWindow(second.Handle()), kStatusOk);
  EXPECT_NE(surface.NativeHandle(), old);

  EXPECT_EQ(surface.DrawImageRect(image, 0, 0, 4, 4), kStatusOk);
  EXPECT_EQ(CountOf(PanelPixels(second), 0xFF0000FF), 16);
  EXPECT_EQ(CountOf(PanelPixels(first), kWhite), 400);

  // The first binding is gone: its handle, taken up by another surface, draws nowhere.
  GraphicsSurface stale;
  stale.SetHandle(old);
  EXPECT_NE(stale.DrawImageRect(image, 0, 0, 4, 4), kStatusOk);
  EXPECT_EQ(CountOf(PanelPixels(first), kWhite), 400);
}

TEST_F(GraphicsSurfaceTest, AHandleThatNamesNoLivePanelFailsAndUnbinds) {
  ImageObject image;
  ASSERT_EQ(image.LoadFromFile(files_.Path("blue.png")), kStatusOk);
  GraphicsSurface surface;
  {
    DrawPanel gone(WhiteLook());
    ASSERT_EQ(surface.BindToWindow(gone.Handle()), kStatusOk);
  }
  EXPECT_NE(surface.DrawImageRect(image, 0, 0, 4, 4), kStatusOk);

  DrawPanel live(WhiteLook());
  ASSERT_EQ(surface.BindToWindow(live.Handle()), kStatusOk);
  EXPECT_NE(surface.BindToWindow(live.Handle() + 1), kStatusOk);
  EXPECT_EQ(surface.NativeHandle(), 0u);
  EXPECT_NE(surface.DrawImageRect(image, 0, 0, 4, 4), kStatusOk);
  EXPECT_EQ(CountOf(PanelPixels(live), kWhite), 400);
}

TEST_F(GraphicsSurfaceTest, TakingTheHandleAlreadyHeldKeepsItAlive) {
  DrawPanel panel(WhiteLook());
  GraphicsSurface surface;
  ImageObject image;
  ASSERT_EQ(surface.BindToWindow(panel.Handle()), kStatusOk);
  ASSERT_EQ(image.LoadFromFile(files_.Path("blue.png")), kStatusOk);
  surface.SetHandle(surface.NativeHandle());
  image.SetHandle(image.NativeHandle());
  EXPECT_EQ(surface.DrawImageRect(image, 0, 0, 4, 4), kStatusOk);
  EXPECT_EQ(CountOf(PanelPixels(panel), 0xFF0000FF), 16);
}

}  // namespace
}  // namespace qc
