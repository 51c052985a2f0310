// Push buttons, bitmap buttons and speed buttons as a program sees them: properties kept in the
// window and across window recreation, clicks arriving as events, default-button tracking on
// focus changes, and the speed buttons' group logic.
#include <gtest/gtest.h>

#include "classlib/ActnList.h"
#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "tests/support/FormFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Buttons : public FormTest {};

namespace {

struct Clicks {
  std::vector<std::string> Log;
  void OnClick(TObject* s) { Log.push_back(dynamic_cast<TComponent*>(s)->Name()); }
};

class TStyleSpyButton : public TButton {
 public:
  using TButton::TButton;
  std::vector<bool> Calls;

 protected:
  void SetButtonStyle(bool ADefault) override {
    Calls.push_back(ADefault);
    TButton::SetButtonStyle(ADefault);
  }
};

// What a window paints into a DC of its client size (WM_PRINTCLIENT), graphic children included.
Capture PrintClient(TWinControl* c) {
  GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(ScreenDC(), c->ClientWidth(), c->ClientHeight()));
  {
    MemoryDC mem(nullptr, bmp);
    SendMessageA(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT | PRF_CHILDREN);
  }
  return CaptureBitmap(bmp);
}

// A 16 x 16 one-frame glyph: lime (its transparent colour, bottom-left) with a black 4 x 4 square
// at (4, 4).
void MakeSquareGlyph(TBitmap& g) {
  g.SetSize(16, 16);
  g.Canvas()->Brush()->SetColor(clLime);
  g.Canvas()->FillRect(Rect(0, 0, 16, 16));
  g.Canvas()->Brush()->SetColor(clBlack);
  g.Canvas()->FillRect(Rect(4, 4, 8, 8));
}

// The top-left black pixel inside r of a capture; (-1, -1) when none.
POINT FirstBlack(const Capture& c, const RECT& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (c.Pixel(x, y) == RGB(0, 0, 0)) return POINT{x, y};
  return POINT{-1, -1};
}

LONG_PTR ButtonType(TWinControl* c) { return GetWindowLongPtrA(c->Handle(), GWL_STYLE) & BS_TYPEMASK; }

}  // namespace

TEST_F(Buttons, ButtonPropertiesLiveInTheWindowAndSurviveRecreation) {
  auto* b = Create<TButton>(Form);
  b->SetParent(Form);
  b->SetCaption("&Go");
  b->SetDefault(true);
  b->SetWordWrap(true);
  char text[16] = {};
  GetWindowTextA(b->Handle(), text, sizeof text);
  EXPECT_STREQ("&Go", text);
  EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(b));
  EXPECT_NE(0, GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_MULTILINE);
  HWND old = b->Handle();
  b->RecreateWnd();
  b->HandleNeeded();
  EXPECT_NE(old, b->Handle());
  EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(b));
  EXPECT_NE(0, GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_MULTILINE);
  GetWindowTextA(b->Handle(), text, sizeof text);
  EXPECT_STREQ("&Go", text);
  char cls[32] = {};
  GetClassNameA(b->Handle(), cls, sizeof cls);
  EXPECT_STREQ("TButton", cls);
}

TEST_F(Buttons, ButtonClickSetsModalResultAndFiresOnClick) {
  auto* b = Create<TButton>(Form);
  b->SetName("Ok");
  b->SetParent(Form);
  b->SetModalResult(mrOk);
  Clicks c;
  b->OnClick = MakeMethod<&Clicks::OnClick>(&c);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  flush_events();
  EXPECT_EQ(std::vector<std::string>{"Ok"}, c.Log);
  EXPECT_EQ(mrOk, Form->ModalResult());
  Form->SetModalResult(mrNone);
}

TEST_F(Buttons, FocusMovesTheDefaultLookAndEnterPressesTheActiveButton) {
  auto* def = Create<TStyleSpyButton>(Form);
  def->SetName("Def");
  def->SetParent(Form);
  def->SetDefault(true);
  auto* other = Create<TStyleSpyButton>(Form);
  other->SetName("Other");
  other->SetParent(Form);
  other->SetLeft(100);
  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetTop(60);
  Clicks c;
  def->OnClick = other->OnClick = MakeMethod<&Clicks::OnClick>(&c);

  other->SetFocus();
  flush_events();
  EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(other));
  EXPECT_EQ(BS_PUSHBUTTON, ButtonType(def));
  ASSERT_FALSE(def->Calls.empty());
  EXPECT_FALSE(def->Calls.back());
  EXPECT_TRUE(other->Calls.back());

  edit->SetFocus();
  flush_events();
  EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(def));
  EXPECT_EQ(BS_PUSHBUTTON, ButtonType(other));
  EXPECT_TRUE(def->Active());
  EXPECT_EQ(1, Form->Perform(CM_DIALOGKEY, VK_RETURN, 0));
  EXPECT_EQ(std::vector<std::string>{"Def"}, c.Log);
}

