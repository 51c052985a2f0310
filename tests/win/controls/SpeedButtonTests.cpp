// The skinned speed button: property rules, caption and glyph layout, state frames, groups,
// image-list glyphs, the drop-down menu, the animation timer, parents without a painted image.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/sSpeedButton.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

constexpr COLORREF kGlyphRed = RGB(200, 20, 30);

class SpeedButton : public ControlsTest {
 protected:
  TsSpeedButton* MakeButton(TWinControl* parent, int x = 20, int y = 20, int w = 100, int h = 40) {
    auto* b = Create<TsSpeedButton>(Form);
    b->SetParent(parent);
    b->SetBounds(x, y, w, h);
    flush_events();
    return b;
  }
  TsSpeedButton* MakeButton(int x = 20, int y = 20, int w = 100, int h = 40) { return MakeButton(Form, x, y, w, h); }
  static void Paint(TControl* c) {
    c->Repaint();
    flush_events();
  }
  static COLORREF Edge(TsSpeedButton* b) { return CachePixel(b->SkinData(), (b->Width() - 16) / 4, 1); }
  // A 16 x 16 image list holding one image that covers every pixel (no pixel of the list's
  // background colour is left).
  TCustomImageList* SolidImages() {
    auto* list = Create<TCustomImageList>(Form);
    list->SetSize(16, 16);
    std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
    FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(kGlyphRed));
    list->Add(bmp.get(), nullptr);
    return list;
  }
};

struct TClickLog {
  int Clicks = 0, Popups = 0;
  TComponent* PopupComponent = nullptr;
  void OnClick(TObject*) { ++Clicks; }
  void OnPopup(TObject* Sender) {
    ++Popups;
    PopupComponent = static_cast<TPopupMenu*>(Sender)->PopupComponent();
  }
};

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

}  // namespace

// ---- properties -----------------------------------------------------------------------------------------

TEST_F(SpeedButton, Defaults) {
  TsSpeedButton* b = MakeButton();
  EXPECT_EQ("SPEEDBUTTON", b->SkinData()->SkinSection());
  EXPECT_EQ(taCenter, b->Alignment());
  EXPECT_EQ(0, b->Blend());
  EXPECT_EQ(tbsButton, b->ButtonStyle());
  EXPECT_EQ(TsDisabledGlyphKind{dgBlended}, b->DisabledGlyphKind());
  EXPECT_EQ(TsDisabledKind{dkBlended}, b->DisabledKind());
  EXPECT_EQ(-1, b->ImageIndex());
  EXPECT_TRUE(b->ShowCaption());
  EXPECT_TRUE(b->DrawOverBorder());
  EXPECT_EQ(0, b->TextOffset());
  EXPECT_EQ(taCenter, b->TextAlignment());
}

TEST_F(SpeedButton, BlendIsClamped) {
  TsSpeedButton* b = MakeButton();
  struct {
    int in, out;
  } cases[] = {{150, 100}, {-5, 0}, {40, 40}, {100, 100}, {0, 0}};
  for (auto& c : cases) {
    b->SetBlend(c.in);
    EXPECT_EQ(c.out, b->Blend()) << c.in;
  }
}

