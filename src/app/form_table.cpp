#include "app/form_table.h"

#include <algorithm>

#include "drawing/embedded_assets.h"

namespace qc {
namespace {

constexpr FontSpec kSong21{"宋体", 21, false};
// The edit box asks for a 21-pixel GB2312 font without a face name and lets the system choose.
constexpr FontSpec kSystem21{"", 21, false};

// clang-format off
constexpr ControlSpec kControls[] = {
  // name            kind                     parent    left top  w    h   border picture                   mode                     layout                   background  text            pen             font        tab    pointer           transparent
  {"透明标签2",     ControlKind::TransLabel, "窗口",    232, 65,  384, 20,  0, "",                        PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"透明标签1",     ControlKind::TransLabel, "图片框2", 24,  10,  160, 24,  0, "",                        PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0xFFFFFF), Rgb(0x000000), kSong21,      false, Pointer::Standard, kNoColour},
  {"超级按钮_搜索", ControlKind::SuperBtn,   "图片框1", 296, 8,   96,  36,  0, "button_search.jpg",       PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, true,  Pointer::Standard, Rgb(0xFFFFFF)},
  {"超级按钮3",     ControlKind::SuperBtn,   "图片框1", 600, 16,  75,  24,  0, "button_add.jpg",          PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, true,  Pointer::Standard, kNoColour},
  {"超级按钮2",     ControlKind::SuperBtn,   "图片框1", 512, 16,  75,  24,  0, "button_add.jpg",          PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, true,  Pointer::Standard, kNoColour},
  {"超级按钮1",     ControlKind::SuperBtn,   "图片框1", 424, 16,  75,  24,  0, "button_add.jpg",          PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, true,  Pointer::Standard, kNoColour},
  {"画板_主",       ControlKind::DrawPanel,  "窗口",    218, 88,  300, 208, 0, "panel_main.jpg",          PictureMode::Natural,   PictureLayout::Tiled,    kNoColour,  Rgb(0xFFFFFF), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"画板_信息",     ControlKind::DrawPanel,  "窗口",    528, 83,  168, 208, 0, "panel_info.gif",          PictureMode::Natural,   PictureLayout::Tiled,    kNoColour,  Rgb(0xCB8B56), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"画板_未来",     ControlKind::DrawPanel,  "窗口",    218, 328, 480, 160, 0, "panel_forecast.gif",      PictureMode::Natural,   PictureLayout::Tiled,    kNoColour,  Rgb(0xFFFFFF), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"图片框7",       ControlKind::PicBox,     "窗口",    224, 300, 88,  24,  0, "forecast_heading.jpg",    PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"画板_关注",     ControlKind::DrawPanel,  "窗口",    0,   88,  216, 400, 3, "panel_followed.jpg",      PictureMode::Natural,   PictureLayout::FitCentred, Rgb(0xFFFFFF), Rgb(0x0060C0), Rgb(0xC8E2FF), std::nullopt, false, Pointer::Hand, kNoColour},
  {"编辑框_搜索",   ControlKind::EditBox,    "图片框5", 5,   5,   272, 28,  0, "",                        PictureMode::Natural,   PictureLayout::Natural,  Rgb(0xFFFFFF), Rgb(0x400080), Rgb(0x000000), kSystem21,  true,  Pointer::Standard, kNoColour},
  {"图片框5",       ControlKind::PicBox,     "图片框1", 8,   8,   280, 36,  0, "search_frame.jpg",        PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"图片框2",       ControlKind::PicBox,     "窗口",    0,   48,  260, 40,  0, "title_bar.gif",           PictureMode::Natural,   PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
  {"图片框1",       ControlKind::PicBox,     "窗口",    0,   0,   800, 48,  0, "banner.gif",              PictureMode::Stretched, PictureLayout::Natural,  kNoColour,  Rgb(0x000000), Rgb(0x000000), std::nullopt, false, Pointer::Standard, kNoColour},
};
// clang-format on

Bytes AssetBytes(std::string_view name) {
  auto span = EmbeddedAsset(name);
  return Bytes(span.begin(), span.end());
}

}  // namespace

std::span<const ControlSpec> FormControlsTable() {
  return kControls;
}

const ControlSpec* FindControl(std::string_view name) {
  auto it = std::find_if(std::begin(kControls), std::end(kControls),
                         [name](const ControlSpec& c) { return c.name == name; });
  return it == std::end(kControls) ? nullptr : &*it;
}

PanelLook PanelLookOf(const ControlSpec& control) {
  // Borders 1 to 5 take one pixel on every side (a shallow edge); the client area lies inside.
  const int edge = control.border == 0 ? 0 : 1;
  PanelLook look;
  look.clientWidth = control.width - 2 * edge;
  look.clientHeight = control.height - 2 * edge;
  look.backgroundColour = control.background;
  if (!control.picture.empty())
    look.backgroundPicture = AssetBytes(control.picture);
  look.layout = control.panelLayout;
  look.penColour = control.penColour;
  look.penWidth = 1;
  look.drawMode = 12;
  look.brushColour = Rgb(0xFFFFFF);
  look.textColour = control.textColour;
  look.textBackground = kNoColour;
  return look;
}

}  // namespace qc
