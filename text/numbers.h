#pragma once

#include <cstdint>

#include "text/text_types.h"

namespace cuijian {

/// The double in the form "%.13g" (14.0 gives "14").
Text NumberToText(double value);

/// The integer in the form "%d".
Text NumberToText(std::int32_t value);

/// `value` cut toward zero (2.9 gives 2, -2.9 gives -2); saturates outside the int range.
int TruncateToInteger(double value);

}  // namespace cuijian