TEST_F(SpeedButton, DropDownStyleWidensAndNarrows) {
  TsSpeedButton* b = MakeButton(20, 20, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(76, b->Width());
  b->SetButtonStyle(tbsCheck);
  EXPECT_EQ(60, b->Width());
  b->SetButtonStyle(tbsSeparator);
  EXPECT_EQ(60, b->Width());
}

TEST_F(SpeedButton, ShowCaptionStoresTheCaptionAside) {
  TsSpeedButton* b = MakeButton();
  b->SetCaption("Open");
  b->SetShowCaption(false);
  EXPECT_EQ("", b->Caption());
  b->SetShowCaption(true);
  EXPECT_EQ("Open", b->Caption());
}

TEST_F(SpeedButton, RemovedImagesAndMenuLeaveNilReferences) {
  TsSpeedButton* b = MakeButton();
  TCustomImageList* list = SolidImages();
  auto* menu = Create<TPopupMenu>(Form);
  b->SetImages(list);
  b->SetDropdownMenu(menu);
  list->Free();
  menu->Free();
  EXPECT_EQ(nullptr, b->Images());
  EXPECT_EQ(nullptr, b->DropdownMenu());
}

// ---- layout -------------------------------------------------------------------------------------------------

TEST_F(SpeedButton, GlyphAndCaptionLayouts) {
  TsSpeedButton* b = MakeButton(10, 10, 120, 60);
  std::unique_ptr<TBitmap> glyph(CreateBmp24(16, 16));
  b->Glyph()->Assign(glyph.get());
  b->SetCaption("Ab");
  for (bool dropDown : {false, true}) {
    b->SetButtonStyle(dropDown ? tbsDropDown : tbsButton);
    const int aw = dropDown ? 16 : 0;
    const int inner = b->Width() - aw;
    for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
      b->SetLayout(layout);
      TRect g, c;
      b->GlyphRect(g);
      b->CaptionRect(c);
      const TSize cs = b->CaptionSize();
      SCOPED_TRACE(testing::Message() << "layout " << int(layout) << " dropDown " << dropDown);
      EXPECT_EQ(16, g.Width());
      EXPECT_EQ(16, g.Height());
      EXPECT_GE(g.Left, 0);
      EXPECT_LE(g.Right, inner);
      // Caption rectangle: the text's width plus the one-pixel allowance on each side.
      if (layout == blGlyphLeft || layout == blGlyphRight) {
        EXPECT_EQ((b->Height() - 16) / 2, g.Top);
        EXPECT_EQ((b->Height() - cs.cy) / 2, c.Top);
      } else {
        // Centred: the text plus the allowance, one pixel more when the free space is odd.
        EXPECT_EQ(cs.cx + 3 + (inner - cs.cx) % 2, c.Width());
        EXPECT_EQ((inner - cs.cx) / 2 - 1, c.Left);
        EXPECT_EQ((inner - 16) / 2 + 1, g.Left);
      }
      switch (layout) {
        case blGlyphLeft: EXPECT_EQ(g.Right + b->Spacing() - 1, c.Left); break;
        case blGlyphRight:
          EXPECT_EQ(cs.cx + 3, c.Width());
          EXPECT_LE(c.Right - 2, g.Left - b->Spacing() + 1);
          break;
        case blGlyphTop: EXPECT_EQ(g.Bottom + b->Spacing(), c.Top); break;
        case blGlyphBottom: EXPECT_EQ(c.Bottom + b->Spacing(), g.Top); break;
      }
    }
  }
}

// ---- skinned look ----------------------------------------------------------------------------------------------

TEST_F(SpeedButton, StateFramesInTheCache) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton();
  EXPECT_TRUE(b->ControlStyle().Contains(csOpaque));
  Paint(b);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(b))) << "normal";
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  flush_events();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 1)), ColorText(Edge(b))) << "hot";
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  flush_events();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 2)), ColorText(Edge(b))) << "pressed";
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  flush_events();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(b))) << "left";
  b->SetEnabled(false);
  Paint(b);
  for (int s = 0; s < 3; ++s) EXPECT_NE(ColorText(Frame("SPEEDBUTTON", s)), ColorText(Edge(b))) << "disabled";
}

TEST_F(SpeedButton, GroupedButtonsShowTheDownOne) {
  LoadStandardSkin();
  TsSpeedButton* a = MakeButton(10, 10, 60, 30);
  TsSpeedButton* b = MakeButton(80, 10, 60, 30);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  a->SetDown(true);
  Paint(a);
  Paint(b);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 2)), ColorText(Edge(a)));
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(b)));
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  flush_events();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  Paint(a);
  Paint(b);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(a)));
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 2)), ColorText(Edge(b)));
}

TEST_F(SpeedButton, ImageListGlyphThatCoversEveryPixelIsDrawn) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton();
  b->SetImages(SolidImages());
  b->SetImageIndex(0);
  Paint(b);
  TRect g;
  b->GlyphRect(g);
  EXPECT_EQ(ColorText(kGlyphRed), ColorText(CachePixel(b->SkinData(), g.Left, g.Bottom - 1)));
  EXPECT_EQ(ColorText(kGlyphRed), ColorText(CachePixel(b->SkinData(), g.Left + 8, g.Top + 8)));
}

