// The combo edit: where its popup opens near every edge of the area it must stay in (a virtual
// screen's negative origin included), the glyph's pixels in each glyph mode and state (hot and
// pressed under real input), the button, the click key, read-only and direct input, and the
// painting and cache answers it gives its button.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "classlib/Clipbrd.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/sCalcUnit.h"
#include "skin/controls/sCurrEdit.h"
#include "skin/controls/sCurrencyEdit.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/engine/sQuorvexGraph.h"
#include "tests/support/ControlsFixture.h"
#include "tests/support/RealInput.h"

using namespace qvtest;

namespace {

struct TClicks {
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

// The area the popups are kept in, as the tests give it.
TRect TestArea;
TRect GivenArea(const TRect&) { return TestArea; }

class ComboEdit : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  void TearDown() override {
    PopupArea = &MonitorWorkArea;
    ControlsTest::TearDown();
  }
  template <class T = TsCustomComboEdit>
  T* Make(int x = 20, int y = 20, int w = 120, int h = 22) {
    auto* e = Create<T>(Form);
    e->SetParent(Form);
    e->SetBounds(x, y, w, h);
    flush_events();
    return e;
  }
  // A glyph of three 10 x 8 frames in solid colours; the top-left pixel of each frame is clear.
  static std::unique_ptr<TBitmap> TestGlyph() {
    std::unique_ptr<TBitmap> g(CreateBmp24(30, 16));
    FillBmpRect(g.get(), Rect(0, 0, 10, 8), kFrame[0]);
    FillBmpRect(g.get(), Rect(10, 0, 20, 8), kFrame[1]);
    FillBmpRect(g.get(), Rect(20, 0, 30, 8), kFrame[2]);
    FillBmpRect(g.get(), Rect(0, 8, 30, 16), TColor(0x000000));
    for (int f = 0; f < 3; ++f) FillBmpRect(g.get(), Bounds(f * 10, 8, 1, 1), TColor(0xFFFFFF));
    return g;
  }
  static constexpr TColor kFrame[3] = {TColor(0x0000C0), TColor(0x00C000), TColor(0xC00000)};
  // The middle of the glyph and its clear corner, in the button's coordinates.
  static TPoint GlyphMiddle(TsEditButton* b) { return Point((b->Width() - 10) / 2 + 5, (b->Height() - 8) / 2 + 4); }
  static TPoint GlyphCorner(TsEditButton* b) { return Point((b->Width() - 10) / 2, (b->Height() - 8) / 2); }
  static COLORREF ButtonLook(TsEditButton* b, TPoint p) {
    b->PrepareCache();
    return CachePixel(b->SkinData(), p.X, p.Y);
  }
};

}  // namespace

TEST_F(ComboEdit, PopupStaysInsideTheAreaNearEachEdge) {
  // Edges of the area relative to the edit's window rectangle (l, t, r, b); a popup 213 wide,
  // 148 high; the expected corner relative to the edit's left and bottom.
  enum TPlace { Below, Above };
  struct Case {
    const char* Name;
    int L, T, R, B;  // area: edit.Left + L, edit.Top + T, edit.Right + R, edit.Bottom + B
    qv::TacPopupAlign Align;
    int X;  // expected popup left - edit left
    TPlace Y;
  };
  const int w = 120, pw = 213, ph = 148;
  const Case cases[] = {
      {"room everywhere: right edges aligned", -900, -900, 900, 900, qv::TacPopupAlign::RightEdges, w - pw, Below},
      {"room everywhere: left edges aligned", -900, -900, 900, 900, qv::TacPopupAlign::LeftEdges, 0, Below},
      {"bottom edge: opens above", -900, -900, 900, 40, qv::TacPopupAlign::RightEdges, w - pw, Above},
      {"left edge: left edges aligned instead", -60, -900, 900, 900, qv::TacPopupAlign::RightEdges, 0, Below},
      {"right edge: right edges aligned instead", -900, -900, 30, 900, qv::TacPopupAlign::LeftEdges, w - pw, Below},
      {"narrow on both sides: pushed in from the left", -40, -900, 20, 900, qv::TacPopupAlign::LeftEdges, -40, Below},
      {"bottom-right corner", -900, -900, 10, 100, qv::TacPopupAlign::LeftEdges, w - pw, Above},
      // A virtual screen whose work area starts far left and above 0: its own bottom counts.
      {"virtual screen, negative origin", -3000, -2000, 900, 120, qv::TacPopupAlign::RightEdges, w - pw, Above},
  };
  LoadStandardSkin();
  auto* e = Make<TsCustomNumEdit>(40, 60, w, 22);
  RECT wr{};
  GetWindowRect(e->Handle(), &wr);
  PopupArea = &GivenArea;
  for (const Case& c : cases) {
    TestArea = Rect(wr.left + c.L, wr.top + c.T, wr.right + c.R, wr.bottom + c.B);
    e->SetPopupAlign(c.Align);
    e->ShowPopup();
    flush_events();
    TCustomForm* f = e->Popup();
    ASSERT_NE(nullptr, f) << c.Name;
    RECT pr{};
    GetWindowRect(f->Handle(), &pr);
    EXPECT_EQ(pw, pr.right - pr.left) << c.Name;
    EXPECT_EQ(ph, pr.bottom - pr.top) << c.Name;
    EXPECT_EQ(c.X, pr.left - wr.left) << c.Name;
    EXPECT_EQ(c.Y == Below ? wr.bottom : wr.top - ph, pr.top) << c.Name;
    e->HidePopup();
    flush_events();
    EXPECT_EQ(nullptr, e->Popup()) << c.Name << ": the closed popup is forgotten";
  }
}