TEST_F(Buttons, BitBtnIsOwnerDrawnAndCountsItsGlyphFrames) {
  auto* b = Create<TBitBtn>(Form);
  b->SetParent(Form);
  b->SetBounds(10, 10, 80, 30);
  TBitmap glyph;
  glyph.SetSize(32, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(16, 0, 32, 16));
  glyph.Canvas()->SetPixels(0, 15, clLime);  // the transparent colour
  b->SetGlyph(&glyph);
  b->SetMargin(4);
  EXPECT_EQ(2, b->NumGlyphs());
  EXPECT_EQ(BS_OWNERDRAW, ButtonType(b));
  b->RecreateWnd();
  EXPECT_EQ(BS_OWNERDRAW, ButtonType(b));

  // Enabled: the first frame, Margin pixels inside the frame; disabled: the second frame.
  auto probe = [&](int x, int y) {
    GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(ScreenDC(), b->Width(), b->Height()));
    MemoryDC mem(nullptr, bmp);
    SendMessageA(b->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT);
    return GetPixel(mem, x, y);
  };
  // Client (2, 2, 78, 28) inside the 3-D frame; glyph at x = 2 + 4, centred vertically.
  EXPECT_EQ(RGB(255, 0, 0), probe(6 + 5, 15));
  b->SetEnabled(false);
  EXPECT_EQ(RGB(0, 0, 255), probe(6 + 5, 15));
}

TEST_F(Buttons, GlyphAndCaptionPlacement) {
  struct Case {
    TButtonLayout Layout;
    int Margin, Spacing;
    TPoint Glyph;
    TRect Text;
  };
  // Client 100 x 40, glyph 16 x 16, text 30 x 12.
  const Case cases[] = {
      {blGlyphLeft, -1, 4, {25, 12}, {45, 14, 75, 26}},  {blGlyphLeft, 2, 4, {2, 12}, {22, 14, 52, 26}},
      {blGlyphRight, 2, 4, {82, 12}, {48, 14, 78, 26}},  {blGlyphTop, -1, 0, {42, 6}, {35, 22, 65, 34}},
      {blGlyphLeft, -1, -1, {18, 12}, {52, 14, 82, 26}},
  };
  for (const Case& c : cases) {
    TPoint g{};
    TRect t{};
    CalcButtonLayout(Rect(0, 0, 100, 40), TSize{16, 16}, TSize{30, 12}, c.Layout, c.Margin, c.Spacing, g, t);
    EXPECT_EQ(c.Glyph, g) << int(c.Layout) << " " << c.Margin << " " << c.Spacing;
    EXPECT_EQ(c.Text, t) << int(c.Layout) << " " << c.Margin << " " << c.Spacing;
  }
}

namespace {
void ClickAt(TControl* c, int x = 3, int y = 3) {
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
}  // namespace

TEST_F(Buttons, SpeedButtonGroupKeepsOneButtonDown) {
  TSpeedButton* b[3];
  Clicks c;
  for (int i = 0; i < 3; ++i) {
    b[i] = Create<TSpeedButton>(Form);
    b[i]->SetName("S" + std::to_string(i));
    b[i]->SetParent(Form);
    b[i]->SetLeft(30 * i);
    b[i]->SetGroupIndex(1);
    b[i]->OnClick = MakeMethod<&Clicks::OnClick>(&c);
  }
  auto* loner = Create<TSpeedButton>(Form);
  loner->SetParent(Form);
  loner->SetTop(40);

  ClickAt(b[0]);
  EXPECT_TRUE(b[0]->Down());
  ClickAt(b[1]);
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[1]->Down());
  // Without AllowAllUp a click on the down button leaves it down.
  ClickAt(b[1]);
  EXPECT_TRUE(b[1]->Down());
  // A release outside the button is no click.
  b[2]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  b[2]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(200, 3));
  EXPECT_FALSE(b[2]->Down());
  EXPECT_EQ((std::vector<std::string>{"S0", "S1", "S1"}), c.Log);

  // AllowAllUp travels through the group; then the down button can be raised.
  b[0]->SetAllowAllUp(true);
  EXPECT_TRUE(b[1]->AllowAllUp());
  ClickAt(b[1]);
  EXPECT_FALSE(b[1]->Down());
  // Down set in code also raises the others; a button of group 0 never stays down.
  b[2]->SetDown(true);
  b[0]->SetDown(true);
  EXPECT_FALSE(b[2]->Down());
  loner->SetDown(true);
  EXPECT_FALSE(loner->Down());
}