TEST_F(SpeedButton, WithoutSkinTheGlyphComesFromTheImageList) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton();
  b->SetImages(SolidImages());
  b->SetImageIndex(0);
  Paint(b);
  EXPECT_TRUE(b->Glyph()->Empty());
  Manager->SetActive(false);
  flush_events();
  Paint(b);
  EXPECT_FALSE(b->ControlStyle().Contains(csOpaque));
  ASSERT_FALSE(b->Glyph()->Empty());
  EXPECT_EQ(32, b->Glyph()->Width());
  EXPECT_EQ(2, b->NumGlyphs());
  EXPECT_EQ(ColorText(kGlyphRed), ColorText(b->Glyph()->Canvas()->Pixels(3, 3)));
  EXPECT_NE(ColorText(kGlyphRed), ColorText(b->Glyph()->Canvas()->Pixels(19, 3)));  // the disabled frame
}

TEST_F(SpeedButton, ZeroSizePaintsNothing) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton(10, 10, 0, 30);
  b->SkinData()->BGChanged = true;
  Paint(Form);
  EXPECT_TRUE(b->SkinData()->BGChanged);
}

TEST_F(SpeedButton, SectionAtIndexZeroIsValid) {
  TSkinBuilder only;
  only.Section("SPEEDBUTTON");
  only.Mask("SPEEDBUTTON", "BORDERSMASK", 12, 12, 3);
  LoadSkin(only);
  TsSpeedButton* b = MakeButton();
  ASSERT_EQ(0, b->SkinData()->SkinIndex);
  EXPECT_TRUE(b->SkinData()->Skinned());
  struct TCounter {
    int Calls = 0;
    void Paint(TObject*, TBitmap*) { ++Calls; }
  } counter;
  b->OnPaint = MakeMethod<&TCounter::Paint>(&counter);
  b->SkinData()->BGChanged = true;
  Paint(b);
  EXPECT_EQ(0, b->SkinData()->SkinIndex);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(b)));
  // Nothing changed: the next paint copies the cache without building it again.
  const int built = counter.Calls;
  EXPECT_GE(built, 1);
  Paint(b);
  EXPECT_EQ(built, counter.Calls);
}

TEST_F(SpeedButton, ParentImageNotYetPaintedKeepsBGChanged) {
  LoadStandardSkin();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(0, 0, 200, 100);
  flush_events();
  host->SkinData->CacheBmp->SetSize(0, 0);
  TsSpeedButton* b = MakeButton(host, 10, 10, 60, 30);
  b->SkinData()->BGChanged = true;
  b->PrepareCache();
  EXPECT_TRUE(b->SkinData()->BGChanged);
}

// ---- drop-down ---------------------------------------------------------------------------------------------------

TEST_F(SpeedButton, ArrowPartShowsTheMenuAndMainPartClicks) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton(20, 20, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  auto* menu = Create<TPopupMenu>(Form);
  auto* item = Create<TMenuItem>(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  TClickLog log;
  menu->OnPopup = MakeMethod<&TClickLog::OnPopup>(&log);
  b->OnClick = MakeMethod<&TClickLog::OnClick>(&log);
  b->SetDropdownMenu(menu);

  // Main part with OnClick: a normal click.
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, log.Clicks);
  EXPECT_EQ(0, log.Popups);

  // Arrow part: the menu, below the button; the call returns when it closes.
  SetTimer(nullptr, 0, 100, CloseMenu);
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Width() - 5, 5));
  EXPECT_EQ(1, log.Popups);
  EXPECT_EQ(b, log.PopupComponent);
  EXPECT_FALSE(b->MenuShown());
  EXPECT_EQ(nullptr, DroppedDownButton());
  EXPECT_TRUE(Application->ShowHint());
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(b->Width() - 5, 5));
  EXPECT_EQ(1, log.Clicks);
  EXPECT_TRUE(Application->ShowHint());
}

