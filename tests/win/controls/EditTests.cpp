// The skinned edits: frame and colours under real input, printing into a caller's DC, the cache of
// a disabled or masked edit, the partly hidden edit, the memo's skinned scroll bars, and the bound
// label that follows every edit.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/sEdit.h"
#include "skin/controls/sMaskEdit.h"
#include "skin/controls/sMemo.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class Edit : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  template <class T = TsEdit>
  T* Make(const char* text = "Text", int x = 20, int y = 20, int w = 120, int h = 24) {
    auto* e = Create<T>(Form);
    e->SetParent(Form);
    e->SetBounds(x, y, w, h);
    e->SetText(text);
    flush_events();
    return e;
  }
  // The section's colours as the loaded skin holds them.
  COLORREF Section(const char* name, bool hot, bool font) const {
    const TsGeneralData& gd = Manager->Section(Manager->SectionIndexOf(name));
    return font ? (hot ? gd.HotFontColor : gd.FontColor).Text() & 0xFFFFFF : (hot ? gd.HotColor : gd.Color) & 0xFFFFFF;
  }
  // What the screen shows at a point of the whole window (frame included).
  static COLORREF WindowPixel(TWinControl* c, int x, int y) { return CaptureScreen(c->Handle()).Pixel(x, y); }
};

// Counts the cache rebuilds (each paints the text once).
class TCountingEdit : public TsEdit {
 public:
  using TsEdit::TsEdit;
  void PaintText() override {
    ++Rebuilds;
    TsEdit::PaintText();
  }
  int Rebuilds = 0;
};

}  // namespace

TEST_F(Edit, ColoursAndFrameFollowTheStateOnScreen) {
  LoadStandardSkin();
  TsEdit* e = Make();
  TsEdit* other = Make("Other", 20, 80);
  other->SetFocus();
  flush_events();
  const COLORREF idle = Section("EDIT", false, false), hot = Section("EDIT", true, false);
  EXPECT_EQ(ColorText(idle), ColorText(ColorToRGB(e->Color())));
  EXPECT_EQ(ColorText(Section("EDIT", false, true)), ColorText(ColorToRGB(e->Font()->Color())));
  EXPECT_EQ(ColorText(Frame("EDIT", 0)), ColorText(WindowPixel(e, 0, 12)));
  EXPECT_EQ(ColorText(idle), ColorText(WindowPixel(e, e->Width() - 6, 12)));

  MouseTo(e, 30, 8);
  EXPECT_EQ(ColorText(hot), ColorText(ColorToRGB(e->Color()))) << "hovered";
  EXPECT_EQ(ColorText(Frame("EDIT", 1)), ColorText(WindowPixel(e, 0, 12))) << "hovered";
  MouseAway();
  // The system tells the window that the mouse left it a moment later.
  EXPECT_TRUE(pump_until([&] { return !e->SkinData()->MouseAbove; }));
  flush_events();
  EXPECT_EQ(ColorText(idle), ColorText(ColorToRGB(e->Color()))) << "left";
  e->SetFocus();
  flush_events();
  EXPECT_EQ(ColorText(hot), ColorText(ColorToRGB(e->Color()))) << "focused";
  EXPECT_EQ(ColorText(Section("EDIT", true, true)), ColorText(ColorToRGB(e->Font()->Color()))) << "focused";
  EXPECT_EQ(ColorText(hot), ColorText(WindowPixel(e, e->Width() - 6, 12))) << "focused";

  // Colours the program owns stay.
  other->SetFocus();
  e->SkinData()->CustomColor = true;
  e->SkinData()->CustomFont = true;
  e->SetColor(clYellow);
  e->Font()->SetColor(clRed);
  e->SetFocus();
  flush_events();
  EXPECT_EQ(clYellow, e->Color());
  EXPECT_EQ(clRed, e->Font()->Color());

  // Without the skin: the window colours, the native frame.
  TsEdit* plain = Make("Plain", 160, 20);
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(clWindow, plain->Color());
  EXPECT_EQ(clWindowText, plain->Font()->Color());
  EXPECT_NE(ColorText(Frame("EDIT", 0)), ColorText(WindowPixel(plain, 0, 12)));
}

