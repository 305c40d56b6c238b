// labelplu: the rounding of the label model. Millimetres become device
// pixels, and positions snap to the grid, by rounding to the nearest integer
// with halves to the even neighbour (12.5 -> 12, 13.5 -> 14, -2.5 -> -2),
// whatever the process's floating-point rounding mode.
#ifndef LABELPLU_LABEL_PIXELROUND_H
#define LABELPLU_LABEL_PIXELROUND_H

#include <cmath>
#include <cstdint>

namespace labelplu {

// x rounded to the nearest integer, halves to even; infinities and NaN are
// returned unchanged.
inline double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double floor = std::floor(x);
  const double diff = x - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

// RoundHalfEven(x) as a device coordinate, saturated to the 32-bit range (NaN
// gives 0), so that absurd geometry never overflows.
inline int32_t RoundPx(double x) {
  if (std::isnan(x)) return 0;
  const double r = RoundHalfEven(x);
  if (r <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (r >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(r);
}

}  // namespace labelplu

#endif  // LABELPLU_LABEL_PIXELROUND_H
