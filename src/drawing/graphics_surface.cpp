// Surfaces and images are handles into two tables of this file: a surface's handle names the
// panel it is bound to, an image's handle the decoded picture it owns. A handle that names
// nothing (released, forged, or its panel gone) draws nothing and crashes nothing.
#include "drawing/graphics_surface.h"

#include <QByteArray>
#include <QImage>

#include <fstream>
#include <memory>
#include <system_error>
#include <unordered_map>

#include "drawing/draw_panel_qt.h"
#include "primitives/native_path.h"

namespace qc {
namespace {

constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{16} << 20;

bool layerStarted = false;

// Both tables are never destroyed, so the global objects may be released at exit in any
// order relative to this file's statics.
std::unordered_map<GraphicsSurface::Handle, WindowHandle>& Bindings() {
  static auto* bindings = new std::unordered_map<GraphicsSurface::Handle, WindowHandle>;
  return *bindings;
}
std::unordered_map<ImageObject::Handle, std::unique_ptr<QImage>>& Images() {
  static auto* images = new std::unordered_map<ImageObject::Handle, std::unique_ptr<QImage>>;
  return *images;
}
// One counter for both kinds, never reused, so a stale handle never names a newer object.
std::uintptr_t NewHandle() {
  static std::uintptr_t next = 0;
  return ++next;
}

const QImage* ImageOf(ImageObject::Handle handle) {
  auto found = Images().find(handle);
  return found == Images().end() ? nullptr : found->second.get();
}

// The file's bytes, or none when it is missing, not a plain file, or too large for an icon.
std::optional<QByteArray> ReadSmallFile(const std::filesystem::path& path) {
  std::error_code error;
  // A FIFO or device would block or never end; only plain files are read.
  if (!std::filesystem::is_regular_file(path, error))
    return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxFileBytes)
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
  in.read(bytes.data(), bytes.size());
  bytes.resize(static_cast<qsizetype>(in.gcount()));
  return bytes;
}

}  // namespace

GraphicsStatus StartGraphicsLayer(std::uintptr_t* token) {
  layerStarted = true;
  if (token)
    *token = 1;
  return kStatusOk;
}

bool GraphicsLayerStarted() {
  return layerStarted;
}

GraphicsSurface::~GraphicsSurface() {
  Release();
}

void GraphicsSurface::Release() {
  if (graphics_ != 0)
    Bindings().erase(graphics_);
  graphics_ = 0;
}

void GraphicsSurface::SetHandle(Handle handle) {
  // Releasing first would end the very binding being kept.
  if (handle == graphics_)
    return;
  Release();
  graphics_ = handle;
}

GraphicsStatus GraphicsSurface::BindToWindow(WindowHandle window) {
  Handle bound = 0;
  GraphicsStatus status = kStatusOk;
  if (!GraphicsLayerStarted())
    status = kStatusNotInitialized;
  else if (DrawPanel::FromHandle(window) == nullptr)
    status = kStatusInvalidParameter;
  else {
    bound = NewHandle();
    Bindings()[bound] = window;
  }
  // A failed bind still replaces the previous binding, with none.
  SetHandle(bound);
  return status;
}

GraphicsStatus GraphicsSurface::DrawImageRect(const ImageObject& image, float x, float y,
                                              float width, float height) {
  auto binding = Bindings().find(graphics_);
  if (binding == Bindings().end())
    return kStatusInvalidParameter;
  DrawPanel* panel = DrawPanel::FromHandle(binding->second);
  if (panel == nullptr)
    return kStatusInvalidParameter;
  const QImage* picture = ImageOf(image.NativeHandle());
  panel->RecordOp(DrawImageOp{x, y, width, height, image.SourcePath(), picture != nullptr});
  if (picture == nullptr)
    return kStatusInvalidParameter;
  BlendImageOnPanel(*panel, *picture, QRectF(x, y, width, height));
  panel->NotifyChanged();
  return kStatusOk;
}

ImageObject::~ImageObject() {
  Release();
}

void ImageObject::Release() {
  if (image_ != 0)
    Images().erase(image_);
  image_ = 0;
}

void ImageObject::SetHandle(Handle handle) {
  if (handle == image_)
    return;
  Release();
  image_ = handle;
}

GraphicsStatus ImageObject::LoadFromFile(const Text& path) {
  path_ = path;
  Handle loaded = 0;
  GraphicsStatus status = kStatusOk;
  if (!GraphicsLayerStarted()) {
    status = kStatusNotInitialized;
  } else if (std::optional<QByteArray> bytes = ReadSmallFile(NativePath(path)); !bytes) {
    status = kStatusFileNotFound;
  } else if (QImage decoded = DecodeImageFile(*bytes); decoded.isNull()) {
    status = kStatusUnknownImageFormat;
  } else {
    loaded = NewHandle();
    Images()[loaded] = std::make_unique<QImage>(std::move(decoded));
  }
  // Whatever happened, the image loaded before is no longer held.
  SetHandle(loaded);
  return status;
}

}  // namespace qc