TEST_F(Edit, PrintingLeavesTheCallersDCAndTheWindowsUpdateAsTheyWere) {
  LoadStandardSkin();
  TsEdit* edit = Make();
  auto* mask = Make<TsMaskEdit>("Mask", 20, 60);
  for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(mask)}) {
    SCOPED_TRACE(c->ClassName());
    for (bool enabled : {true, false}) {
      c->SetEnabled(enabled);
      flush_events();
      HDC screen = GetDC(nullptr);
      HDC mem = CreateCompatibleDC(screen);
      HBITMAP bmp = CreateCompatibleBitmap(screen, c->Width() + 20, c->Height() + 20);
      ReleaseDC(nullptr, screen);
      HGDIOBJ old = SelectObject(mem, bmp);
      SetWindowOrgEx(mem, -10, -10, nullptr);
      IntersectClipRect(mem, -10, -10, c->Width() + 10, c->Height() + 10);
      RECT clipBefore{}, clipAfter{};
      GetClipBox(mem, &clipBefore);
      // A paint is due: printing must not take it away.
      InvalidateRect(c->Handle(), nullptr, FALSE);
      SendMessageA(c->Handle(), WM_PRINT, WPARAM(mem), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
      POINT org{};
      GetWindowOrgEx(mem, &org);
      GetClipBox(mem, &clipAfter);
      EXPECT_EQ(-10, org.x);
      EXPECT_EQ(-10, org.y);
      EXPECT_TRUE(EqualRect(&clipBefore, &clipAfter));
      RECT update{};
      EXPECT_TRUE(GetUpdateRect(c->Handle(), &update, FALSE)) << "enabled " << enabled;
      // The frame was printed at the window's place.
      TsCommonData* sd =
          dynamic_cast<TsEdit*>(c) ? static_cast<TsEdit*>(c)->SkinData() : static_cast<TsMaskEdit*>(c)->SkinData();
      EXPECT_EQ(ColorText(CachePixel(sd, 0, c->Height() / 2)), ColorText(GetPixel(mem, 0, c->Height() / 2)))
          << "enabled " << enabled;
      if (enabled) {
        EXPECT_EQ(ColorText(Frame("EDIT", 0)), ColorText(GetPixel(mem, 0, c->Height() / 2)));
      }
      SelectObject(mem, old);
      DeleteObject(bmp);
      DeleteDC(mem);
      flush_events();
    }
  }
}