// A handler that raises while the menu is being shown (the button's OnPaint, the menu's OnPopup)
// leaves no menu state behind: the next press shows the menu again.
TEST_F(SpeedButton, DropDownMenuStateIsPutBackWhenAHandlerRaises) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton(20, 20, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  auto* menu = Create<TPopupMenu>(Form);
  auto* item = Create<TMenuItem>(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  b->SetDropdownMenu(menu);
  struct THandlers {
    int Popups = 0;
    void RaisingPaint(TObject*, TBitmap*) { throw Exception("paint"); }
    void RaisingPopup(TObject*) { throw Exception("popup"); }
    void CountPopup(TObject*) { ++Popups; }
  } h;
  const LPARAM arrow = MAKELPARAM(b->Width() - 5, 5);
  for (bool inPaint : {true, false}) {
    SCOPED_TRACE(inPaint ? "OnPaint raises" : "OnPopup raises");
    if (inPaint)
      b->OnPaint = MakeMethod<&THandlers::RaisingPaint>(&h);
    else
      menu->OnPopup = MakeMethod<&THandlers::RaisingPopup>(&h);
    EXPECT_THROW(b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, arrow), Exception);
    EXPECT_FALSE(b->MenuShown());
    EXPECT_EQ(nullptr, DroppedDownButton());
    EXPECT_EQ(bsUp, b->ButtonState());
    EXPECT_TRUE(Application->ShowHint());
    b->OnPaint = TBmpPaintEvent();
    menu->OnPopup = MakeMethod<&THandlers::CountPopup>(&h);
    b->Perform(WM_LBUTTONUP, 0, arrow);
    const int before = h.Popups;
    SetTimer(nullptr, 0, 100, CloseMenu);
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
    b->Perform(WM_LBUTTONUP, 0, arrow);
    EXPECT_EQ(before + 1, h.Popups) << "shown again";
  }
}

TEST_F(SpeedButton, HintsOffWhilePressed) {
  TsSpeedButton* b = MakeButton();
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(Application->ShowHint());
}

// ---- animation ------------------------------------------------------------------------------------------------------

TEST_F(SpeedButton, AnimationTimerFinishesAndFreesItself) {
  LoadSkin(
      TSkinBuilder::Standard().Key("SPEEDBUTTON", "FADINGENABLED", "TRUE").Key("SPEEDBUTTON", "FADINGITERATIONS", "4"));
  TsSpeedButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  ASSERT_NE(nullptr, b->AnimTimer());
  EXPECT_TRUE(pump_until([&] { return b->AnimTimer() == nullptr; }, 3000));
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
  Paint(b);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 1)), ColorText(Edge(b)));
}

TEST_F(SpeedButton, DestroyedDuringAnimationLeavesNoTimer) {
  LoadSkin(TSkinBuilder::Standard()
               .Key("SPEEDBUTTON", "FADINGENABLED", "TRUE")
               .Key("SPEEDBUTTON", "FADINGITERATIONS", "30"));
  TsSpeedButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  ASSERT_NE(nullptr, b->AnimTimer());
  b->Free();
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
}

// ---- glyph placement by the layout rules ------------------------------------------------------------------

// A 16 x 16 glyph without a caption on a 100 x 40 button: every position follows from the width
// arithmetic alone (M = Margin + 3, or 0 for Margin -1; the arrow part takes 16 pixels).
TEST_F(SpeedButton, GlyphPositionsOfEveryLayoutAndAlignment) {
  TsSpeedButton* b = MakeButton(10, 10, 100, 40);
  std::unique_ptr<TBitmap> glyph(CreateBmp24(16, 16));
  b->Glyph()->Assign(glyph.get());
  struct TCase {
    int Margin;
    bool DropDown;
    TButtonLayout Layout;
    TAlignment Align;
    int X, Y;
  };
  const TCase cases[] = {
      {-1, false, blGlyphLeft, taLeftJustify, 0, 12},  {-1, false, blGlyphLeft, taRightJustify, 84, 12},
      {-1, false, blGlyphLeft, taCenter, 42, 12},      {-1, true, blGlyphLeft, taRightJustify, 68, 12},
      {-1, true, blGlyphLeft, taCenter, 34, 12},       {2, false, blGlyphLeft, taLeftJustify, 5, 12},
      {2, false, blGlyphLeft, taRightJustify, 79, 12}, {2, false, blGlyphLeft, taCenter, 42, 12},
      {2, true, blGlyphLeft, taRightJustify, 63, 12},  {2, true, blGlyphLeft, taCenter, 34, 12},
      {-1, false, blGlyphRight, taLeftJustify, 0, 12}, {-1, false, blGlyphRight, taRightJustify, 84, 12},
      {-1, false, blGlyphRight, taCenter, 42, 12},     {-1, true, blGlyphRight, taRightJustify, 68, 12},
      {2, false, blGlyphRight, taLeftJustify, 5, 12},  {2, false, blGlyphRight, taRightJustify, 79, 12},
      {2, true, blGlyphRight, taLeftJustify, 5, 12},   {2, true, blGlyphRight, taCenter, 34, 12},
      {-1, false, blGlyphTop, taCenter, 43, 12},       {-1, true, blGlyphTop, taLeftJustify, 35, 12},
      {2, false, blGlyphTop, taRightJustify, 43, 12},  {-1, false, blGlyphBottom, taCenter, 43, 12},
      {2, true, blGlyphBottom, taCenter, 35, 12},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "margin " << c.Margin << " dropDown " << c.DropDown << " layout "
                                    << int(c.Layout) << " align " << int(c.Align));
    b->SetButtonStyle(c.DropDown ? tbsDropDown : tbsButton);
    b->SetWidth(100);  // the arrow part widened the button: back to the width the table is for
    b->SetMargin(c.Margin);
    b->SetLayout(c.Layout);
    b->SetAlignment(c.Align);
    TRect g;
    b->GlyphRect(g);
    EXPECT_EQ(c.Y, g.Top);
    EXPECT_EQ(16, g.Width());
    EXPECT_EQ(16, g.Height());
    EXPECT_EQ(c.X, g.Left);
  }
}

