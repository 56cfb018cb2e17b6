#pragma once
// A drawing panel: a persistent image of its client area with its own background, pen, font
// and colours, and the four operations the program draws with. Every operation paints into the
// persistent image, from which the panel's view repaints, so nothing drawn is lost on a repaint.
// It does not own a window; the Qt view in app/ shows the image (see draw_panel_qt.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "drawing/colour.h"
#include "drawing/font_record.h"
#include "drawing/panel_ops.h"
#include "primitives/text.h"

namespace qc {

// Identifies a panel to GraphicsSurface::BindToWindow, as a window handle would. 0 is none.
using WindowHandle = std::uintptr_t;

enum class PictureLayout { Natural = 0, Tiled = 1, FitCentred = 2 };
enum class PenStyle { Solid = 0 };

struct PanelLook {
  int clientWidth = 0;
  int clientHeight = 0;
  Colour backgroundColour = kNoColour;  // kNoColour: button face
  Bytes backgroundPicture;              // any DrawPicture format; empty: none
  PictureLayout layout = PictureLayout::Natural;
  PenStyle penStyle = PenStyle::Solid;
  int penWidth = 1;
  Colour penColour = 0x000000;
  int drawMode = 12;  // copy pen, stored as the Windows raster code minus 1
  Colour brushColour = 0xFFFFFF;
  Colour textColour = 0x000000;
  Colour textBackground = kNoColour;  // kNoColour: transparent
};

enum class Recording { Off, On };

class DrawPanel {
 public:
  explicit DrawPanel(const PanelLook& look);
  ~DrawPanel();
  DrawPanel(const DrawPanel&) = delete;
  DrawPanel& operator=(const DrawPanel&) = delete;

  // Omitted edges are those of the client rectangle; see draw_panel.cpp.
  void ClearRect(std::optional<int> left = std::nullopt, std::optional<int> top = std::nullopt,
                 std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt);
  void DrawLine(int x1, int y1, int x2, int y2);
  void WriteAt(int x, int y, const Text& text);
  void DrawPicture(const Bytes& picture, int left, int top, std::optional<int> width = std::nullopt,
                   std::optional<int> height = std::nullopt);

  void SetFont(const FontRecord& font);
  std::optional<FontRecord> Font() const;  // none: the system's default GUI font
  void SetTextColour(Colour colour);
  Colour TextColour() const;
  void SetTextBackground(Colour colour);
  const PanelLook& Look() const;

  WindowHandle Handle() const;
  // The live panel a handle names, or nullptr when none does (a stale or forged handle).
  static DrawPanel* FromHandle(WindowHandle handle);

  // Records every operation from now on (On) or stops and forgets the record (Off).
  void SetRecording(Recording recording);
  const std::vector<PanelOp>& Ops() const;
  // Appended by GraphicsSurface when it draws an image into this panel.
  void RecordOp(PanelOp op);

  // Called after every change of the persistent image, so a view can repaint.
  void SetChangedCallback(std::function<void()> callback);
  void NotifyChanged();

  struct Impl;
  Impl& impl() { return *impl_; }
  const Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// The format DrawPicture recognises from the first bytes, or none.
std::optional<std::string> PictureFormatOf(const Bytes& picture);

}  // namespace qc
