// The disabled look of a button glyph that has no disabled frame of its own, without any
// platform header.
#pragma once

#include "classlib/core/Image24.h"

namespace qv {

// The greyed, embossed picture a button shows for a one-frame glyph while it is disabled. Every
// pixel of glyph that is neither the transparent key nor white is ink; dst receives the key
// everywhere, then the ink drawn one pixel right and down in highlight, then the ink in place in
// shadow (what falls past dst's right or bottom edge is cut off). dst must not overlap glyph; a
// smaller view limits the area.
void MakeDisabledGlyph(const TImageView& glyph, TBgr key, const TImageView& dst, TBgr highlight, TBgr shadow);

}  // namespace qv
