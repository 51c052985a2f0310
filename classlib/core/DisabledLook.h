// The disabled look of an image drawn over a background, without any platform header.
#pragma once

#include "classlib/core/Image24.h"

namespace qv {

// The grey a disabled image shows for a pixel: a light grey of the pixel's luminance, so dark
// glyph lines stay visible as mid grey and light parts fade toward white.
TBgr DisabledGray(TBgr pixel);

// For every pixel of background where mask is black (the image covers it), the disabled grey
// of the same pixel of image; elsewhere background stays as it is. The three views must have
// the same size (a smaller one limits the area).
void ApplyDisabledLook(const TImageView& background, const TImageView& image, const TImageView& mask);

}  // namespace qv