TEST_F(Edit, DisabledCacheShowsPasswordCharactersOnly) {
  LoadStandardSkin();
  TsEdit* secret = Make("abc", 20, 20);
  secret->SetPasswordChar('*');
  TsEdit* stars = Make("***", 20, 60);
  for (TsEdit* e : {secret, stars}) {
    e->SetEnabled(false);
    RedrawWindow(e->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  flush_events();
  const Capture a = CaptureBitmap(secret->SkinData()->CacheBmp->Handle());
  const Capture b = CaptureBitmap(stars->SkinData()->CacheBmp->Handle());
  ASSERT_EQ(a.Width(), b.Width());
  int differ = 0, textPixels = 0;
  const COLORREF back = CaptureBitmap(stars->SkinData()->CacheBmp->Handle()).Pixel(stars->Width() - 6, 12);
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      differ += a.Pixel(x, y) != b.Pixel(x, y);
      textPixels += x > 3 && x < 40 && b.Pixel(x, y) != back;
    }
  EXPECT_EQ(0, differ);
  EXPECT_GT(textPixels, 0) << "the characters were drawn";
}

TEST_F(Edit, PartlyHiddenEditRebuildsItsCacheOnEveryPaint) {
  LoadStandardSkin();
  auto* e = Create<TCountingEdit>(Form);
  e->SetParent(Form);
  e->SetBounds(20, 20, 120, 24);
  e->SetEnabled(false);  // painted whole from the cache
  flush_events();
  auto paint = [&] {
    RedrawWindow(e->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    flush_events();
  };
  paint();
  EXPECT_FALSE(e->SkinData()->PartlyHidden);
  int before = e->Rebuilds;
  paint();
  EXPECT_EQ(before, e->Rebuilds) << "inside its parent: the cache is kept";
  e->SetLeft(Form->ClientWidth() - 40);
  paint();
  EXPECT_TRUE(e->SkinData()->PartlyHidden);
  before = e->Rebuilds;
  paint();
  EXPECT_GT(e->Rebuilds, before) << "partly hidden: rebuilt";
}

TEST_F(Edit, MaskEditCacheWithoutTextOrBorder) {
  LoadStandardSkin();
  auto* empty = Make<TsMaskEdit>("", 20, 20);
  auto* none = Make<TsMaskEdit>("Text", 20, 60);
  none->SetBorderStyle(bsNone);
  flush_events();
  for (TsMaskEdit* m : {empty, none}) {
    m->SetEnabled(false);
    m->SetEnabled(true);
    MouseAway();
    RedrawWindow(m->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    flush_events();
  }
  const RECT all{0, 0, 120, 24};
  const COLORREF font = Section("EDIT", false, true);
  const Capture e = CaptureBitmap(empty->SkinData()->CacheBmp->Handle());
  EXPECT_EQ(0, e.CountColor(font, all)) << "no text";
  EXPECT_GT(e.CountColor(Frame("EDIT", 0), all), 0) << "a frame";
  const Capture n = CaptureBitmap(none->SkinData()->CacheBmp->Handle());
  EXPECT_EQ(0, n.CountColor(Frame("EDIT", 0), all)) << "no frame";
  EXPECT_GT(n.CountColor(font, all), 0) << "the text";
}

TEST_F(Edit, MemoScrollBarsSkinnedWhileTheSkinIsOn) {
  LoadStandardSkin();
  auto* m = Create<TsMemo>(Form);
  m->SetParent(Form);
  m->SetBounds(20, 20, 160, 100);
  m->SetScrollBars(ssVertical);
  for (int i = 0; i < 40; ++i) m->Lines()->Add("Line " + std::to_string(i));
  int scrolls = 0;
  struct TCounter {
    int* N;
    void On(TObject*) { ++*N; }
  } counter{&scrolls};
  m->OnVScroll = MakeMethod<&TCounter::On>(&counter);
  SendMessageA(m->Handle(), EM_SETSEL, 0, 0);
  SendMessageA(m->Handle(), EM_SCROLLCARET, 0, 0);
  flush_events();
  ASSERT_NE(nullptr, m->ScrollWnd());
  // The lower arrow of the skinned bar scrolls one line down.
  RECT wr{};
  GetWindowRect(m->Handle(), &wr);
  const int first = int(SendMessageA(m->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
  const POINT arrow{wr.right - 6, wr.bottom - 6};
  ClickAt(arrow);
  MouseAway();
  EXPECT_EQ(first + 1, int(SendMessageA(m->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)));
  EXPECT_GT(scrolls, 0);
  const COLORREF arrowColour = CaptureScreenRect(wr).Pixel(wr.right - wr.left - 6, wr.bottom - wr.top - 6);
  EXPECT_EQ(ColorText(Frame("SCROLLBTNBOTTOM", 0)), ColorText(arrowColour));

  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(nullptr, m->ScrollWnd());
  EXPECT_EQ(40, m->Lines()->Count()) << "the text survives the new window";
  Manager->SetActive(true);
  flush_events();
  EXPECT_NE(nullptr, m->ScrollWnd());
}

TEST_F(Edit, BoundLabelFollowsEveryEdit) {
  TsEdit* edit = Make("Edit", 100, 20, 100, 24);
  auto* mask = Make<TsMaskEdit>("Mask", 100, 60, 100, 24);
  auto* memo = Make<TsMemo>("Memo", 100, 100, 100, 60);
  const std::pair<TWinControl*, TsBoundLabel*> edits[] = {
      {edit, edit->BoundLabel()}, {mask, mask->BoundLabel()}, {memo, memo->BoundLabel()}};
  for (auto [c, bound] : edits) {
    SCOPED_TRACE(c->ClassName());
    bound->SetActive(true);
    bound->SetCaption("Label");
    TControl* label = bound->TheLabel();
    ASSERT_NE(nullptr, label);
    c->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    c->SetVisible(true);
    EXPECT_TRUE(label->Visible());
    c->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    c->SetEnabled(true);
    c->SetBounds(120, c->Top() + 4, c->Width(), c->Height());
    flush_events();
    EXPECT_EQ(120 - label->Width() - 4, label->Left());
    EXPECT_EQ(c->Top() + (c->Height() - label->Height()) / 2, label->Top());
  }
}
