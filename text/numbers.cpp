#include "text/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace cuijian {

Text NumberToText(double value) {
  // to_chars in general form with precision 13 writes what "%.13g" writes, but never takes the
  // decimal separator from the process locale (a window toolkit may set one with a comma).
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return Text(buffer, result.ptr);
}

Text NumberToText(std::int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Text(buffer, result.ptr);
}

int TruncateToInteger(double value) {
  // Casting a NaN or an out-of-range double is undefined, so those get fixed answers.
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return INT_MAX;
  if (value <= -2147483649.0) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace cuijian
