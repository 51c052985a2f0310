// The skinned check box: glyph and caption geometry, state frames read from the screen under real
// mouse and keyboard input, read-only boxes skinned or not, the state handed back to the native
// button, glyphs from the user and from an image list.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/ImgList.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sRadioButton.h"
#include "skin/engine/sStyleSimply.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class CheckBox : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  template <class T = TsCheckBox>
  T* Make(const char* caption = "Option", int x = 20, int y = 20) {
    auto* c = Create<T>(Form);
    c->SetParent(Form);
    c->SetCaption(caption);
    c->SetLeft(x);
    c->SetTop(y);
    flush_events();
    return c;
  }
  // The glyph's centre as the screen shows it.
  static COLORREF GlyphOnScreen(TWinControl* c, const TRect& glyph) {
    return CaptureScreen(c->Handle()).Pixel((glyph.Left + glyph.Right) / 2, (glyph.Top + glyph.Bottom) / 2);
  }
  COLORREF Glyph(const char* name, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", name), state);
  }
  static void Redraw(TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    flush_events();
  }
};

// A glyph bitmap of three frames of the given colours with an opaque mask below.
std::unique_ptr<TBitmap> FramedGlyph(int w, int h, TColor c0, TColor c1, TColor c2) {
  std::unique_ptr<TBitmap> b(CreateBmp24(3 * w, 2 * h));
  FillBmpRect(b.get(), Rect(0, 0, w, h), c0);
  FillBmpRect(b.get(), Rect(w, 0, 2 * w, h), c1);
  FillBmpRect(b.get(), Rect(2 * w, 0, 3 * w, h), c2);
  FillBmpRect(b.get(), Rect(0, h, 3 * w, 2 * h), TColor(0));
  return b;
}

}  // namespace