TEST_F(Buttons, SpeedButtonGlyphChangeHandlerCanBeChained) {
  auto* b = Create<TSpeedButton>(Form);
  b->SetParent(Form);
  struct Chain {
    TNotifyEvent Old;
    int Calls = 0;
    void Changed(TObject* s) {
      ++Calls;
      Old(s);
    }
  } chain;
  chain.Old = b->Glyph()->OnChange;
  b->Glyph()->OnChange = MakeMethod<&Chain::Changed>(&chain);
  b->Glyph()->SetSize(48, 16);
  EXPECT_GE(chain.Calls, 1);
  EXPECT_EQ(3, b->NumGlyphs());
  EXPECT_EQ(-1, b->Margin());
  EXPECT_EQ(4, b->Spacing());
}

TEST_F(Buttons, OneFrameGlyphsOfDisabledButtonsAreEmbossedInGrey) {
  TBitmap glyph;
  MakeSquareGlyph(glyph);
  auto* speed = Create<TSpeedButton>(Form);
  speed->SetBounds(10, 10, 40, 30);
  speed->SetParent(Form);
  speed->SetGlyph(&glyph);
  auto* bit = Create<TBitBtn>(Form);
  bit->SetBounds(10, 60, 40, 30);
  bit->SetParent(Form);
  bit->SetGlyph(&glyph);
  ASSERT_EQ(1, speed->NumGlyphs());
  ASSERT_EQ(1, bit->NumGlyphs());
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  struct Case {
    const char* Name;
    TControl* Button;
    TWinControl* Painter;
    RECT Area;  // the button in the painter's capture
  } cases[] = {
      {"speed button", speed, Form, RECT{10, 10, 50, 40}},
      {"bit button", bit, bit, RECT{0, 0, 40, 30}},
  };
  for (const Case& k : cases) {
    k.Button->SetEnabled(true);
    const Capture up = PrintClient(k.Painter);
    const POINT ink = FirstBlack(up, k.Area);
    ASSERT_NE(-1, ink.x) << k.Name;
    EXPECT_EQ(0, up.CountColor(RGB(0, 255, 0), k.Area)) << k.Name << ": the key is transparent";
    k.Button->SetEnabled(false);
    const Capture off = PrintClient(k.Painter);
    EXPECT_EQ(shadow, off.Pixel(ink.x, ink.y)) << k.Name;
    EXPECT_EQ(shadow, off.Pixel(ink.x + 3, ink.y + 3)) << k.Name;
    EXPECT_EQ(light, off.Pixel(ink.x + 4, ink.y + 4)) << k.Name << ": the highlight one pixel down and right";
    EXPECT_EQ(light, off.Pixel(ink.x + 4, ink.y + 1)) << k.Name;
    EXPECT_EQ(-1, FirstBlack(off, k.Area).x) << k.Name << ": no ink left in its own colour";
    EXPECT_EQ(0, off.CountColor(RGB(0, 255, 0), k.Area)) << k.Name;
  }
}

TEST_F(Buttons, SpeedButtonTakesTheImageOfItsActionFromTheActionList) {
  auto* images = Create<TImageList>(Form);
  TBitmap pics;
  pics.SetSize(32, 16);
  pics.Canvas()->Brush()->SetColor(clRed);
  pics.Canvas()->FillRect(Rect(0, 0, 16, 16));
  pics.Canvas()->Brush()->SetColor(clBlue);
  pics.Canvas()->FillRect(Rect(16, 0, 32, 16));
  ASSERT_EQ(0, images->Add(&pics, nullptr));
  auto* list = Create<TActionList>(Form);
  auto* action = Create<TAction>(Form);
  action->SetActionList(list);
  action->SetImageIndex(1);
  ASSERT_EQ(1, list->ActionCount());
  EXPECT_EQ(list, action->ActionList());

  // Without images in the list the glyph stays empty; with them it takes image 1.
  auto* b = Create<TSpeedButton>(Form);
  b->SetParent(Form);
  b->SetAction(action);
  EXPECT_TRUE(b->Glyph()->Empty());
  list->SetImages(images);
  ASSERT_FALSE(b->Glyph()->Empty());
  EXPECT_EQ(16, b->Glyph()->Width());
  EXPECT_EQ(1, b->NumGlyphs());
  EXPECT_EQ(RGB(0, 0, 255), ColorToRGB(b->Glyph()->Canvas()->Pixels(8, 8)));
  // A glyph of its own is kept.
  action->SetImageIndex(0);
  EXPECT_EQ(RGB(0, 0, 255), ColorToRGB(b->Glyph()->Canvas()->Pixels(8, 8)));

  // Freeing the images, an action or the list leaves no dangling references.
  images->Free();
  EXPECT_EQ(nullptr, list->Images());
  auto* second = Create<TAction>(Form);
  second->SetActionList(list);
  action->Free();
  ASSERT_EQ(1, list->ActionCount());
  EXPECT_EQ(second, list->Actions(0));
  list->Free();
  EXPECT_EQ(nullptr, second->ActionList());
}
