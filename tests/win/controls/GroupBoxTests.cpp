// The skinned group box and radio group: caption box and frame in the cache, the strip copied
// from the parent, buttons laid out in columns, the item index kept in range, a group that
// refuses changes, skin changes passed on to the buttons.
#include <gtest/gtest.h>

#include "skin/controls/sGroupBox.h"
#include "skin/engine/sStyleSimply.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class GroupBox : public ControlsTest {
 protected:
  template <class T = TsGroupBox>
  T* Make(TWinControl* parent, const char* caption, int x, int y, int w, int h) {
    auto* g = Create<T>(Form);
    g->SetParent(parent);
    g->SetCaption(caption);
    g->SetBounds(x, y, w, h);
    flush_events();
    return g;
  }
  TsRadioGroup* MakeGroup(int items, int columns, int w = 300, int h = 120) {
    auto* g = Make<TsRadioGroup>(Form, "Choices", 10, 10, w, h);
    for (int i = 0; i < items; ++i) g->Items()->Add("Item " + std::to_string(i));
    g->SetColumns(columns);
    flush_events();
    return g;
  }
  static void Redraw(TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    flush_events();
  }
};

class TRefusingGroup : public TsRadioGroup {
 public:
  using TsRadioGroup::TsRadioGroup;
  bool CanModify() override { return Allow; }
  bool Allow = false;
};

struct TClicks {
  int Count = 0;
  void OnClick(TObject*) { ++Count; }
};

}  // namespace

TEST_F(GroupBox, CaptionBoxAndFrameInTheCache) {
  LoadStandardSkin();
  struct Case {
    const char* Caption;
    TsCaptionLayout Layout;
    int YOffset;
    bool OnSkinnedParent;  // else on the form, which keeps no image
  };
  const Case cases[] = {{"Left", clTopLeft, 0, true},        {"Centred", clTopCenter, 0, true},
                        {"Right", clTopRight, 0, true},      {"Raised", clTopLeft, -4, true},
                        {"Lowered", clTopLeft, 5, true},     {"", clTopLeft, 0, true},
                        {"On the form", clTopLeft, 0, false}};
  const COLORREF frame = Frame("GROUPBOX", 0), box = Frame("CHECKBOX", 0);
  auto* host = Make(Form, "", 0, 0, 340, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    auto* g = Make(c.OnSkinnedParent ? static_cast<TWinControl*>(host) : Form, c.Caption, 10, 10, 200, 100);
    if (!c.OnSkinnedParent) g->BringToFront();
    g->SetCaptionLayout(c.Layout);
    g->SetCaptionYOffset(c.YOffset);
    Redraw(g);
    const TRect cr = g->CaptionRect();
    TSize ts{};
    TextExtentWithFont(g->Font(), c.Caption, ts);
    const int expectedLeft = c.Layout == clTopLeft    ? 6
                             : c.Layout == clTopRight ? 200 - ts.cx - 14
                                                      : (200 - ts.cx - 10) / 2;
    EXPECT_EQ(expectedLeft, cr.Left);
    EXPECT_EQ(std::min(200, expectedLeft + ts.cx + 8), cr.Right);
    EXPECT_EQ(c.YOffset < 0 ? c.YOffset : 0, cr.Top);
    // The frame starts half way down the caption box (at the top edge when the box is raised).
    const int t = c.YOffset >= 0 ? cr.Height() / 2 : 0;
    const int x = c.Layout == clTopRight ? 20 : 180;
    EXPECT_EQ(ColorText(frame), ColorText(CachePixel(g->SkinData(), x, t + 1)));
    if (t > 0) {
      EXPECT_NE(ColorText(frame), ColorText(CachePixel(g->SkinData(), x, t - 1)));
    }
    EXPECT_EQ(ColorText(frame), ColorText(CachePixel(g->SkinData(), 1, 60)));
    // The caption box's frame at its left edge; on a parent without an image only the parent's
    // colour; none without a caption.
    const RECT all{0, 0, 200, 100};
    const COLORREF left = CachePixel(g->SkinData(), cr.Left + 1, (std::max(0, cr.Top) + cr.Bottom) / 2);
    if (!c.OnSkinnedParent) {
      EXPECT_EQ(ColorText(ColorToRGB(Form->Color())), ColorText(left));
    } else if (*c.Caption) {
      EXPECT_EQ(ColorText(box), ColorText(left));
    } else {
      EXPECT_EQ(0, CaptureBitmap(g->SkinData()->CacheBmp->Handle()).CountColor(box, all));
    }
    g->Free();
  }
}