TEST_F(SpeedButton, PressedLookMovesGlyphAndCaptionByOnePixel) {
  TsSpeedButton* b = MakeButton(10, 10, 100, 40);
  std::unique_ptr<TBitmap> glyph(CreateBmp24(16, 16));
  b->Glyph()->Assign(glyph.get());
  b->SetCaption("Ab");
  TRect g0, c0, g1, c1;
  b->GlyphRect(g0);
  b->CaptionRect(c0);
  b->SetGroupIndex(1);
  b->SetDown(true);
  ASSERT_EQ(2, b->CurrentState());
  b->GlyphRect(g1);
  b->CaptionRect(c1);
  EXPECT_EQ(g0.Left + 1, g1.Left);
  EXPECT_EQ(g0.Top + 1, g1.Top);
  EXPECT_EQ(c0.Left + 1, c1.Left);
  EXPECT_EQ(c0.Top + 1, c1.Top);
}

// ---- corners, separators, the arrow part -----------------------------------------------------------------

namespace {
// A skin whose mask frames have no transparent corners: the corner pixels carry the state colour.
TSkinBuilder SolidCornerSkin() { return TSkinBuilder::Standard().CornerRuns({0, 0, 0, 0}); }
}  // namespace

TEST_F(SpeedButton, CornersShowTheStateOfTheLook) {
  LoadSkin(SolidCornerSkin());
  TsSpeedButton* a = MakeButton(10, 10, 60, 30);
  TsSpeedButton* b = MakeButton(80, 10, 60, 30);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  a->SetDown(true);
  Paint(a);
  Paint(b);
  for (TsSpeedButton* x : {a, b}) {
    const int state = x == a ? 2 : 0;
    SCOPED_TRACE(state);
    for (POINT p :
         {POINT{0, 0}, POINT{x->Width() - 1, 0}, POINT{1, x->Height() - 2}, POINT{x->Width() - 2, x->Height() - 1}})
      EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", state)), ColorText(CachePixel(x->SkinData(), p.x, p.y)));
  }
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  flush_events();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 1)), ColorText(CachePixel(b->SkinData(), 0, 0))) << "hot";
}

TEST_F(SpeedButton, DisabledLookCoversTheCorners) {
  LoadSkin(SolidCornerSkin());
  TsSpeedButton* b = MakeButton(10, 10, 60, 30);
  b->SetEnabled(false);
  Paint(b);
  const COLORREF edge = Edge(b);
  EXPECT_NE(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(edge));
  EXPECT_EQ(ColorText(edge), ColorText(CachePixel(b->SkinData(), 0, 0)));
  EXPECT_EQ(ColorText(edge), ColorText(CachePixel(b->SkinData(), b->Width() - 1, b->Height() - 1)));
}

TEST_F(SpeedButton, SeparatorShowsOnlyWhatLiesBehindIt) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton(10, 10, 12, 30);
  b->SetButtonStyle(tbsSeparator);
  Paint(b);
  const COLORREF behind = ColorToRGB(Form->Color());
  EXPECT_EQ(ColorText(behind), ColorText(CachePixel(b->SkinData(), 1, 1)));
  EXPECT_EQ(ColorText(behind), ColorText(CachePixel(b->SkinData(), 6, 15)));
  EXPECT_EQ(ColorText(behind), ColorText(CachePixel(b->SkinData(), 10, 28)));
}

