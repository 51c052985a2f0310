// Skin images are the class library's 24-bit images (classlib/core/Image24.h); pixels of the skin's
// transparent key colour are left out wherever a skin image is painted.
#pragma once

#include "classlib/core/Image24.h"

namespace qv {

// The transparent key of skin images (magenta).
inline constexpr TColorRef clKeyMagenta = 0xFF00FF;

}  // namespace qv
