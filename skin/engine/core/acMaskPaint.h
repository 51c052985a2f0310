// Painting of skin border masks and images on 24-bit images, without any platform header.
//
// A mask holds its state frames side by side inside rectangle R of an image (the skin's master
// image, or the mask's own bitmap with R covering it). Mask type 0 marks transparent pixels with
// the key 0xFF00FF; mask type 1 keeps a mask half below the frames (per byte: 0 opaque, 255
// transparent, values between blend). The four margins are the border widths of a frame.
//
// Every function clips to all images it touches: a mask rectangle outside its image, margins
// wider than the frame or the target, empty or huge targets and a frame count of 0 paint what is
// left and never read or write out of bounds. As with the pixel kernels, each function has a
// plain per-pixel twin in namespace qv::ref with bit-identical results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qv {

enum class TMaskDrawMode : std::uint8_t {
  Stretch,  // edges and centre stretched to the target (nearest pixel)
  Tile,     // edges and centre repeated
};

struct TMaskFrames {
  TImageView Image;
  TRect R;
  int ImageCount = 1;
  int MaskType = 0;
  int MarginLeft = 0;
  int MarginTop = 0;
  int MarginRight = 0;
  int MarginBottom = 0;
  TMaskDrawMode DrawMode = TMaskDrawMode::Stretch;
  // The key runs of Image when known (skin images): key-transparent frames are then copied by runs.
  const TKeyRunIndex* KeyRuns = nullptr;
};

// One state frame of a mask: its place in the image and its margins, all clipped. Valid is false
// when the mask has no pixels (R outside the image, frames of zero size).
struct TMaskFrame {
  bool Valid = false;
  int X = 0, Y = 0;                    // top-left of the frame in the image
  int W = 0, H = 0;                    // frame size
  int MaskDY = 0;                      // rows from a frame pixel down to its mask pixel (0 for mask type 0)
  int Type = 0;                        // 0 or 1
  int ML = 0, MT = 0, MR = 0, MB = 0;  // margins limited to the frame
};

// Frame min(max(State, 0), image count - 1) of the mask; an image count below 1 counts as 1.
TMaskFrame MaskFrameOf(const TMaskFrames& mask, int state);

// The rows of border masks composed at the widths they were painted at, kept between paints: each
// distinct frame row of a state is laid out once at the target's width (corners, stretched or
// tiled edge), with a note whether it holds transparent pixels, so that the target's rows are
// plain copies. Entries are told apart by the mask's pixels' address, frame, margins, draw mode and
// the target's width; the least recently used go when the cache passes its size. A frame whose rows
// are all painted straight from it (no key pixel, stretched pieces of one colour) is composed only
// when it is painted at one width again soon after (a control painted again, not resized). The
// owner keeps the cache no longer than the pixels it was painted from, or clears it when they
// change.
class TMaskPaintCache {
 public:
  explicit TMaskPaintCache(std::size_t maxBytes = std::size_t(8) << 20);
  ~TMaskPaintCache();
  TMaskPaintCache(const TMaskPaintCache&) = delete;
  TMaskPaintCache& operator=(const TMaskPaintCache&) = delete;

  void Clear();
  int Entries() const;
  std::size_t Bytes() const { return Bytes_; }

  struct TRows;

 private:
  friend struct TMaskPaintCacheAccess;
  std::vector<std::unique_ptr<TRows>> Entries_;
  std::size_t MaxBytes_;
  std::size_t Bytes_ = 0;
  std::uint64_t Clock_ = 0;
  std::uint64_t Straight_[8] = {};  // the last frames and widths painted straight, by their hash
  int NextStraight_ = 0;
};

// Nine-piece painting of frame State into rectangle R of Dst: the corners 1:1, the edges and
// (only with Filling) the centre stretched or tiled by the mask's draw mode. Transparent pixels
// keep Dst, or with UseCache take the ready cache image under them. Rows come from Rows when given
// (else they are composed for this call).
void PaintMaskRect(const TImageView& dst, const TRect& r, bool filling, const TCacheView& cache,
                   const TMaskFrames& mask, int state, bool useCache, TMaskPaintCache* rows = nullptr);

// Copies frame State 1:1 to Point, transparent by the key or the mask half. Mode 2 lays it at half
// opacity (a disabled or inactive look); any other mode copies normally.
void PaintMaskImage(const TImageView& dst, TPoint point, int state, int mode, const TMaskFrames& mask);

// Lays the corner images Corners[0..3] (top-left, top-right, bottom-left, bottom-right; nullptr or
// an image without pixels is left out) at the four corners of R, frame State of each, transparent
// by its key or mask half, clipped to R and Dst.
void PaintCornerImages(const TImageView& dst, const TRect& r, int state, const TMaskFrames* const corners[4]);

// Paints frame State over the whole of Dst (nine pieces) writing the key 0xFF00FF where the mask is
// wholly transparent, and appends the row runs of key pixels of the painted image to Cut: the
// parts to cut out of a window region.
void PaintMaskRegion(const TImageView& dst, bool filling, const TMaskFrames& mask, int state, std::vector<TRect>& cut,
                     TMaskPaintCache* rows = nullptr);

// Appends one rectangle (one pixel high) per run of transparent pixels in the two top corners of
// frame 0 (with Bottom: the two bottom corners), placed for a window Width wide: the left corner
// at x 0, the right corner ending at Width, the corner's first row at Y. Rectangles are clipped
// to 0..Width.
void CollectCornerRects(std::vector<TRect>& rects, int width, const TMaskFrames& mask, bool bottom, int y);

namespace ref {
void PaintMaskRect(const TImageView& dst, const TRect& r, bool filling, const TCacheView& cache,
                   const TMaskFrames& mask, int state, bool useCache);
void PaintMaskImage(const TImageView& dst, TPoint point, int state, int mode, const TMaskFrames& mask);
void PaintCornerImages(const TImageView& dst, const TRect& r, int state, const TMaskFrames* const corners[4]);
void PaintMaskRegion(const TImageView& dst, bool filling, const TMaskFrames& mask, int state, std::vector<TRect>& cut);
void CollectCornerRects(std::vector<TRect>& rects, int width, const TMaskFrames& mask, bool bottom, int y);
}  // namespace ref

}  // namespace qv
