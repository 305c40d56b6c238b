// labelplu: dash patterns of one-pixel pens.
#include "platform/gdi/LinePixels.h"

#include <array>
#include <numeric>

namespace labelplu::gdi {
namespace {

// The platform's patterns for one-pixel pens, in pixels: on, off, on, off…
constexpr std::array<int32_t, 2> kDash{18, 6};
constexpr std::array<int32_t, 2> kDot{3, 3};
constexpr std::array<int32_t, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int32_t, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

}  // namespace

LineStyle::LineStyle(int32_t penStyle) {
  switch (penStyle) {
    case PS_DASH:
      m_pattern = kDash;
      break;
    case PS_DOT:
      m_pattern = kDot;
      break;
    case PS_DASHDOT:
      m_pattern = kDashDot;
      break;
    case PS_DASHDOTDOT:
      m_pattern = kDashDotDot;
      break;
    default:
      break;
  }
  m_length = std::accumulate(m_pattern.begin(), m_pattern.end(), int64_t{0});
}

bool LineStyle::Next() {
  if (m_length == 0) return true;
  int64_t at = m_position;
  m_position = (m_position + 1) % m_length;
  for (size_t i = 0; i < m_pattern.size(); ++i) {
    if (at < m_pattern[i]) return i % 2 == 0;
    at -= m_pattern[i];
  }
  return false;
}

void LineStyle::Skip(int64_t count) {
  if (m_length == 0 || count <= 0) return;
  m_position = (m_position + count % m_length) % m_length;
}

}  // namespace labelplu::gdi