TEST_F(SpeedButton, ArrowPartHasItsOwnStateAndCorners) {
  LoadSkin(SolidCornerSkin());
  auto* menu = Create<TPopupMenu>(Form);
  auto* item = Create<TMenuItem>(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  TsSpeedButton* b = MakeButton(10, 10, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  b->SetDropdownMenu(menu);
  TClickLog clicks;
  b->OnClick = MakeMethod<&TClickLog::OnClick>(&clicks);  // the main part keeps its own state
  struct TProbe {
    TsSpeedButton* Button = nullptr;
    COLORREF Main = 0, ArrowRight = 0, ArrowLeft = 0;
    bool Shown = false;
    void OnPopup(TObject*) {
      Shown = Button->MenuShown();
      const int w = Button->Width();
      TsCommonData* sd = Button->SkinData();
      Main = CaptureBitmap(sd->CacheBmp->Handle()).Pixel(0, 0);
      ArrowRight = CaptureBitmap(sd->CacheBmp->Handle()).Pixel(w - 1, 0);
      ArrowLeft = CaptureBitmap(sd->CacheBmp->Handle()).Pixel(w - 15, 1);
    }
  } probe;
  probe.Button = b;
  menu->OnPopup = MakeMethod<&TProbe::OnPopup>(&probe);
  SetTimer(nullptr, 0, 100, CloseMenu);
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Width() - 5, 5));
  ASSERT_TRUE(probe.Shown);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(probe.Main));
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 2)), ColorText(probe.ArrowRight));
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 2)), ColorText(probe.ArrowLeft));
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(b->Width() - 5, 5));
  EXPECT_EQ(0, clicks.Clicks);
}

// Without DrawOverBorder the border is laid last; its transparent pixels show the parent's image at the
// button's place, for the arrow part as for the main part.
TEST_F(SpeedButton, BorderDrawnLastTakesTheParentImageAtTheRightPlace) {
  LoadStandardSkin();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(0, 0, 300, 100);
  flush_events();
  // A parent image whose every column has its own colour.
  TBitmap* image = host->SkinData->CacheBmp;
  image->SetPixelFormat(pf24bit);
  image->SetSize(300, 100);
  for (int x = 0; x < 300; ++x) FillBmpRect(image, Rect(x, 0, x + 1, 100), TColor(RGB(x % 256, 0x40 + x / 256, 0x90)));
  TsSpeedButton* b = MakeButton(host, 20, 10, 60, 30);
  b->SetDrawOverBorder(false);
  b->SetButtonStyle(tbsDropDown);
  b->SkinData()->BGChanged = true;
  b->PrepareCache();
  const int w = b->Width();
  auto parentAt = [&](int x) { return ColorText(RGB((b->Left() + x) % 256, 0x40 + (b->Left() + x) / 256, 0x90)); };
  // Key runs along the top row: 1 pixel at the left of each part, 2 at the right.
  EXPECT_EQ(parentAt(0), ColorText(CachePixel(b->SkinData(), 0, 0)));
  EXPECT_EQ(parentAt(w - 16), ColorText(CachePixel(b->SkinData(), w - 16, 0))) << "arrow part, left";
  EXPECT_EQ(parentAt(w - 1), ColorText(CachePixel(b->SkinData(), w - 1, 0))) << "arrow part, right";
}

TEST_F(SpeedButton, OnPaintDrawsOverTheLook) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton();
  struct TPainter {
    int Calls = 0;
    void Paint(TObject*, TBitmap* Bmp) {
      ++Calls;
      FillBmpRect(Bmp, Rect(20, 10, 24, 14), TColor(RGB(1, 2, 3)));
    }
  } painter;
  b->OnPaint = MakeMethod<&TPainter::Paint>(&painter);
  b->SkinData()->BGChanged = true;
  Paint(b);
  EXPECT_GE(painter.Calls, 1);
  EXPECT_EQ(ColorText(RGB(1, 2, 3)), ColorText(CachePixel(b->SkinData(), 21, 11)));
}

