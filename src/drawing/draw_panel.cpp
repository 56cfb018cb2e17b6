// The panel operations, played straight into the persistent image with QPainter (or by hand
// where Windows' pixel rules differ from Qt's), and recorded as plain structs when asked.
#include "drawing/draw_panel.h"

#include <QBrush>
#include <QColor>
#include <QCryptographicHash>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "drawing/draw_panel_qt.h"
#include "drawing/gbk_to_unicode.h"

namespace qc {
namespace {

constexpr int kMaxClientSide = 16384;
constexpr qint64 kMaxClientPixels = qint64{64} << 20;
// GDI's own coordinate space is 27 bits wide; clamping to it keeps line arithmetic in 64 bits.
constexpr qint64 kCoordLimit = qint64{1} << 27;
// Nothing further out than this can reach a panel; it also keeps Qt's fixed-point text
// positions from overflowing.
constexpr int kTextCoordLimit = 1 << 24;
// A line longer than this cannot show on any panel, and shaping it would take long.
constexpr qsizetype kMaxLineUnits = 8192;
// Above this a stretched picture is drawn through the painter's transform instead of being
// scaled into a temporary image first.
constexpr qint64 kMaxPrescaledPixels = qint64{4} << 20;
constexpr int kLineGap = 2;
constexpr int kCopyPen = 12;

QRgb ToRgb(Colour colour) {
  return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}
Colour BackgroundOf(const PanelLook& look) {
  return look.backgroundColour == kNoColour ? kButtonFace : look.backgroundColour;
}

// A raster-operation code minus 1 is the truth table of the result over (pen, destination),
// bit 2*pen + destination, applied to every bit of the colour.
QRgb ApplyDrawMode(int mode, QRgb pen, QRgb dst) {
  std::uint32_t result = 0;
  if (mode & 1)
    result |= ~pen & ~dst;
  if (mode & 2)
    result |= ~pen & dst;
  if (mode & 4)
    result |= pen & ~dst;
  if (mode & 8)
    result |= pen & dst;
  return 0xFF000000u | (result & 0x00FFFFFFu);
}

int ClampToInt(qint64 v) {
  return static_cast<int>(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

// Layout 2: scaled down to fit with the aspect ratio kept, never enlarged, centred.
QRect FitCentred(QSize picture, QSize client) {
  QSize size = picture;
  const qint64 pw = picture.width(), ph = picture.height();
  const qint64 cw = client.width(), ch = client.height();
  if (pw > cw || ph > ch) {
    // Rounded to the nearest pixel, half up.
    if (pw * ch >= ph * cw)
      size = QSize(int(cw), int(std::max<qint64>(1, (2 * ph * cw + pw) / (2 * pw))));
    else
      size = QSize(int(std::max<qint64>(1, (2 * pw * ch + ph) / (2 * ph))), int(ch));
  }
  return QRect(QPoint(int((cw - size.width()) / 2), int((ch - size.height()) / 2)), size);
}

std::vector<std::string_view> SplitLines(const Text& text) {
  std::vector<std::string_view> lines;
  std::string_view rest(text);
  std::size_t start = 0;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '\r' && rest[i] != '\n')
      continue;
    lines.push_back(rest.substr(start, i - start));
    if (rest[i] == '\r' && i + 1 < rest.size() && rest[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  lines.push_back(rest.substr(start));
  return lines;
}

std::string Sha1Hex(const Bytes& bytes) {
  QByteArrayView view(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
  return QCryptographicHash::hash(view, QCryptographicHash::Sha1).toHex().toStdString();
}

std::unordered_map<WindowHandle, DrawPanel*>& LivePanels() {
  // Never destroyed, so a panel released at exit after this file's statics still finds it.
  static auto* panels = new std::unordered_map<WindowHandle, DrawPanel*>;
  return *panels;
}

WindowHandle NewHandle() {
  // Handles are never reused, so a handle kept past its panel's end cannot name another one.
  static WindowHandle next = 0x10000;
  return next += 0x10;
}

}  // namespace

struct DrawPanel::Impl {
  PanelLook look;
  QImage pixels;
  QImage picture;     // the decoded background picture; null when none or undecodable
  QRect pictureRect;  // where layouts 0 and 2 put it
  QImage fitted;      // layout 2: the picture scaled once to pictureRect's size
  std::optional<FontRecord> font;
  QFont qfont;
  std::optional<QFontMetrics> metrics;  // made on first use, with the font
  Recording recording = Recording::Off;
  std::vector<PanelOp> ops;
  std::function<void()> changed;
  WindowHandle handle = 0;

  QRect Client() const { return pixels.rect(); }
  void Record(PanelOp op) {
    if (recording == Recording::On)
      ops.push_back(std::move(op));
  }
  const QFontMetrics& Metrics() {
    if (!metrics) {
      qfont = QtFontOf(font);
      metrics.emplace(qfont);
    }
    return *metrics;
  }
  void PaintBackground(const QRect& rect);
  void DrawThinLine(qint64 x1, qint64 y1, qint64 x2, qint64 y2, QRgb pen, int mode);
  void DrawWideLine(int x1, int y1, int x2, int y2, QRgb pen, int mode);
};

void DrawPanel::Impl::PaintBackground(const QRect& rect) {
  QPainter painter(&pixels);
  painter.setClipRect(rect);
  painter.fillRect(rect, QColor(ToRgb(BackgroundOf(look))));
  if (picture.isNull())
    return;
  switch (look.layout) {
    case PictureLayout::Natural:
      painter.drawImage(pictureRect.topLeft(), picture);
      break;
    case PictureLayout::Tiled:
      // The brush's tiles start at the client's top-left, whatever part is cleared.
      painter.fillRect(rect, QBrush(picture));
      break;
    case PictureLayout::FitCentred:
      painter.drawImage(pictureRect.topLeft(), fitted);
      break;
  }
}

// Windows' one-pixel lines: every pixel from the start up to, not including, the end point.
// Pixel i of the line is computed directly rather than stepped to, so only the steps that fall
// inside the client are visited, however far away the end points lie.
void DrawPanel::Impl::DrawThinLine(qint64 x1, qint64 y1, qint64 x2, qint64 y2, QRgb pen, int mode) {
  const qint64 dx = x2 - x1, dy = y2 - y1;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const qint64 steps = std::max(std::abs(dx), std::abs(dy));
  if (steps == 0)
    return;
  const qint64 minorSpan = xMajor ? std::abs(dy) : std::abs(dx);
  const qint64 major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
  const int majorDir = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int minorDir = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const qint64 majorSize = xMajor ? pixels.width() : pixels.height();
  const qint64 minorSize = xMajor ? pixels.height() : pixels.width();
  qint64 first = majorDir > 0 ? -major0 : major0 - (majorSize - 1);
  qint64 last = majorDir > 0 ? majorSize - 1 - major0 : major0;
  first = std::max<qint64>(first, 0);
  last = std::min(last, steps - 1);
  for (qint64 i = first; i <= last; ++i) {
    const qint64 major = major0 + majorDir * i;
    const qint64 minor = minor0 + minorDir * ((2 * i * minorSpan + steps) / (2 * steps));
    if (minor < 0 || minor >= minorSize)
      continue;
    const int x = int(xMajor ? major : minor), y = int(xMajor ? minor : major);
    QRgb* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
    line[x] = ApplyDrawMode(mode, pen, line[x]);
  }
}

// Wider pens are stroked by Qt into a mask, which the draw mode then combines with the panel.
void DrawPanel::Impl::DrawWideLine(int x1, int y1, int x2, int y2, QRgb pen, int mode) {
  QImage mask(pixels.size(), QImage::Format_Alpha8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    const int maxWidth = 2 * (pixels.width() + pixels.height()) + 2;
    painter.setPen(QPen(Qt::black, std::min(look.penWidth, maxWidth), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }
  for (int y = 0; y < pixels.height(); ++y) {
    const uchar* covered = mask.constScanLine(y);
    QRgb* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x)
      if (covered[x])
        line[x] = ApplyDrawMode(mode, pen, line[x]);
  }
}

DrawPanel::DrawPanel(const PanelLook& look) : impl_(std::make_unique<Impl>()) {
  Impl& d = *impl_;
  d.look = look;
  int width = std::clamp(look.clientWidth, 0, kMaxClientSide);
  int height = std::clamp(look.clientHeight, 0, kMaxClientSide);
  if (width > 0 && qint64{width} * height > kMaxClientPixels)
    height = int(kMaxClientPixels / width);
  d.look.clientWidth = width;
  d.look.clientHeight = height;
  if (width > 0 && height > 0)
    d.pixels = QImage(width, height, QImage::Format_RGB32);
  // Decoded once here: every ClearRect redraws the picture.
  d.picture = DecodePicture(look.backgroundPicture);
  if (!d.picture.isNull()) {
    d.pictureRect = QRect(QPoint(0, 0), d.picture.size());
    if (look.layout == PictureLayout::FitCentred && !d.pixels.isNull()) {
      d.pictureRect = FitCentred(d.picture.size(), d.pixels.size());
      d.fitted = d.pictureRect.size() == d.picture.size()
                     ? d.picture
                     : d.picture.scaled(d.pictureRect.size(), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation);
    }
  }
  if (!d.pixels.isNull())
    d.PaintBackground(d.Client());
  d.handle = NewHandle();
  LivePanels()[d.handle] = this;
}

DrawPanel::~DrawPanel() {
  LivePanels().erase(impl_->handle);
}

void DrawPanel::ClearRect(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                          std::optional<int> height) {
  Impl& d = *impl_;
  const qint64 l = left.value_or(0), t = top.value_or(0);
  const qint64 r = width ? l + *width : d.look.clientWidth;
  const qint64 b = height ? t + *height : d.look.clientHeight;
  ClearRectOp op{ClampToInt(std::min(l, r)), ClampToInt(std::min(t, b)), ClampToInt(std::max(l, r)),
                 ClampToInt(std::max(t, b))};
  d.Record(op);
  const qint64 cw = d.pixels.width(), ch = d.pixels.height();
  const qint64 x0 = std::clamp<qint64>(op.left, 0, cw), x1 = std::clamp<qint64>(op.right, 0, cw);
  const qint64 y0 = std::clamp<qint64>(op.top, 0, ch), y1 = std::clamp<qint64>(op.bottom, 0, ch);
  if (x0 == x1 || y0 == y1)
    return;
  d.PaintBackground(QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0)));
  NotifyChanged();
}

void DrawPanel::DrawLine(int x1, int y1, int x2, int y2) {
  Impl& d = *impl_;
  d.Record(DrawLineOp{x1, y1, x2, y2, d.look.penColour});
  if (d.pixels.isNull())
    return;
  // Windows ignores an invalid draw mode and keeps copy pen.
  const int mode = d.look.drawMode >= 0 && d.look.drawMode <= 15 ? d.look.drawMode : kCopyPen;
  const QRgb pen = ToRgb(d.look.penColour);
  auto clamp = [](int v) { return std::clamp<qint64>(v, -kCoordLimit, kCoordLimit); };
  if (d.look.penWidth <= 1)
    d.DrawThinLine(clamp(x1), clamp(y1), clamp(x2), clamp(y2), pen, mode);
  else
    d.DrawWideLine(int(clamp(x1)), int(clamp(y1)), int(clamp(x2)), int(clamp(y2)), pen, mode);
  NotifyChanged();
}

void DrawPanel::WriteAt(int x, int y, const Text& text) {
  Impl& d = *impl_;
  std::optional<OpFont> opFont;
  if (d.font)
    opFont = OpFont{EffectiveFace(*d.font), d.font->size, d.font->bold != 0};
  d.Record(WriteAtOp{x, y, text, opFont, d.look.textColour});
  // Text needs Qt's font database, which only exists with a GUI application.
  if (text.empty() || d.pixels.isNull() || !qGuiApp)
    return;
  const QFontMetrics& metrics = d.Metrics();
  const int angle = d.font ? d.font->angle : 0;
  const bool opaque = d.look.textBackground != kNoColour;
  QPainter painter(&d.pixels);
  painter.setFont(d.qfont);
  painter.setPen(QColor(ToRgb(d.look.textColour)));
  const int lineHeight = metrics.height();
  qint64 top = y;
  for (std::string_view line : SplitLines(text)) {
    const qint64 lineTop = top;
    // Every line of one font is equally tall, an empty one too.
    top += lineHeight + kLineGap;
    if (line.empty())
      continue;
    if (std::abs(lineTop) > kTextCoordLimit || std::abs(qint64{x}) > kTextCoordLimit)
      continue;
    if (angle == 0 && (lineTop + lineHeight <= 0 || x >= d.pixels.width()))
      continue;
    if (angle == 0 && lineTop >= d.pixels.height())
      break;
    std::u16string units = GbkToUtf16(Text(line));
    const QString shown =
        QString::fromUtf16(units.data(), std::min<qsizetype>(units.size(), kMaxLineUnits));
    painter.save();
    painter.translate(x, int(lineTop));
    // Tenths of a degree counter-clockwise, about the line's top-left corner.
    if (angle != 0)
      painter.rotate(-angle / 10.0);
    if (opaque) {
      painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(shown), lineHeight),
                       QColor(ToRgb(d.look.textBackground)));
    }
    painter.drawText(QPoint(0, metrics.ascent()), shown);
    painter.restore();
  }
  painter.end();
  NotifyChanged();
}

void DrawPanel::DrawPicture(const Bytes& picture, int left, int top, std::optional<int> width,
                            std::optional<int> height) {
  Impl& d = *impl_;
  std::optional<std::string> format = PictureFormatOf(picture);
  QImage image = format ? DecodePicture(picture) : QImage();
  const int w = width.value_or(image.width());
  const int h = height.value_or(image.height());
  if (d.recording == Recording::On)
    d.Record(DrawPictureOp{left, top, w, h, format, Sha1Hex(picture)});
  if (image.isNull() || w == 0 || h == 0 || d.pixels.isNull())
    return;
  // A negative extent mirrors the picture into the rectangle on the other side, as a stretched
  // copy does on Windows.
  const qint64 l = std::min<qint64>(left, qint64{left} + w);
  const qint64 t = std::min<qint64>(top, qint64{top} + h);
  const qint64 aw = std::abs(qint64{w}), ah = std::abs(qint64{h});
  const QRect client = d.Client();
  if (l >= client.width() || t >= client.height() || l + aw <= 0 || t + ah <= 0)
    return;
  if (w < 0 || h < 0)
    image = image.mirrored(w < 0, h < 0);
  QPainter painter(&d.pixels);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRectF target{double(l), double(t), double(aw), double(ah)};
  if (image.size() == QSize(int(aw), int(ah))) {
    painter.drawImage(QPoint(int(l), int(t)), image);
  } else if (aw * ah <= kMaxPrescaledPixels) {
    // Qt's own scaling averages when it shrinks, which the painter's transform does not.
    painter.drawImage(QPoint(int(l), int(t)), image.scaled(int(aw), int(ah), Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation));
  } else {
    painter.drawImage(target, image);
  }
  painter.end();
  NotifyChanged();
}

void DrawPanel::SetFont(const FontRecord& font) {
  impl_->font = font;
  impl_->metrics.reset();
}
std::optional<FontRecord> DrawPanel::Font() const {
  return impl_->font;
}
void DrawPanel::SetTextColour(Colour colour) {
  impl_->look.textColour = colour;
}
Colour DrawPanel::TextColour() const {
  return impl_->look.textColour;
}
void DrawPanel::SetTextBackground(Colour colour) {
  impl_->look.textBackground = colour;
}
const PanelLook& DrawPanel::Look() const {
  return impl_->look;
}

WindowHandle DrawPanel::Handle() const {
  return impl_->handle;
}
DrawPanel* DrawPanel::FromHandle(WindowHandle handle) {
  auto found = LivePanels().find(handle);
  return found == LivePanels().end() ? nullptr : found->second;
}

void DrawPanel::SetRecording(Recording recording) {
  impl_->recording = recording;
  if (recording == Recording::Off)
    impl_->ops.clear();
}
const std::vector<PanelOp>& DrawPanel::Ops() const {
  return impl_->ops;
}
void DrawPanel::RecordOp(PanelOp op) {
  impl_->Record(std::move(op));
}

void DrawPanel::SetChangedCallback(std::function<void()> callback) {
  impl_->changed = std::move(callback);
}
void DrawPanel::NotifyChanged() {
  if (impl_->changed)
    impl_->changed();
}

const QImage& PanelPixels(const DrawPanel& panel) {
  return panel.impl().pixels;
}

void BlendImageOnPanel(DrawPanel& panel, const QImage& image, const QRectF& target) {
  QImage& pixels = panel.impl().pixels;
  const double limit = kTextCoordLimit;
  for (double v : {target.x(), target.y(), target.width(), target.height()})
    if (!std::isfinite(v) || std::abs(v) > limit)
      return;
  if (pixels.isNull() || image.isNull() || target.width() == 0 || target.height() == 0)
    return;
  QImage source = image;
  const QSize size(qRound(std::abs(target.width())), qRound(std::abs(target.height())));
  if (!size.isEmpty() && qint64{size.width()} * size.height() <= kMaxPrescaledPixels &&
      (size.width() < image.width() || size.height() < image.height()))
    source = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&pixels);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, source);
}

}  // namespace qc