TEST_F(CheckBox, GlyphRectangleAndAutoSize) {
  struct Case {
    const char* Name;
    bool SkinGlyphs;   // the skin has the box glyphs
    int UserW, UserH;  // a user glyph bitmap (0: none)
    int ListW, ListH;  // an image list (0: none)
    TLeftRight Alignment;
    const char* Caption;
    int Margin, Indent;
    TRect Glyph;  // expected, for a box 120 x 30
  };
  const Case cases[] = {
      {"skin glyph right", true, 0, 0, 0, 0, taRightJustify, "Text", 2, 0, Rect(2, 8, 15, 21)},
      {"skin glyph left", true, 0, 0, 0, 0, taLeftJustify, "Text", 3, 4, Rect(104, 8, 117, 21)},
      {"no glyph anywhere", false, 0, 0, 0, 0, taRightJustify, "Text", 2, 0, Rect(0, 0, 16, 16)},
      {"user glyph", true, 30, 20, 0, 0, taRightJustify, "", 5, 0, Rect(5, 10, 15, 20)},
      {"image list", true, 30, 20, 36, 24, taRightJustify, "Text", 2, 6, Rect(2, 9, 14, 21)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TSkinBuilder b = TSkinBuilder::Standard();
    if (!c.SkinGlyphs) b.RemoveMask("GLOBALINFO", "BOXUNCHECKED");
    LoadSkin(b);
    auto* box = Make(c.Caption);
    box->SetAlignment(c.Alignment);
    box->SetMargin(c.Margin);
    box->SetTextIndent(c.Indent);
    if (c.UserW) box->SetGlyphChecked(FramedGlyph(c.UserW / 3, c.UserH / 2, clRed, clGreen, clBlue).get());
    if (c.ListW) {
      auto* list = Create<TCustomImageList>(box);
      list->SetSize(c.ListW, c.ListH);
      box->SetImages(list);
    }
    box->SetAutoSize(false);
    box->SetBounds(20, 20, 120, 30);
    EXPECT_EQ(c.Glyph, box->CheckRect());

    // Auto size: the glyph, twice the margin and (with a caption) the caption, its indent and 8
    // more; the height the larger of caption plus margins and glyph, 2 pixels more.
    box->SetAutoSize(true);
    TSize ts{};
    TextExtentWithFont(box->Font(), c.Caption, ts);
    const int gw = c.Glyph.Width(), gh = c.Glyph.Height();
    const bool text = *c.Caption != 0;
    EXPECT_EQ(gw + 2 * c.Margin + (text ? ts.cx + c.Indent + 8 : 0), box->Width());
    EXPECT_EQ(std::max(text ? ts.cy + 2 * c.Margin : 0, gh) + 2, box->Height());
    box->Free();
    FreeAndNil(Manager);
  }
}

TEST_F(CheckBox, StateFramesFollowTheMouseOnScreen) {
  LoadStandardSkin();
  auto* box = Make("Follow me");
  auto* other = Make<TsCheckBox>("Other", 20, 80);
  other->SetFocus();
  flush_events();
  const TRect g = box->CheckRect();
  enum TAction { Nothing, Hover, Press, Release, Leave };
  struct Step {
    const char* Name;
    TAction Do;
    const char* Glyph;
    int State;
    TCheckBoxState After;
  };
  const Step steps[] = {
      {"idle", Nothing, "BOXUNCHECKED", 0, cbUnchecked},  {"hovered", Hover, "BOXUNCHECKED", 1, cbUnchecked},
      {"pressed", Press, "BOXUNCHECKED", 2, cbUnchecked}, {"released", Release, "BOXCHECKED", 1, cbChecked},
      {"left", Leave, "BOXCHECKED", 1, cbChecked},  // focused now: still hot
  };
  for (const Step& s : steps) {
    switch (s.Do) {
      case Hover: MouseTo(box, g.Left + 3, g.Top + 3); break;
      case Press: MouseButton(MOUSEEVENTF_LEFTDOWN); break;
      case Release: MouseButton(MOUSEEVENTF_LEFTUP); break;
      case Leave: MouseAway(); break;
      default: break;
    }
    EXPECT_EQ(s.After, box->State()) << s.Name;
    EXPECT_EQ(ColorText(Glyph(s.Glyph, s.State)), ColorText(GlyphOnScreen(box, g))) << s.Name;
  }
  other->SetFocus();
  flush_events();
  EXPECT_EQ(ColorText(Glyph("BOXCHECKED", 0)), ColorText(GlyphOnScreen(box, g))) << "unfocused";
  box->SetAllowGrayed(true);
  box->SetState(cbGrayed);
  flush_events();
  EXPECT_EQ(ColorText(Glyph("BOXGRAYED", 0)), ColorText(GlyphOnScreen(box, g))) << "grayed";
  box->SetEnabled(false);
  flush_events();
  const COLORREF disabled = GlyphOnScreen(box, g);
  for (int s = 0; s < 3; ++s) EXPECT_NE(ColorText(Glyph("BOXGRAYED", s)), ColorText(disabled)) << "disabled";
}

TEST_F(CheckBox, PressReleasedOutsideChangesNothing) {
  LoadStandardSkin();
  auto* box = Make();
  const TRect g = box->CheckRect();
  MouseTo(box, g.Left + 3, g.Top + 3);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(box->Pressed());
  MouseTo(box, box->Width() + 60, 5);
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_FALSE(box->Pressed());
  EXPECT_EQ(cbUnchecked, box->State());
}

TEST_F(CheckBox, OnlyTheSpaceBarsReleaseToggles) {
  LoadStandardSkin();
  auto* box = Make();
  ASSERT_TRUE(FocusForKeys(box->Handle()));
  const TRect g = box->CheckRect();
  KeyDown(VK_SPACE);
  EXPECT_TRUE(box->Pressed());
  EXPECT_EQ(ColorText(Glyph("BOXUNCHECKED", 2)), ColorText(GlyphOnScreen(box, g)));
  // Another key released meanwhile is no release of the space bar.
  PressKey(VK_SHIFT);
  PressKey('A');
  EXPECT_TRUE(box->Pressed());
  EXPECT_EQ(cbUnchecked, box->State());
  KeyUp(VK_SPACE);
  EXPECT_FALSE(box->Pressed());
  EXPECT_EQ(cbChecked, box->State());
  EXPECT_EQ(ColorText(Glyph("BOXCHECKED", 1)), ColorText(GlyphOnScreen(box, g)));
}

TEST_F(CheckBox, ReadOnlyRefusesEveryChangeSkinnedOrNot) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "plain");
    if (skinned) LoadStandardSkin();
    auto* box = Make("Read only");
    box->SetReadOnly(true);
    const TRect g = box->CheckRect();
    const POINT at = ScreenPoint(box, g.Left + 3, g.Top + 3);
    ClickAt(at);
    DoubleClickAt(at);
    ASSERT_TRUE(FocusForKeys(box->Handle()));
    PressKey(VK_SPACE);
    // The notification a native button sends for its click, however it came about.
    const HWND wnd = box->Handle();
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), BN_CLICKED), LPARAM(wnd));
    EXPECT_EQ(cbUnchecked, box->State());
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) & 3);
    if (skinned) {
      // Hovering a read-only box shows no hot glyph.
      MouseTo(box, g.Left + 3, g.Top + 3);
      EXPECT_EQ(ColorText(Glyph("BOXUNCHECKED", 0)), ColorText(GlyphOnScreen(box, g)));
    }
    // The program still changes it.
    box->SetChecked(true);
    EXPECT_EQ(cbChecked, box->State());
    box->Free();
    MouseAway();
    FreeAndNil(Manager);
  }
}