// An OnPaint handler that raises: the parent is still told that the button's own repaint is over
// (it would otherwise go on painting that one child alone).
TEST_F(SpeedButton, ParentToldTheRepaintIsOverWhenOnPaintRaises) {
  LoadStandardSkin();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(0, 0, 200, 100);
  TsSpeedButton* b = MakeButton(host, 10, 10, 60, 30);
  // A parent with a painted image that is not busy: the button paints.
  host->SkinData->CacheBmp->SetPixelFormat(pf24bit);
  host->SkinData->CacheBmp->SetSize(200, 100);
  host->SkinData->BGChanged = false;
  struct TRaiser {
    void Paint(TObject*, TBitmap*) { throw Exception("paint"); }
  } raiser;
  b->OnPaint = MakeMethod<&TRaiser::Paint>(&raiser);
  EXPECT_THROW(b->SetBlend(50), Exception);
  EXPECT_EQ(nullptr, host->SkinData->RepaintingControl);
}

// ---- commands, the plain look, hints -----------------------------------------------------------------------

TEST_F(SpeedButton, CommandsOfAnotherManagerChangeNothing) {
  LoadStandardSkin();
  TsSkinManager* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  TsSpeedButton* b = MakeButton();
  Paint(b);
  for (int cmd : {QC_SKINREMOVED, QC_SKINLOADED, QC_REFRESH}) {
    b->SkinData()->BGChanged = false;
    b->Perform(SM_QUORVEXCMD, SkinCommandWParam(cmd), reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(b->ControlStyle().Contains(csOpaque)) << cmd;
    EXPECT_FALSE(b->SkinData()->BGChanged) << cmd;
    EXPECT_FALSE(b->SkinData()->UpdatingFlag()) << cmd;
    EXPECT_GE(b->SkinData()->SkinIndex, 0) << cmd;
  }
  FreeAndNil(other);
}

TEST_F(SpeedButton, WithoutManagerFiresEnterLeaveAndReleasesThePress) {
  TsSpeedButton* b = MakeButton();
  struct TLog {
    int Enter = 0, Leave = 0;
    void OnEnter(TObject*) { ++Enter; }
    void OnLeave(TObject*) { ++Leave; }
  } log;
  b->OnMouseEnter = MakeMethod<&TLog::OnEnter>(&log);
  b->OnMouseLeave = MakeMethod<&TLog::OnLeave>(&log);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(bsDown, b->ButtonState());
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(bsUp, b->ButtonState());
  EXPECT_EQ(1, log.Enter);
  EXPECT_EQ(1, log.Leave);
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
  // Events of a child reaching its parent are not the button's.
  TsSpeedButton* other = MakeButton(20, 80);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_EQ(1, log.Enter);
}

TEST_F(SpeedButton, HintsComeBackWhenTheMouseCaptureIsLost) {
  for (bool skinned : {false, true}) {
    SCOPED_TRACE(skinned);
    if (skinned) LoadStandardSkin();
    TsSpeedButton* b = MakeButton();
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(Form->Handle(), GetCapture());
    EXPECT_FALSE(Application->ShowHint());
    EXPECT_EQ(b, HintsSwitchedOffBy());
    ReleaseCapture();  // the parent window loses the mouse: the button is told
    flush_events();
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_EQ(nullptr, HintsSwitchedOffBy());
    b->Free();
  }
}

TEST_F(SpeedButton, HintsComeBackWhenThePressedButtonIsFreed) {
  TsSpeedButton* b = MakeButton();
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  b->Free();
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(nullptr, HintsSwitchedOffBy());
}

TEST_F(SpeedButton, DropDownStyleWhileLoadingKeepsTheWidth) {
  auto* b = Create<TsSpeedButton>(nullptr);
  b->SetBounds(0, 0, 60, 30);
  BeginLoading(b);
  b->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(60, b->Width());
  EndLoading(b);
  EXPECT_EQ(tbsDropDown, b->ButtonStyle());
  EXPECT_EQ("SPEEDBUTTON", b->SkinData()->SkinSection());
  b->Free();
}

TEST_F(SpeedButton, PublishedByName) {
  TsSpeedButton* b = MakeButton();
  for (const char* name :
       {"SkinData",       "AnimatEvents", "Alignment",     "Blend",      "ButtonStyle",  "DisabledGlyphKind",
        "DisabledKind",   "DropdownMenu", "Grayed",        "ImageIndex", "Images",       "ShowCaption",
        "DrawOverBorder", "TextOffset",   "TextAlignment", "OnPaint",    "OnMouseEnter", "OnMouseLeave",
        "Align",          "Flat",         "Glyph"})
    EXPECT_TRUE(HasPropByName(b, name)) << name;
  EXPECT_EQ(1, GetOrdPropByName(b, "ShowCaption"));
  EXPECT_TRUE(SetPropContains(b, "AnimatEvents", "aeGlobalDef"));
  struct TPainter {
    void Paint(TObject*, TBitmap*) {}
  } painter;
  EXPECT_TRUE(SetMethodPropByName(b, "OnPaint", TBmpPaintEvent(MakeMethod<&TPainter::Paint>(&painter))));
  EXPECT_TRUE(b->OnPaint == MakeMethod<&TPainter::Paint>(&painter));
}

// ---- animation switched off --------------------------------------------------------------------------------

TEST_F(SpeedButton, NoAnimationWhenTheManagerAllowsNoEvents) {
  LoadSkin(
      TSkinBuilder::Standard().Key("SPEEDBUTTON", "FADINGENABLED", "TRUE").Key("SPEEDBUTTON", "FADINGITERATIONS", "8"));
  Manager->SetAnimEventsDefault(TacAnimatEvents{});
  TsSpeedButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(nullptr, b->AnimTimer());
  flush_events();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 1)), ColorText(Edge(b)));
  // An event the button names itself still animates.
  b->SetAnimatEvents(TacAnimatEvents{aeMouseLeave});
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_NE(nullptr, b->AnimTimer());
  EXPECT_TRUE(pump_until([&] { return b->AnimTimer() == nullptr; }, 3000));
}

