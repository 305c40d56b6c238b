// labelplu: outline polygons of items (Outline of OutlinePoint): points in
// millimetres, their device-pixel images and a polygon region.
//
// A figure of an item maps its points to the device with the
// item's rotation and the scale of the label's view; a figure created
// without an item is a plain list of points in millimetres (AddPoint,
// item access and Clear apply to it).
//
// One thread at a time.
#ifndef LABELPLU_LABEL_OUTLINE_H
#define LABELPLU_LABEL_OUTLINE_H

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

namespace labelplu {

class LabelItem;

// One point of a figure.
struct OutlinePoint {
  int32_t X = 0;  // device pixels, rounded (relative to the label)
  int32_t Y = 0;
  double RawX = 0;  // device pixels before rounding
  double RawY = 0;
  double MmX = 0;  // millimetres (relative to the label)
  double MmY = 0;
};

class Outline {
 public:
  // A figure of item (not owned; null for a plain point list).
  explicit Outline(const LabelItem* item = nullptr) : m_item(item) {}

  // Appends a point given in millimetres.
  void AddPoint(double xMm, double yMm);
  int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  // The item at index (0 <= index < Count(); std::out_of_range otherwise).
  OutlinePoint& Item(int32_t index);
  const OutlinePoint& Item(int32_t index) const;
  // Removes every point (Points and Region stay until the next rebuild).
  void Clear();

  // Sizes Points to the item count; turns every item about the item's
  // box centre by its Angle (the millimetre coordinates are replaced by the
  // turned ones); sets the unrounded device coordinates to mm × PixelsPerMm
  // and the integer ones to their RoundPx; copies these into Points.
  // std::logic_error on a figure without an item.
  void MapToDevice();
  // Points[i] := (round(PixelsPerMmX × label Left) + item X,
  //               round(PixelsPerMmY × label Top) + item Y).
  void ShiftToLabel();
  // Rebuilds Region as the even-odd polygon region of Points (empty without
  // points).
  void BuildRegion();

  // The device points of the last MapToDevice / ShiftToLabel.
  std::span<const gdi::POINT> Points() const { return m_points; }
  const gdi::Region& Region() const { return m_region; }
  const LabelItem* Item() const { return m_item; }

 private:
  const LabelItem* RequireItem() const;

  const LabelItem* m_item;
  std::vector<OutlinePoint> m_items;
  std::vector<gdi::POINT> m_points;
  gdi::Region m_region;
};

// (x, y) turned by angleDegrees about (cx, cy), clockwise on a y-down
// device: x' = cx + cos θ (x − cx) − sin θ (y − cy), y' = cy + sin θ (x − cx)
// + cos θ (y − cy). Multiples of 90° turn exactly.
void RotatePoint(double cx, double cy, int32_t angleDegrees, double& x, double& y);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_OUTLINE_H
