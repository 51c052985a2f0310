#include "classlib/core/ButtonGlyph.h"

#include <algorithm>
#include <vector>

namespace qv {

void MakeDisabledGlyph(const TImageView& glyph, TBgr key, const TImageView& dst, TBgr highlight, TBgr shadow) {
  if (glyph.Empty() || dst.Empty()) return;
  const int w = std::min(glyph.Width, dst.Width);
  const int h = std::min(glyph.Height, dst.Height);
  const TBgr white{255, 255, 255};
  std::vector<bool> ink(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TBgr p = glyph.Pixel(x, y);
      ink[static_cast<std::size_t>(y) * w + x] = !(p == key) && !(p == white);
    }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dst.SetPixel(x, y, key);
  for (int y = 0; y + 1 < h; ++y)
    for (int x = 0; x + 1 < w; ++x)
      if (ink[static_cast<std::size_t>(y) * w + x]) dst.SetPixel(x + 1, y + 1, highlight);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (ink[static_cast<std::size_t>(y) * w + x]) dst.SetPixel(x, y, shadow);
}

}  // namespace qv
