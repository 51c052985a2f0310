#include "classlib/core/DisabledLook.h"

#include <algorithm>

namespace qv {

TBgr DisabledGray(TBgr p) {
  int luminance = (p.R * 77 + p.G * 150 + p.B * 29) >> 8;
  auto g = std::uint8_t(128 + luminance / 2);
  return TBgr{g, g, g};
}

void ApplyDisabledLook(const TImageView& background, const TImageView& image, const TImageView& mask) {
  if (background.Empty() || image.Empty() || mask.Empty()) return;
  int w = std::min({background.Width, image.Width, mask.Width});
  int h = std::min({background.Height, image.Height, mask.Height});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      TBgr m = mask.Pixel(x, y);
      if (m.R == 0 && m.G == 0 && m.B == 0) background.SetPixel(x, y, DisabledGray(image.Pixel(x, y)));
    }
  }
}

}  // namespace qv
