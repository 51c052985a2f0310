// Layout arithmetic: size constraints, aligned bands and anchor rules, as tables of cases.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "classlib/core/Layout.h"

// Readable rectangles in failure messages (found by the test framework through the type).
inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << "," << r.Top << ")-(" << r.Right << "," << r.Bottom << ")";
}

namespace {

// ---- constraints ------------------------------------------------------------------------------

struct ConstrainCase {
  const char* Name;
  TSizeLimits Limits;
  int W, H;
  int ExpW, ExpH;
};

const ConstrainCase kConstrainCases[] = {
    {"no limits", {}, 120, 80, 120, 80},
    {"max width cuts", {0, 0, 100, 0}, 120, 80, 100, 80},
    {"max height cuts", {0, 0, 0, 50}, 120, 80, 120, 50},
    {"min width grows", {150, 0, 0, 0}, 120, 80, 150, 80},
    {"min height grows", {0, 90, 0, 0}, 120, 80, 120, 90},
    {"inside the range unchanged", {100, 50, 200, 100}, 120, 80, 120, 80},
    {"min wins over a smaller max", {150, 0, 100, 0}, 120, 80, 150, 80},
    {"zero means no limit", {0, 0, 0, 0}, 1, 1, 1, 1},
    {"negative extents become empty", {}, -5, -1, 0, 0},
    {"negative extent raised to the minimum", {10, 10, 0, 0}, -5, -5, 10, 10},
};

TEST(Layout, ConstrainSizeTable) {
  for (const ConstrainCase& c : kConstrainCases) {
    TSize s = ConstrainSize(c.Limits, c.W, c.H);
    EXPECT_EQ(c.ExpW, s.cx) << c.Name;
    EXPECT_EQ(c.ExpH, s.cy) << c.Name;
  }
}

// ---- aligned bands ----------------------------------------------------------------------------

TAlignItem Aligned(TAlign align, TRect bounds, TSizeLimits limits = {}, bool visible = true) {
  TAlignItem it;
  it.Align = align;
  it.Bounds = bounds;
  it.Limits = limits;
  it.Visible = visible;
  return it;
}

struct AlignCase {
  const char* Name;
  std::vector<TAlignItem> Items;
  TRect Client;
  std::vector<TRect> Expected;
};

std::vector<AlignCase> AlignCases() {
  const TRect client = Rect(0, 0, 200, 100);
  return {
      {"top band keeps its height, takes the width",
       {Aligned(alTop, Bounds(30, 40, 10, 20))},
       client,
       {Rect(0, 0, 200, 20)}},
      {"bottom band at the bottom", {Aligned(alBottom, Bounds(0, 0, 10, 25))}, client, {Rect(0, 75, 200, 100)}},
      {"left and right bands take the height left by top and bottom",
       {Aligned(alLeft, Bounds(0, 0, 30, 5)), Aligned(alTop, Bounds(0, 0, 5, 10)),
        Aligned(alRight, Bounds(0, 0, 40, 5)), Aligned(alBottom, Bounds(0, 0, 5, 20))},
       client,
       {Rect(0, 10, 30, 80), Rect(0, 0, 200, 10), Rect(160, 10, 200, 80), Rect(0, 80, 200, 100)}},
      {"client fills what the bands leave",
       {Aligned(alClient, Bounds(5, 5, 5, 5)), Aligned(alTop, Bounds(0, 0, 5, 10)),
        Aligned(alLeft, Bounds(0, 0, 50, 5))},
       client,
       {Rect(50, 10, 200, 100), Rect(0, 0, 200, 10), Rect(0, 10, 50, 100)}},
      {"two top bands stack in list order",
       {Aligned(alTop, Bounds(0, 50, 5, 10)), Aligned(alTop, Bounds(0, 0, 5, 15))},
       client,
       {Rect(0, 0, 200, 10), Rect(0, 10, 200, 25)}},
      {"an invisible band takes no room and keeps its bounds",
       {Aligned(alTop, Bounds(3, 4, 5, 30), {}, false), Aligned(alTop, Bounds(0, 0, 5, 10))},
       client,
       {Bounds(3, 4, 5, 30), Rect(0, 0, 200, 10)}},
      {"an adjusted client rectangle (borders) is honoured",
       {Aligned(alClient, Bounds(0, 0, 1, 1))},
       Rect(4, 6, 196, 94),
       {Rect(4, 6, 196, 94)}},
      {"constraints limit a band, which stays at its edge",
       {Aligned(alTop, Bounds(0, 0, 5, 10), {0, 0, 120, 0}), Aligned(alRight, Bounds(0, 0, 40, 5), {0, 0, 0, 50})},
       client,
       {Rect(0, 0, 120, 10), Rect(160, 10, 200, 60)}},
      {"a band taller than the room left overlaps, and the rest is not turned inside out",
       {Aligned(alTop, Bounds(0, 0, 5, 80)), Aligned(alBottom, Bounds(0, 0, 5, 60)),
        Aligned(alClient, Bounds(0, 0, 5, 5))},
       client,
       {Rect(0, 0, 200, 80), Rect(0, 40, 200, 100), Rect(0, 80, 200, 80)}},
      {"alNone and alCustom children are not moved by the bands",
       {Aligned(alNone, Bounds(7, 8, 9, 10)), Aligned(alCustom, Bounds(1, 2, 3, 4)),
        Aligned(alTop, Bounds(0, 0, 5, 10))},
       client,
       {Bounds(7, 8, 9, 10), Bounds(1, 2, 3, 4), Rect(0, 0, 200, 10)}},
  };
}

TEST(Layout, AlignBandsTable) {
  for (const AlignCase& c : AlignCases()) {
    TSize parent{c.Client.Width(), c.Client.Height()};
    std::vector<TRect> out = AlignItems(c.Items, c.Client, parent);
    ASSERT_EQ(c.Expected.size(), out.size()) << c.Name;
    for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(c.Expected[i], out[i]) << c.Name << ", item " << i;
  }
}

TEST(Layout, AlignRestIsWhatTheBandsLeave) {
  const TRect client = Rect(0, 0, 200, 100);
  TRect rest;
  AlignItems({Aligned(alTop, Bounds(0, 0, 5, 10)), Aligned(alRight, Bounds(0, 0, 40, 5)),
              Aligned(alBottom, Bounds(0, 0, 5, 20)), Aligned(alClient, Bounds(0, 0, 5, 5))},
             client, TSize{200, 100}, &rest);
  EXPECT_EQ(Rect(0, 10, 160, 80), rest);  // a client-aligned child fills it but does not use it up
  AlignItems({}, client, TSize{200, 100}, &rest);
  EXPECT_EQ(client, rest);
  AlignItems({Aligned(alTop, Bounds(0, 0, 5, 150))}, client, TSize{200, 100}, &rest);
  EXPECT_EQ(Rect(0, 100, 200, 100), rest);  // used up, never inverted
}

// ---- anchors ----------------------------------------------------------------------------------

struct AnchorCase {
  const char* Name;
  TAnchors Anchors;
  TSizeLimits Limits;
  TSize NewParent;  // the parent was 200 x 100 when the control was placed at (40, 30, 60 x 20)
  TRect Expected;
};

const AnchorCase kAnchorCases[] = {
    {"left top: stays", TAnchors{akLeft, akTop}, {}, {300, 160}, Bounds(40, 30, 60, 20)},
    {"right bottom: moves with the far edges", TAnchors{akRight, akBottom}, {}, {300, 160}, Bounds(140, 90, 60, 20)},
    {"right bottom, parent shrinks", TAnchors{akRight, akBottom}, {}, {150, 80}, Bounds(-10, 10, 60, 20)},
    {"left and right: stretches", TAnchors{akLeft, akRight, akTop}, {}, {300, 160}, Bounds(40, 30, 160, 20)},
    {"all four: stretches both ways",
     TAnchors{akLeft, akTop, akRight, akBottom},
     {},
     {300, 160},
     Bounds(40, 30, 160, 80)},
    {"stretch never goes negative", TAnchors{akLeft, akTop, akRight, akBottom}, {}, {100, 50}, Bounds(40, 30, 0, 0)},
    {"stretch limited by constraints",
     TAnchors{akLeft, akTop, akRight, akBottom},
     {0, 0, 100, 40},
     {300, 160},
     Bounds(40, 30, 100, 40)},
    // Centre (70, 40) of 200 x 100 scaled to 300 x 160: (105, 64).
    {"no anchor on either side: the centre scales with the parent", TAnchors{}, {}, {300, 160}, Bounds(75, 54, 60, 20)},
    // Centre 70 of 200 scaled to 250: 87.5 rounds to 88; vertical anchored top.
    {"horizontal centre rounds half away from zero", TAnchors{akTop}, {}, {250, 100}, Bounds(58, 30, 60, 20)},
    {"vertical centre only", TAnchors{akLeft, akRight}, {}, {200, 50}, Bounds(40, 10, 60, 20)},
};

TEST(Layout, AnchorsTable) {
  for (const AnchorCase& c : kAnchorCases) {
    TAlignItem it;
    it.Anchors = c.Anchors;
    it.Limits = c.Limits;
    it.Bounds = Bounds(40, 30, 60, 20);
    it.AnchorBounds = it.Bounds;
    it.AnchorParentSize = TSize{200, 100};
    std::vector<TRect> out = AlignItems({it}, Rect(0, 0, c.NewParent.cx, c.NewParent.cy), c.NewParent);
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(c.Expected, out[0]) << c.Name;
  }
}

TEST(Layout, AnchorsRulesStartFromTheRecordedBoundsNotTheCurrentOnes) {
  // The control was moved by an earlier pass to (140, 90); a second resize starts again from the
  // bounds the program gave it, so repeated resizes do not accumulate.
  TAlignItem it;
  it.Anchors = TAnchors{akRight, akBottom};
  it.Bounds = Bounds(140, 90, 60, 20);
  it.AnchorBounds = Bounds(40, 30, 60, 20);
  it.AnchorParentSize = TSize{200, 100};
  std::vector<TRect> out = AlignItems({it}, Rect(0, 0, 250, 120), TSize{250, 120});
  EXPECT_EQ(Bounds(90, 50, 60, 20), out[0]);
}

TEST(Layout, AnchorsNoRecordedParentSizeMeansNoAnchoring) {
  TAlignItem it;
  it.Anchors = TAnchors{akRight, akBottom};
  it.Bounds = Bounds(5, 6, 7, 8);
  it.AnchorBounds = Bounds(1, 1, 1, 1);
  it.AnchorParentSize = TSize{0, 0};
  EXPECT_EQ(Bounds(5, 6, 7, 8), AlignItems({it}, Rect(0, 0, 300, 300), TSize{300, 300})[0]);
  // An aligned control ignores its anchors.
  it.Align = alLeft;
  it.AnchorParentSize = TSize{100, 100};
  EXPECT_EQ(Rect(0, 0, 7, 300), AlignItems({it}, Rect(0, 0, 300, 300), TSize{300, 300})[0]);
}

}  // namespace
