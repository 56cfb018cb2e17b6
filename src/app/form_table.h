#pragma once
// The main window's form as data: the window and its fifteen controls in form order, with their
// places, borders, colours, fonts, pictures and pointers. The Qt window (main_window.cpp) is
// built from this table and the probe reports it; nothing here depends on the toolkit.

#include <optional>
#include <span>
#include <string_view>

#include "drawing/colour.h"
#include "drawing/draw_panel.h"

namespace qc {

enum class ControlKind { DrawPanel, PicBox, SuperBtn, EditBox, TransLabel };
enum class Pointer { Standard, Hand };
// Picture modes of picture boxes: natural size at top-left, stretched, centred and fitted.
enum class PictureMode { Natural = 0, Stretched = 1, Fitted = 2 };

struct FontSpec {
  std::string_view face;  // UTF-8; empty: the system chooses
  int pixelHeight = 0;    // 0: the system default GUI font
  bool bold = false;
};

struct ControlSpec {
  std::string_view name;  // UTF-8 form name, e.g. "画板_主"
  ControlKind kind;
  std::string_view parent;  // "窗口" or the name of a picture box
  int left, top, width, height;
  int border;                 // 0 none, 1 sunken, 2 raised, 3 shallow sunken, 4 framed, 5 line
  std::string_view picture;   // embedded asset name; empty: none
  PictureMode pictureMode;    // picture boxes
  PictureLayout panelLayout;  // drawing panels
  Colour background;          // kNoColour: button face
  Colour textColour;
  Colour penColour;              // drawing panels
  std::optional<FontSpec> font;  // none: the system default GUI font
  bool tabStop;
  Pointer pointer;
  Colour transparentColour;  // picture buttons; kNoColour: the picture's top-left pixel
};

inline constexpr std::string_view kWindowName = "窗口";
inline constexpr int kWindowWidth = 704;
inline constexpr int kWindowHeight = 517;
inline constexpr int kClientWidth = 698;
inline constexpr int kClientHeight = 489;
inline constexpr std::string_view kWindowPicture = "window_background.gif";

std::span<const ControlSpec> FormControlsTable();
const ControlSpec* FindControl(std::string_view name);

// The drawing state a panel of the table starts with (its client area is inside its border).
PanelLook PanelLookOf(const ControlSpec& control);

}  // namespace qc
