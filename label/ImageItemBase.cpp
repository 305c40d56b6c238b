// labelplu: the common base of the image items.
#include "label/ImageItemBase.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "label/Label.h"
#include "label/PixelRound.h"

namespace labelplu {

namespace {

constexpr gdi::COLORREF kWhite = gdi::RGB(255, 255, 255);

// Undoes an update block also when a setter throws.
class UpdateBlock {
 public:
  explicit UpdateBlock(Label& label) : m_label(label) { m_label.BeginUpdate(); }
  ~UpdateBlock() { m_label.EndUpdate(false); }
  UpdateBlock(const UpdateBlock&) = delete;
  UpdateBlock& operator=(const UpdateBlock&) = delete;

 private:
  Label& m_label;
};

bool IsQuarterTurn(int32_t degrees) {
  return degrees % 90 == 0;
}

// dest := source turned clockwise on the page by a quarter-turn angle,
// pixel for pixel: the source's top-left pixel lands in dest's top-right
// (90), bottom-right (180) or bottom-left (270) corner.
void TurnQuarter(const Bgr24Bitmap& source, Bgr24Bitmap& dest, int32_t degrees) {
  const int32_t sw = source.Width();
  const int32_t sh = source.Height();
  const int32_t turn = (degrees / 90) % 4;
  if (turn % 2 == 0) {
    dest.SetSize(sw, sh);
  } else {
    dest.SetSize(sh, sw);
  }
  if (dest.IsEmpty()) return;
  if (turn == 0) {
    source.CopyInto(dest, 0, 0);
    return;
  }
  const int32_t dh = dest.Height();
  for (int32_t y = 0; y < sh; ++y) {
    const uint8_t* from = source.Row(sh - 1 - y);
    for (int32_t x = 0; x < sw; ++x, from += 3) {
      int32_t dx = x;
      int32_t dy = y;
      switch (turn) {
        case 1:
          dx = sh - 1 - y;
          dy = x;
          break;
        case 2:
          dx = sw - 1 - x;
          dy = sh - 1 - y;
          break;
        case 3:
          dx = y;
          dy = sw - 1 - x;
          break;
        default:
          break;
      }
      uint8_t* to = dest.Row(dh - 1 - dy) + 3 * dx;
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
}

}  // namespace

QImage DefaultImageResource() {
  constexpr int kSide = 32;
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  const QRgb frame = qRgb(64, 64, 64);
  const QRgb sky = qRgb(160, 200, 240);
  const QRgb hill = qRgb(40, 130, 60);
  const QRgb sun = qRgb(240, 200, 40);
  for (int y = 3; y < kSide - 3; ++y) {
    for (int x = 3; x < kSide - 3; ++x) {
      QRgb c = sky;
      const int dx = x - 22;
      const int dy = y - 10;
      if (dx * dx + dy * dy <= 16) c = sun;
      // A hill whose top is at (12, 14), sloping one pixel per column.
      if (y >= 14 + std::abs(x - 12)) c = hill;
      if (y >= 24) c = hill;
      image.setPixel(x, y, c);
    }
  }
  for (int i = 2; i < kSide - 2; ++i) {
    image.setPixel(i, 2, frame);
    image.setPixel(i, kSide - 3, frame);
    image.setPixel(2, i, frame);
    image.setPixel(kSide - 3, i, frame);
  }
  return image;
}

ImageItemBase::ImageItemBase(Label& owner) : LabelItem(owner) {
  SetCaption("Шаблон примитива картинки");
  gdi::Pen pen = DrawPen();
  pen.style = gdi::PS_NULL;
  SetDrawPen(pen);
}

void ImageItemBase::SetAutoSize(bool value) {
  if (value == m_autoSize) return;
  m_autoSize = value;
  MarkChanged(true);
}

void ImageItemBase::SetStretch(bool value) {
  if (value == m_stretch) return;
  m_stretch = value;
  MarkChanged(true);
}

void ImageItemBase::SetSmooth(bool value) {
  if (value == m_smooth) return;
  m_smooth = value;
  MarkChanged(true);
}

bool ImageItemBase::HasImage() const {
  return m_sourceImage.Width() > 0 && m_sourceImage.Height() > 0;
}

void ImageItemBase::LoadPlaceholder(int32_t width, int32_t height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  m_sourceImage.SetSize(width, height);
  m_sourceImage.Fill(kWhite);
  const gdi::COLORREF black = gdi::RGB(0, 0, 0);
  for (int32_t x = 0; x < width; ++x) {
    m_sourceImage.SetPixel(x, 0, black);
    m_sourceImage.SetPixel(x, height - 1, black);
  }
  for (int32_t row = 0; row < height; ++row) {
    m_sourceImage.SetPixel(0, row, black);
    m_sourceImage.SetPixel(width - 1, row, black);
  }
}

void ImageItemBase::LoadSource() {
  bool shown = true;
  try {
    const std::string value = GetValue();
    if (!value.empty()) {
      const QImage image = OwnerLabel().FindImage(value);
      shown = !image.isNull();
      if (shown) m_sourceImage.LoadFromBitmapHandle(image);
    } else if (OwnerLabel().Mode() == kModePreview) {
      m_sourceImage.LoadFromBitmapHandle(DefaultImageResource());
    } else {
      m_sourceImage.SetSize(0, 0);
    }
  } catch (const std::exception&) {
    shown = false;
  }
  if (shown) return;
  // A picture that is missing or cannot be read shows as an empty framed
  // box, never as the picture the item held before: a job refills the item
  // for every record. The horizontal scale serves both sides.
  LoadPlaceholder(RoundPx(PixelsPerMmX() * Width()), RoundPx(PixelsPerMmX() * Height()));
}

void ImageItemBase::Prepare() {
  if (!Changed()) return;
  LabelItem::Prepare();
  // Without a view (or with an empty box) nothing was mapped; stay changed.
  if (Changed()) return;
  LoadSource();
  if (!HasImage()) return;
  const double ppmX = PixelsPerMmX();
  const double ppmY = PixelsPerMmY();
  if (!(ppmX > 0) || !(ppmY > 0)) return;
  if (m_autoSize) {
    const LabelView* view = View();
    const double kx = view != nullptr ? view->ZoomX() : 1.0;
    const double ky = view != nullptr ? view->ZoomY() : 1.0;
    {
      UpdateBlock block(OwnerLabel());
      SetWidth(m_sourceImage.Width() / ppmX * kx);
      SetHeight(m_sourceImage.Height() / ppmY * ky);
    }
    // The box moved: map its outline again.
    if (Changed()) LabelItem::Prepare();
  }
  if (IsQuarterTurn(Angle())) {
    PrepareQuarterTurn();
  } else if (m_stretch) {
    PrepareStretch();
  } else {
    PrepareFit();
  }
}

void ImageItemBase::PrepareQuarterTurn() {
  const int32_t sw = m_sourceImage.Width();
  const int32_t sh = m_sourceImage.Height();
  // The box in device pixels relative to the label, along the source's
  // axes: its first side runs from outline point 0 to 1, its second from 0
  // to 3, whatever the turn.
  const Outline& box = BoxOutline();
  if (box.Count() < 4) return;
  const gdi::POINT p0{box.Item(0).X, box.Item(0).Y};
  const gdi::POINT p1{box.Item(1).X, box.Item(1).Y};
  const gdi::POINT p3{box.Item(3).X, box.Item(3).Y};
  const int32_t boxW = std::abs(p1.x - p0.x) + std::abs(p1.y - p0.y);
  const int32_t boxH = std::abs(p3.x - p0.x) + std::abs(p3.y - p0.y);

  const double ppmX = PixelsPerMmX();
  const double ppmY = PixelsPerMmY();
  int32_t w = sw;
  int32_t h = sh;
  // A source within a dot of the box at the device's scale was made at the
  // device's dots (the barcodes are): it is copied dot for dot, since a
  // resampling by a hair would double or drop a column of bars.
  const bool dotForDot =
      std::abs(ppmX * Width() - sw) <= 1.0 && std::abs(ppmY * Height() - sh) <= 1.0;
  if (!dotForDot) {
    if (m_stretch) {
      w = std::max(boxW, 1);
      h = std::max(boxH, 1);
    } else {
      const double k = std::min(ppmX * Width() / sw, ppmY * Height() / sh);
      w = std::max(RoundPx(sw * k), 1);
      h = std::max(RoundPx(sh * k), 1);
    }
  }
  const Bgr24Bitmap* scaled = &m_sourceImage;
  if (w != sw || h != sh) {
    m_scaledImage.SetSize(w, h);
    m_scaledImage.Fill(kWhite);
    if (m_smooth) {
      m_sourceImage.ResizeSmooth(m_scaledImage);
    } else {
      m_sourceImage.ResizeNearest(m_scaledImage);
    }
    scaled = &m_scaledImage;
  }
  TurnQuarter(*scaled, m_renderedImage, Angle());

  // The image starts on the box corner where the source's top-left corner
  // lands, moved in by whole pixels to centre a smaller image. A source a
  // dot larger than the box keeps its first rows and columns (a symbol's
  // first bar) and loses the last to the box.
  const int32_t offX = std::max(boxW - w, 0) / 2;
  const int32_t offY = std::max(boxH - h, 0) / 2;
  const auto unit = [](int32_t from, int32_t to) { return (to > from) - (to < from); };
  const int32_t uxX = unit(p0.x, p1.x);
  const int32_t uxY = unit(p0.y, p1.y);
  const int32_t uyX = unit(p0.x, p3.x);
  const int32_t uyY = unit(p0.y, p3.y);
  const int32_t ax = p0.x + uxX * offX + uyX * offY;
  const int32_t ay = p0.y + uxY * offX + uyY * offY;
  const int32_t bx = ax + uxX * w + uyX * h;
  const int32_t by = ay + uxY * w + uyY * h;
  m_imageRect = gdi::RECT{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

void ImageItemBase::PrepareFit() {
  const double ppmX = PixelsPerMmX();
  const double ppmY = PixelsPerMmY();
  const int32_t sw = m_sourceImage.Width();
  const int32_t sh = m_sourceImage.Height();
  // The image centred in a square that holds it in any rotation.
  int32_t d = RoundPx(std::sqrt(double(sw) * sw + double(sh) * sh)) + 2;
  // With sides of one parity, a square of that parity holds the picture
  // exactly at its centre, about which it is turned; otherwise a turn would
  // shift the picture by half a source pixel times the scale, which for a
  // small picture in a large box pushes it out of its clip.
  if (sw % 2 == sh % 2 && d % 2 != sw % 2) ++d;
  m_diagonal = d;
  m_renderedImage.SetSize(d, d);
  m_renderedImage.Fill(kWhite);
  m_sourceImage.CopyInto(m_renderedImage, (d - sw) / 2, (d - sh) / 2);

  const double k = std::min(ppmX * Width() / sw, ppmY * Height() / sh);
  double g = sw / ppmX;
  double h = sh / ppmY;
  const double m = std::min(Width() / g, Height() / h);
  g *= m;
  h *= m;

  const int32_t n = std::max(RoundPx(d * k), 1);
  // At one device pixel per source pixel (a barcode drawn at the printer's
  // dots), unturned and unsmoothed, the square already is the result: the
  // nearest resampling and the turn by 0 would copy it twice unchanged.
  if (n != d || m_smooth || Angle() != 0) {
    m_scaledImage.SetSize(n, n);
    m_scaledImage.Fill(kWhite);
    if (m_smooth) {
      m_renderedImage.ResizeSmooth(m_scaledImage);
    } else {
      m_renderedImage.ResizeNearest(m_scaledImage);
    }
    m_renderedImage.SetSize(n, n);
    m_renderedImage.Fill(kWhite);
    Bgr24Bitmap::RotateInto(m_scaledImage, m_renderedImage, n / 2, n / 2, -Angle());
  }

  const double cx = Left() + Width() / 2;
  const double cy = Top() + Height() / 2;
  ClipOutline().Clear();
  ClipOutline().AddPoint(cx - g / 2, cy - h / 2);
  ClipOutline().AddPoint(cx + g / 2, cy - h / 2);
  ClipOutline().AddPoint(cx + g / 2, cy + h / 2);
  ClipOutline().AddPoint(cx - g / 2, cy + h / 2);
  ClipOutline().MapToDevice();
}

void ImageItemBase::PrepareStretch() {
  const int32_t sw = m_sourceImage.Width();
  const int32_t sh = m_sourceImage.Height();
  m_renderedImage.SetSize(sw, sh);
  m_sourceImage.CopyInto(m_renderedImage, 0, 0);

  const double sx = PixelsPerMmX() * Width() / sw;
  const double sy = PixelsPerMmY() * Height() / sh;
  const int32_t w = std::max(RoundPx(sw * sx), 1);
  const int32_t h = std::max(RoundPx(sh * sy), 1);
  m_scaledImage.SetSize(w, h);
  m_scaledImage.Fill(kWhite);
  if (m_smooth) {
    m_renderedImage.ResizeSmooth(m_scaledImage);
  } else {
    m_renderedImage.ResizeNearest(m_scaledImage);
  }
  const int32_t d = std::max(RoundPx(std::sqrt(double(w) * w + double(h) * h)), 1);
  m_diagonal = d;
  m_renderedImage.SetSize(d, d);
  m_renderedImage.Fill(kWhite);
  Bgr24Bitmap::RotateInto(m_scaledImage, m_renderedImage, d / 2, d / 2, -Angle());

  ClipOutline().Clear();
  ClipOutline().AddPoint(Left(), Top());
  ClipOutline().AddPoint(Left() + Width(), Top());
  ClipOutline().AddPoint(Left() + Width(), Top() + Height());
  ClipOutline().AddPoint(Left(), Top() + Height());
  ClipOutline().MapToDevice();
}

void ImageItemBase::Draw() {
  if (InUpdate() || !HasImage() || m_renderedImage.IsEmpty()) return;
  gdi::Canvas* canvas = Canvas();
  if (canvas == nullptr) return;
  if (IsQuarterTurn(Angle())) {
    // The image lies on whole device pixels with the box's rounding; the
    // clip is the image itself within the box, so that every source pixel
    // that the box holds shows, and nothing beyond the box.
    const int32_t ox = RoundPx(PixelsPerMmX() * LabelLeft());
    const int32_t oy = RoundPx(PixelsPerMmY() * LabelTop());
    const gdi::RECT r{m_imageRect.left + ox, m_imageRect.top + oy, m_imageRect.right + ox,
                      m_imageRect.bottom + oy};
    BoxOutline().ShiftToLabel();
    BoxOutline().BuildRegion();
    canvas->ExtSelectClipRgn(BoxOutline().Region(), gdi::RGN_AND);
    canvas->ExtSelectClipRgn(gdi::Region::CreateRectRgn(r), gdi::RGN_AND);
    m_imageX = r.left;
    m_imageY = r.top;
    m_renderedImage.DrawTo(*canvas, r.left, r.top);
    return;
  }
  ClipOutline().ShiftToLabel();
  ClipOutline().BuildRegion();
  canvas->ExtSelectClipRgn(ClipOutline().Region(), gdi::RGN_AND);
  BoxOutline().ShiftToLabel();
  BoxOutline().BuildRegion();
  canvas->ExtSelectClipRgn(BoxOutline().Region(), gdi::RGN_AND);
  // The rendered image is centred on the box centre. Its centre is the
  // pixel (width div 2, height div 2), about which it was turned and around
  // which the source sits; a half-pixel centre would push a one-pixel edge
  // of the picture out of its clip.
  const int32_t centreX = m_renderedImage.Width() / 2;
  const int32_t centreY = m_renderedImage.Height() / 2;
  m_imageX = PixelsPerMmX() * (LabelLeft() + Left() + Width() / 2) - centreX;
  m_imageY = PixelsPerMmY() * (LabelTop() + Top() + Height() / 2) - centreY;
  m_renderedImage.DrawTo(*canvas, RoundPx(m_imageX), RoundPx(m_imageY));
}

}  // namespace labelplu
