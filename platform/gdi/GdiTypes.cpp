// labelplu: the canvas's small arithmetic helpers.
#include "platform/gdi/GdiTypes.h"

#include <cstdlib>
#include <limits>

namespace labelplu::gdi {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t divisor = c;
  // Halves go away from zero: add half the divisor in the sign of the quotient.
  const int64_t half = std::llabs(divisor) / 2;
  const bool negative = (product < 0) != (divisor < 0);
  const int64_t magnitude = (std::llabs(product) + half) / std::llabs(divisor);
  const int64_t result = negative ? -magnitude : magnitude;
  if (result > std::numeric_limits<int32_t>::max() || result < std::numeric_limits<int32_t>::min())
    return -1;
  return static_cast<int32_t>(result);
}

}  // namespace labelplu::gdi
