#pragma once
// GraphicsSurface and ImageObject: the pair through which PNG condition icons are drawn onto a
// panel. A surface is bound to one panel at a time; an image holds at most one decoded
// picture. Taking a new handle releases the old one. Icons are alpha-blended into the panel's
// persistent image, so they survive a repaint. The members no flow of the program calls are
// not provided.

#include <cstdint>
#include <memory>

#include "drawing/draw_panel.h"
#include "primitives/text.h"

namespace qc {

// GDI+-style status: 0 is Ok, anything else a failure the callers ignore.
using GraphicsStatus = int;
inline constexpr GraphicsStatus kStatusOk = 0;
inline constexpr GraphicsStatus kStatusInvalidParameter = 2;
inline constexpr GraphicsStatus kStatusFileNotFound = 10;
inline constexpr GraphicsStatus kStatusUnknownImageFormat = 13;
inline constexpr GraphicsStatus kStatusNotInitialized = 18;

// Starts the image layer once per process; the token is 1 afterwards. Later calls are no-ops.
GraphicsStatus StartGraphicsLayer(std::uintptr_t* token);
bool GraphicsLayerStarted();

class ImageObject;

class GraphicsSurface {
 public:
  using Handle = std::uintptr_t;
  GraphicsSurface() = default;
  virtual ~GraphicsSurface();
  GraphicsSurface(const GraphicsSurface&) = delete;
  GraphicsSurface& operator=(const GraphicsSurface&) = delete;

  void Release();
  void SetHandle(Handle handle);
  Handle NativeHandle() const { return graphics_; }
  GraphicsStatus BindToWindow(WindowHandle window);
  GraphicsStatus DrawImageRect(const ImageObject& image, float x, float y, float width,
                               float height);

 private:
  Handle graphics_ = 0;
};

class ImageObject {
 public:
  using Handle = std::uintptr_t;
  ImageObject() = default;
  virtual ~ImageObject();
  ImageObject(const ImageObject&) = delete;
  ImageObject& operator=(const ImageObject&) = delete;

  void Release();
  void SetHandle(Handle handle);
  Handle NativeHandle() const { return image_; }
  // path: a GBK path with "\" separators (see primitives/native_path.h).
  GraphicsStatus LoadFromFile(const Text& path);
  const Text& SourcePath() const { return path_; }

 private:
  Handle image_ = 0;
  Text path_;
};

}  // namespace qc