TEST_F(CheckBox, SkinRemovalHandsTheStateToTheNativeButton) {
  LoadStandardSkin();
  auto* box = Make();
  box->SetAllowGrayed(true);
  auto* radio = Make<TsRadioButton>("Radio", 20, 80);
  for (TCheckBoxState s : {cbChecked, cbGrayed, cbUnchecked}) {
    Manager->SetActive(true);
    flush_events();
    box->SetState(s);
    radio->SetChecked(s == cbChecked);
    // While skinned the native window keeps its own state.
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) & 3) << s;
    Manager->SetActive(false);
    flush_events();
    EXPECT_EQ(LRESULT(s), SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) & 3) << s;
    EXPECT_EQ(s == cbChecked ? BST_CHECKED : BST_UNCHECKED, SendMessageA(radio->Handle(), BM_GETCHECK, 0, 0) & 3);
    // Back to the unchecked native state for the next round.
    SendMessageA(box->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(radio->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

TEST_F(CheckBox, GlyphsFromTheUserAndFromAnImageList) {
  LoadStandardSkin();
  auto* box = Make("Glyphs");
  auto* other = Make<TsCheckBox>("Other", 20, 80);
  other->SetFocus();
  box->SetGlyphChecked(FramedGlyph(10, 10, clRed, clLime, clBlue).get());
  box->SetGlyphUnChecked(FramedGlyph(10, 10, clYellow, clAqua, clFuchsia).get());
  auto* list = Create<TCustomImageList>(Form);
  list->SetSize(30, 20);
  list->Add(FramedGlyph(10, 10, clMaroon, clGreen, clNavy).get(), nullptr);
  list->Add(FramedGlyph(10, 10, clOlive, clTeal, clPurple).get(), nullptr);
  struct Case {
    const char* Name;
    bool List;
    int ImgChecked, ImgUnchecked;
    bool Checked;
    COLORREF Expected;  // CLR_INVALID: no glyph (the section's background shows)
  };
  const Case cases[] = {
      {"user, unchecked", false, 0, 0, false, ColorToRGB(clYellow)},
      {"user, checked", false, 0, 0, true, ColorToRGB(clRed)},
      {"list, checked", true, 1, 0, true, ColorToRGB(clOlive)},
      {"list, unchecked", true, 1, 0, false, ColorToRGB(clMaroon)},
      {"list, checked image outside", true, 7, 0, true, CLR_INVALID},
      {"list, unchecked image outside", true, 0, 2, false, CLR_INVALID},
  };
  for (const Case& c : cases) {
    box->SetImages(c.List ? list : nullptr);
    box->SetImgChecked(c.ImgChecked);
    box->SetImgUnchecked(c.ImgUnchecked);
    box->SetChecked(c.Checked);
    Redraw(box);
    const COLORREF seen = GlyphOnScreen(box, box->CheckRect());
    if (c.Expected != CLR_INVALID) {
      EXPECT_EQ(ColorText(c.Expected), ColorText(seen)) << c.Name;
    } else {
      for (COLORREF any : {clMaroon, clGreen, clNavy, clOlive, clTeal, clPurple, clRed, clYellow})
        EXPECT_NE(ColorText(ColorToRGB(TColor(any))), ColorText(seen)) << c.Name;
    }
  }
}
