#include "classlib/core/Layout.h"

#include <algorithm>
#include <cstdint>

TSize ConstrainSize(const TSizeLimits& limits, int width, int height) {
  if (limits.MaxWidth > 0 && width > limits.MaxWidth) width = limits.MaxWidth;
  if (limits.MaxHeight > 0 && height > limits.MaxHeight) height = limits.MaxHeight;
  if (limits.MinWidth > 0 && width < limits.MinWidth) width = limits.MinWidth;
  if (limits.MinHeight > 0 && height < limits.MinHeight) height = limits.MinHeight;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  return TSize{width, height};
}

namespace {

// a * b / c rounded to the nearest integer (halves away from zero), without overflow for the
// extents a layout deals with.
int MulDivRound(int a, int b, int c) {
  const std::int64_t n = static_cast<std::int64_t>(a) * b;
  const std::int64_t h = c / 2;
  return static_cast<int>(n >= 0 ? (n + h) / c : (n - h) / c);
}

// One axis of the anchor rule: position and extent from the recorded ones and the parent's
// extent then (origParent, above 0) and now (parent).
void AnchorAxis(bool nearSide, bool farSide, int origPos, int origExtent, int origParent, int parent, int& pos,
                int& extent) {
  const int delta = parent - origParent;
  if (nearSide && farSide) {
    pos = origPos;
    extent = std::max(0, origExtent + delta);
  } else if (farSide) {
    pos = origPos + delta;
    extent = origExtent;
  } else if (!nearSide) {
    // Anchored on neither side: the centre keeps its proportional place in the parent.
    extent = origExtent;
    pos = MulDivRound(origPos + origExtent / 2, parent, origParent) - extent / 2;
  } else {
    pos = origPos;
    extent = origExtent;
  }
}

}  // namespace

std::vector<TRect> AlignItems(const std::vector<TAlignItem>& items, const TRect& client, TSize parentSize,
                              TRect* restOut) {
  std::vector<TRect> out;
  out.reserve(items.size());
  for (const TAlignItem& it : items) out.push_back(it.Bounds);

  TRect rest = client;
  auto constrain = [](const TAlignItem& it, int w, int h) { return ConstrainSize(it.Limits, w, h); };

  // Bands in the order of kinds, each kind in z-order.
  const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign kind : order) {
    for (size_t i = 0; i < items.size(); ++i) {
      const TAlignItem& it = items[i];
      if (!it.Visible || it.Align != kind) continue;
      int w = it.Bounds.Width();
      int h = it.Bounds.Height();
      TRect r;
      switch (kind) {
        case alTop: {
          TSize s = constrain(it, rest.Width(), h);
          r = Bounds(rest.Left, rest.Top, s.cx, s.cy);
          rest.Top = std::min(rest.Bottom, rest.Top + s.cy);
          break;
        }
        case alBottom: {
          TSize s = constrain(it, rest.Width(), h);
          r = Bounds(rest.Left, rest.Bottom - s.cy, s.cx, s.cy);
          rest.Bottom = std::max(rest.Top, rest.Bottom - s.cy);
          break;
        }
        case alLeft: {
          TSize s = constrain(it, w, rest.Height());
          r = Bounds(rest.Left, rest.Top, s.cx, s.cy);
          rest.Left = std::min(rest.Right, rest.Left + s.cx);
          break;
        }
        case alRight: {
          TSize s = constrain(it, w, rest.Height());
          r = Bounds(rest.Right - s.cx, rest.Top, s.cx, s.cy);
          rest.Right = std::max(rest.Left, rest.Right - s.cx);
          break;
        }
        default: {
          TSize s = constrain(it, rest.Width(), rest.Height());
          r = Bounds(rest.Left, rest.Top, s.cx, s.cy);
          break;
        }
      }
      out[i] = r;
    }
    // The client band fills the rest but leaves it for the next kind (nothing follows it).
  }
  if (restOut) *restOut = rest;

  for (size_t i = 0; i < items.size(); ++i) {
    const TAlignItem& it = items[i];
    if (it.Align != alNone || it.AnchorParentSize.cx <= 0 || it.AnchorParentSize.cy <= 0) continue;
    if (it.Anchors == DefaultAnchors) continue;
    int l, w, t, h;
    AnchorAxis(it.Anchors.Contains(akLeft), it.Anchors.Contains(akRight), it.AnchorBounds.Left, it.AnchorBounds.Width(),
               it.AnchorParentSize.cx, parentSize.cx, l, w);
    AnchorAxis(it.Anchors.Contains(akTop), it.Anchors.Contains(akBottom), it.AnchorBounds.Top, it.AnchorBounds.Height(),
               it.AnchorParentSize.cy, parentSize.cy, t, h);
    TSize s = ConstrainSize(it.Limits, w, h);
    out[i] = Bounds(l, t, s.cx, s.cy);
  }
  return out;
}