TEST_F(ComboEdit, GlyphPixelsInEachMode) {
  LoadStandardSkin();
  auto* other = Make<TsEdit>(20, 120);
  auto* e = Make(20, 20, 120, 22);
  const auto glyph = TestGlyph();
  e->GlyphMode()->SetGlyph(glyph.get());
  other->SetFocus();
  flush_events();
  TsEditButton* b = e->Button();
  EXPECT_EQ(12, b->Width()) << "the glyph's width + 2";
  const TPoint mid = GlyphMiddle(b);
  const COLORREF bg = ButtonLook(b, GlyphCorner(b));
  const TPoint off = e->ClientOffset();
  EXPECT_EQ(ColorText(CachePixel(e->SkinData(), off.X + b->Left() + GlyphCorner(b).X, off.Y + GlyphCorner(b).Y)),
            ColorText(bg))
      << "the edit's look shows under a clear pixel";

  auto grey = [](TColor c) {
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, bl = (c >> 16) & 0xFF;
    const int v = (77 * r + 151 * g + 28 * bl + 128) / 256;
    return COLORREF(v | v << 8 | v << 16);
  };
  auto mix = [](COLORREF glyphColor, COLORREF back, int amount) {
    COLORREF out = 0;
    for (int shift : {0, 8, 16}) {
      const int a = (glyphColor >> shift) & 0xFF, k = (back >> shift) & 0xFF;
      out |= COLORREF((a * amount + k * (255 - amount) + 127) / 255) << shift;
    }
    return out;
  };
  auto alike = [](COLORREF a, COLORREF b) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) return false;
    return true;
  };
  struct Case {
    const char* Name;
    bool Grayed;
    int Blend;
    COLORREF Expected;
  };
  const Case cases[] = {
      {"as it is", false, 0, COLORREF(kFrame[0])},
      {"greyed", true, 0, grey(kFrame[0])},
      {"blended by half", false, 50, mix(kFrame[0], bg, 128)},
      {"blend 100 keeps the whole glyph", false, 100, COLORREF(kFrame[0])},
      {"blend above 100 is 100", false, 250, COLORREF(kFrame[0])},
  };
  for (const Case& c : cases) {
    e->GlyphMode()->SetGrayed(c.Grayed);
    e->GlyphMode()->SetBlend(c.Blend);
    const COLORREF got = ButtonLook(b, mid);
    EXPECT_TRUE(alike(c.Expected, got)) << c.Name << ": " << ColorText(got) << " for " << ColorText(c.Expected);
    EXPECT_EQ(ColorText(bg), ColorText(ButtonLook(b, GlyphCorner(b)))) << c.Name << ": the background stays";
  }
  EXPECT_EQ(100, e->GlyphMode()->Blend());
  e->GlyphMode()->SetBlend(-5);
  EXPECT_EQ(0, e->GlyphMode()->Blend());

  // Hot and pressed under the mouse, on the screen: the second and third frames, whole.
  e->GlyphMode()->SetGrayed(true);
  e->GlyphMode()->SetBlend(60);
  TClicks clicks;
  e->OnButtonClick = MakeMethod<&TClicks::Click>(&clicks);
  MouseTo(b, mid.X, mid.Y);
  EXPECT_EQ(ColorText(kFrame[1]), ColorText(ScreenPixel(b, mid.X, mid.Y))) << "hot";
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(ColorText(kFrame[2]), ColorText(ScreenPixel(b, mid.X, mid.Y))) << "pressed";
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(1, clicks.Count);
  MouseAway();
  EXPECT_TRUE(pump_until([&] { return !b->SkinData()->MouseAbove; }));

  // Disabled: dimmed toward the edit's look; without a skin the plain button carries the glyph.
  e->GlyphMode()->SetGrayed(false);
  e->GlyphMode()->SetBlend(0);
  e->SetEnabled(false);
  flush_events();
  const COLORREF dim = ButtonLook(b, mid);
  EXPECT_NE(ColorText(kFrame[0]), ColorText(dim));
  e->SetEnabled(true);
  Manager->SetActive(false);
  flush_events();
  e->Repaint();
  flush_events();
  EXPECT_EQ(ColorText(kFrame[0]), ColorText(ScreenPixel(b, mid.X, mid.Y))) << "plain";
}