TEST_F(GroupBox, StripBehindTheCaptionIsTheParentsImageUnshifted) {
  LoadStandardSkin();
  auto* outer = Make(Form, "Outer", 10, 10, 300, 200);
  // One inner box on the outer's left border, one on its right border.
  auto* left = Make(outer, "Inner", 0, 40, 120, 60);
  auto* right = Make(outer, "Inner", 180, 110, 120, 60);
  Redraw(outer);
  for (TsGroupBox* inner : {left, right}) {
    SCOPED_TRACE(inner->Left());
    const TRect cr = inner->CaptionRect();
    for (int x : {0, 1, 2, 3, cr.Right + 2, inner->Width() - 4, inner->Width() - 2, inner->Width() - 1}) {
      EXPECT_EQ(ColorText(CachePixel(outer->SkinData(), inner->Left() + x, inner->Top() + 1)),
                ColorText(CachePixel(inner->SkinData(), x, 1)))
          << x;
    }
  }
}

TEST_F(GroupBox, ButtonsLaidOutInColumns) {
  LoadStandardSkin();
  struct Case {
    int Items, Columns, W, H;
  };
  const Case cases[] = {{7, 3, 310, 140}, {4, 1, 200, 150}, {5, 2, 100, 60}, {6, 4, 8, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Items) + " in " + std::to_string(c.Columns));
    TsRadioGroup* g = MakeGroup(c.Items, c.Columns, c.W, c.H);
    const int perColumn = (c.Items + c.Columns - 1) / c.Columns;
    const int ch = g->CaptionRect().Height();
    const int w = std::max(0, (c.W - 10) / c.Columns), h = std::max(0, (c.H - ch - 5) / perColumn);
    ASSERT_EQ(c.Items, g->ButtonCount());
    for (int i = 0; i < c.Items; ++i) {
      TsGroupButton* b = g->Buttons(i);
      EXPECT_EQ(TRect(Bounds((i / perColumn) * w + 8, (i % perColumn) * h + ch + 2, w, h)), b->BoundsRect()) << i;
      EXPECT_TRUE(b->Visible());
      EXPECT_GE(b->Width(), 0);
      EXPECT_GE(b->Height(), 0);
    }
    g->Free();
  }
  // Seven items in three columns: three, three and one.
  TsRadioGroup* g = MakeGroup(7, 3, 310, 140);
  EXPECT_EQ(g->Buttons(0)->Left(), g->Buttons(2)->Left());
  EXPECT_EQ(g->Buttons(3)->Left(), g->Buttons(5)->Left());
  EXPECT_EQ(g->Buttons(0)->Top(), g->Buttons(6)->Top());
  EXPECT_LT(g->Buttons(3)->Left(), g->Buttons(6)->Left());
}

TEST_F(GroupBox, ColumnsAndItemIndexKeptInRange) {
  TsRadioGroup* g = MakeGroup(3, 1);
  const std::pair<int, int> columns[] = {{0, 1}, {40, 16}, {3, 3}, {-2, 1}, {16, 16}};
  for (auto [set, stored] : columns) {
    g->SetColumns(set);
    EXPECT_EQ(stored, g->Columns()) << set;
  }
  const std::pair<int, int> indexes[] = {{99, 2}, {-5, -1}, {1, 1}, {3, 2}};
  for (auto [set, stored] : indexes) {
    g->SetItemIndex(set);
    EXPECT_EQ(stored, g->ItemIndex()) << set;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i == stored, g->Buttons(i)->Checked()) << set << " button " << i;
  }
  // Deleting the checked last line moves the index to the new last line.
  g->Items()->Delete(2);
  EXPECT_EQ(1, g->ItemIndex());
  EXPECT_TRUE(g->Buttons(1)->Checked());
  EXPECT_EQ(2, g->ButtonCount());

  // While loading any value is stored as given; Loaded applies it, in range.
  auto* loaded = Create<TsRadioGroup>(Form);
  BeginLoading(loaded);
  loaded->Items()->Add("A");
  loaded->Items()->Add("B");
  loaded->Items()->Add("C");
  loaded->SetItemIndex(7);
  EXPECT_EQ(7, loaded->ItemIndex());
  loaded->SetParent(Form);
  EndLoading(loaded);
  EXPECT_EQ(2, loaded->ItemIndex());
  ASSERT_EQ(3, loaded->ButtonCount());
  EXPECT_TRUE(loaded->Buttons(2)->Checked());
}

