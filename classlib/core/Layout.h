// Layout arithmetic of the class library: size constraints, anchors and alignment of child
// controls inside a parent's client rectangle. Pure functions on plain records, so they build and
// are tested without the platform.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/core/Sets.h"
#include "classlib/core/Types.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
inline constexpr TAnchors DefaultAnchors{akLeft, akTop};

// Minimum and maximum extents of a control; 0 means "no limit".
struct TSizeLimits {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
  friend bool operator==(const TSizeLimits&, const TSizeLimits&) = default;
};

// The extent limited by the constraints (maximum first, then minimum wins).
TSize ConstrainSize(const TSizeLimits& limits, int width, int height);

// What the aligning pass needs to know of one child.
struct TAlignItem {
  TAlign Align = alNone;
  TAnchors Anchors = DefaultAnchors;
  bool Visible = true;
  TRect Bounds;            // current bounds in parent client coordinates
  TRect AnchorBounds;      // bounds when the anchors were last recorded (placed by the program)
  TSize AnchorParentSize;  // parent client size at that moment; {0,0}: not recorded, no anchoring
  TSizeLimits Limits;
};

// Lays out the items in order (z-order of the parent): alTop, alBottom, alLeft, alRight take
// bands off the remaining rectangle in that order of kinds, alClient fills what remains;
// children with alNone follow their anchors: an edge anchored on both sides stretches, one
// anchored right (bottom) only moves with the parent's edge, one anchored on neither side keeps
// its centre proportionally. Returns the new bounds of every item, in order. Client is the
// parent's adjusted client rectangle, parentSize its current client size.
// When rest is given it receives what the bands left of the client rectangle (the room an MDI
// frame's client window takes).
std::vector<TRect> AlignItems(const std::vector<TAlignItem>& items, const TRect& client, TSize parentSize,
                              TRect* rest = nullptr);