TEST_F(ComboEdit, ButtonClickKeyReadOnlyAndDirectInput) {
  LoadStandardSkin();
  auto* e = Make<TsCustomNumEdit>();
  TClicks clicks;
  e->OnButtonClick = MakeMethod<&TClicks::Click>(&clicks);
  ASSERT_TRUE(FocusForKeys(e->Handle()));
  auto altDown = [] {
    KeyDown(VK_MENU);
    PressKey(VK_DOWN);
    KeyUp(VK_MENU);
  };
  altDown();
  EXPECT_EQ(1, clicks.Count);
  ASSERT_TRUE(e->PopupVisible()) << "Alt+Down opens the popup";
  e->HidePopup();
  flush_events();

  e->SetReadOnly(true);
  const TPoint mid = Point(e->Button()->Width() / 2, e->Button()->Height() / 2);
  ClickAt(ScreenPoint(e->Button(), mid.X, mid.Y));
  EXPECT_EQ(1, clicks.Count) << "a read-only edit ignores its button";
  EXPECT_FALSE(e->PopupVisible());
  e->SetReadOnly(false);

  // Without direct input nothing reaches the text, but the button works.
  e->SetDirectInput(false);
  ASSERT_TRUE(FocusForKeys(e->Handle()));
  e->SelectAll();
  const std::string before = e->Text();
  PressKey('7');
  Clipboard()->SetAsText("42");
  SendMessageA(e->Handle(), WM_PASTE, 0, 0);
  SendMessageA(e->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(before, e->Text());
  // By name, ReadOnly is the combo edit's own, not its window's: clearing it keeps the text locked.
  EXPECT_EQ(0, GetOrdPropByName(e, "ReadOnly"));
  EXPECT_TRUE(SetOrdPropByName(e, "ReadOnly", 0));
  e->SelectAll();
  PressKey('7');
  EXPECT_EQ(before, e->Text());
  ClickAt(ScreenPoint(e->Button(), mid.X, mid.Y));
  EXPECT_EQ(2, clicks.Count);
  EXPECT_TRUE(e->PopupVisible());
  // A press on the button while the popup shows closes it, and it stays closed.
  ClickAt(ScreenPoint(e->Button(), mid.X, mid.Y));
  flush_events();
  EXPECT_FALSE(e->PopupVisible());

  // A currency edit has no button to press: the click key opens nothing.
  auto* money = Make<TsCurrencyEdit>(20, 80);
  EXPECT_EQ(0, money->Button()->Width());
  TClicks moneyClicks;
  money->OnButtonClick = MakeMethod<&TClicks::Click>(&moneyClicks);
  ASSERT_TRUE(FocusForKeys(money->Handle()));
  altDown();
  EXPECT_EQ(0, moneyClicks.Count);
  EXPECT_EQ(nullptr, money->Popup());
}

TEST_F(ComboEdit, ButtonRoomTextRectangleAndPainting) {
  LoadStandardSkin();
  auto* e = Make();
  e->GlyphMode()->SetGlyph(TestGlyph().get());
  auto textRight = [&] {
    RECT r{};
    SendMessageA(e->Handle(), EM_GETRECT, 0, LPARAM(&r));
    return int(r.right);
  };
  EXPECT_LE(textRight(), e->ClientWidth() - e->Button()->Width());
  e->SetShowButton(false);
  flush_events();
  EXPECT_FALSE(e->Button()->Visible());
  EXPECT_EQ(0, e->Button()->Width());
  EXPECT_GT(textRight(), e->ClientWidth() - 12) << "the button's room goes back to the text";
  e->SetShowButton(true);
  EXPECT_EQ(12, e->Button()->Width());

  // The button asks the edit for its look inside the frame; an edit without one says so.
  SharedCacheInfo = TsCacheInfo{};
  SendSkinCommand(e->Handle(), QC_GETCACHE);
  EXPECT_TRUE(SharedCacheInfo.Ready);
  EXPECT_EQ(e->ClientOffset().X, SharedCacheInfo.X);
  e->SkinData()->CacheBmp->SetSize(0, 0);
  SendSkinCommand(e->Handle(), QC_GETCACHE);
  EXPECT_FALSE(SharedCacheInfo.Ready) << "no bitmap: not ready";
  EXPECT_EQ(0, SendSkinCommand(e->Handle(), QC_ISBUSY)) << "the edit is never busy for its button";

  // Painting outside WM_PAINT leaves a pending paint alone.
  e->Repaint();
  flush_events();
  InvalidateRect(e->Handle(), nullptr, FALSE);
  e->PaintEdit(nullptr);
  RECT pending{};
  EXPECT_TRUE(GetUpdateRect(e->Handle(), &pending, FALSE));
  flush_events();
  // The whole look shows, the edit's colour under the text and the glyph in the button.
  const TPoint mid = GlyphMiddle(e->Button());
  EXPECT_EQ(ColorText(kFrame[0]), ColorText(ScreenPixel(e->Button(), mid.X, mid.Y)));
  EXPECT_EQ(ColorText(ColorToRGB(e->Color())), ColorText(ScreenPixel(e, 60, e->ClientHeight() - 2)));
}

TEST_F(ComboEdit, TextSitsAsInThePlainEdit) {
  // The text of a combo edit and of a number edit (multi-line windows, for their text rectangle)
  // is drawn into their look where the plain edit of the same size shows it.
  LoadStandardSkin();
  // The first and last rows of the look inside the frame where anything but the background shows
  // (the button left out).
  auto textRows = [&](TsCommonData* sd) {
    flush_events();
    const Capture shot = CaptureBitmap(sd->CacheBmp->Handle());
    std::map<COLORREF, int> counts;
    for (int y = 2; y < shot.Height() - 2; ++y)
      for (int x = 4; x < shot.Width() - 32; ++x) ++counts[shot.Pixel(x, y)];
    const COLORREF bg =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    int top = -1, bottom = -1;
    for (int y = 2; y < shot.Height() - 2; ++y)
      for (int x = 4; x < shot.Width() - 32; ++x)
        if (shot.Pixel(x, y) != bg) {
          if (top < 0) top = y;
          bottom = y;
          break;
        }
    return std::pair<int, int>(top, bottom);
  };
  for (int h : {22, 30}) {
    SCOPED_TRACE(h);
    // Each with its text before its window shows.
    auto make = [&](auto* c, int y) {
      c->SetText("1234");
      c->SetParent(Form);
      c->SetBounds(20, y, 120, h);
      return c;
    };
    auto* plain = make(Create<TsEdit>(Form), 20);
    auto* combo = make(Create<TsCustomComboEdit>(Form), 60);
    auto* number = make(Create<TsCurrencyEdit>(Form), 100);
    const auto expected = textRows(plain->SkinData());
    ASSERT_GE(expected.first, 0);
    for (TsCustomComboEdit* c : {combo, static_cast<TsCustomComboEdit*>(number)}) {
      SCOPED_TRACE(c->ClassName());
      EXPECT_EQ(expected, textRows(c->SkinData()));
    }
    // A text the program sets while the edit shows replaces the one shown.
    combo->SetText("");
    EXPECT_EQ((std::pair<int, int>(-1, -1)), textRows(combo->SkinData()));
    plain->Free();
    combo->Free();
    number->Free();
  }
}