TEST_F(GroupBox, ClicksCheckButtonsUnlessTheGroupRefuses) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "plain");
    if (skinned) LoadStandardSkin();
    MouseAway();
    auto* g = Make<TRefusingGroup>(Form, "Refusing", 10, 10, 200, 110);
    for (const char* s : {"One", "Two", "Three"}) g->Items()->Add(s);
    g->SetItemIndex(0);
    TClicks clicks;
    g->OnClick = MakeMethod<&TClicks::OnClick>(&clicks);
    flush_events();
    auto clickButton = [&](int i) {
      TsGroupButton* b = g->Buttons(i);
      const TRect r = b->CheckRect();
      ClickAt(ScreenPoint(b, r.Left + 3, (r.Top + r.Bottom) / 2));
    };
    clickButton(2);
    EXPECT_EQ(0, g->ItemIndex());
    EXPECT_TRUE(g->Buttons(0)->Checked());
    EXPECT_FALSE(g->Buttons(2)->Checked());
    EXPECT_TRUE(g->Buttons(2)->GetReadOnly());
    EXPECT_EQ(0, clicks.Count);
    g->Allow = true;
    // A click elsewhere first: two clicks at one place would make a double click.
    ClickAt(ScreenPoint(Form, 300, 200));
    clickButton(2);
    EXPECT_EQ(2, g->ItemIndex());
    EXPECT_FALSE(g->Buttons(0)->Checked());
    EXPECT_EQ(1, clicks.Count);
    g->Free();
    FreeAndNil(Manager);
  }
}

TEST_F(GroupBox, SkinChangesReachTheButtons) {
  LoadStandardSkin();
  TsRadioGroup* g = MakeGroup(3, 1);
  g->SetItemIndex(1);
  Redraw(g);
  TsGroupButton* b = g->Buttons(1);
  const COLORREF checked = TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", "RADIOCHECKED"), 0);
  auto glyph = [&] {
    const TRect r = b->CheckRect();
    return CaptureScreen(b->Handle()).Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  };
  EXPECT_EQ(ColorText(checked), ColorText(glyph()));
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(BST_CHECKED, SendMessageA(b->Handle(), BM_GETCHECK, 0, 0) & 3);
  EXPECT_NE(ColorText(checked), ColorText(glyph()));
  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(ColorText(checked), ColorText(glyph()));
}

TEST_F(GroupBox, SectionAtIndexZeroIsPainted) {
  // The caption box's section first in the skin, then the group box's own.
  TSkinBuilder b;
  b.Section("CHECKBOX");
  b.Mask("CHECKBOX", "BORDERSMASK", 9, 9, 2);
  b.Section("GROUPBOX");
  b.Mask("GROUPBOX", "BORDERSMASK", 9, 9, 2);
  b.Section("GLOBALINFO");
  LoadSkin(b);
  ASSERT_EQ(0, Manager->SectionIndexOf("CHECKBOX"));
  auto* host = Make(Form, "", 0, 0, 300, 200);
  auto* g = Make(host, "Caption", 10, 10, 200, 100);
  Redraw(host);
  const TRect cr = g->CaptionRect();
  EXPECT_EQ(ColorText(Frame("CHECKBOX", 0)), ColorText(CachePixel(g->SkinData(), cr.Left + 1, cr.Bottom / 2)));
}