// ---- what the screen shows --------------------------------------------------------------------------------

// A parent whose image is not painted yet: the button leaves the screen to the parent rather than
// show a cache it could not build.
TEST_F(SpeedButton, NothingCopiedOverAParentImageNotYetPainted) {
  LoadStandardSkin();
  MouseAway();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(0, 0, 200, 100);
  host->SetColor(TColor(RGB(30, 160, 90)));
  flush_events();
  host->SkinData->CacheBmp->SetSize(0, 0);
  TsSpeedButton* b = MakeButton(host, 10, 10, 60, 30);
  host->SkinData->BGChanged = false;  // not busy: the button paints
  host->Repaint();
  flush_events();
  for (POINT p : {POINT{30, 15}, POINT{2, 2}, POINT{57, 27}})
    EXPECT_EQ(ColorText(RGB(30, 160, 90)), ColorText(ScreenPixel(b, p.x, p.y))) << p.x << "," << p.y;
  EXPECT_TRUE(b->SkinData()->BGChanged);
}

// Where the main part meets the arrow part, the corners of both are cut out of the look and show
// the parent, hovered and pressed as at rest.
TEST_F(SpeedButton, InnerCornersOfADropDownButtonShowTheParentInEveryState) {
  LoadStandardSkin();
  MouseAway();
  TsSpeedButton* b = MakeButton(20, 20, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  TClickLog log;
  b->OnClick = MakeMethod<&TClickLog::OnClick>(&log);
  flush_events();
  const int w = b->Width(), h = b->Height(), a = w - DropDownArrowWidth;
  const std::string behind = ColorText(ColorToRGB(Form->Color()));
  // Key runs of the test skin: top-left 1, top-right 2, bottom-left 3, bottom-right 4 pixels.
  const POINT inner[] = {{a - 1, 0}, {a - 2, 0}, {a, 0}, {a - 1, h - 1}, {a - 4, h - 1}, {a, h - 1}, {a + 2, h - 1}};
  auto check = [&](const char* step, int state) {
    SCOPED_TRACE(step);
    EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", state)), ColorText(ScreenPixel(b, a / 2, 1)));
    for (POINT p : inner) EXPECT_EQ(behind, ColorText(ScreenPixel(b, p.x, p.y))) << p.x << "," << p.y;
  };
  check("normal", 0);
  MouseTo(b, a / 2, h / 2);
  check("hot", 1);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  check("pressed", 2);
  MouseButton(MOUSEEVENTF_LEFTUP);
  check("released", 1);
  EXPECT_EQ(1, log.Clicks);
}
