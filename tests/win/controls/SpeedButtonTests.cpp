// The skinned speed button: property rules, caption and glyph layout, state frames, groups,
// image-list glyphs, the drop-down menu, the animation timer, parents without a painted image.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "skin/controls/sSpeedButton.h"
#include "tests/win/controls/ControlsFixture.h"

using namespace qvtest;

namespace {

constexpr COLORREF kGlyphRed = RGB(200, 20, 30);

class SpeedButtonTest : public ControlsTest {
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

TEST_F(SpeedButtonTest, Defaults) {
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

TEST_F(SpeedButtonTest, BlendIsClamped) {
  TsSpeedButton* b = MakeButton();
  struct {
    int in, out;
  } cases[] = {{150, 100}, {-5, 0}, {40, 40}, {100, 100}, {0, 0}};
  for (auto& c : cases) {
    b->SetBlend(c.in);
    EXPECT_EQ(c.out, b->Blend()) << c.in;
  }
}

TEST_F(SpeedButtonTest, DropDownStyleWidensAndNarrows) {
  TsSpeedButton* b = MakeButton(20, 20, 60, 30);
  b->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(76, b->Width());
  b->SetButtonStyle(tbsCheck);
  EXPECT_EQ(60, b->Width());
  b->SetButtonStyle(tbsSeparator);
  EXPECT_EQ(60, b->Width());
}

TEST_F(SpeedButtonTest, ShowCaptionStoresTheCaptionAside) {
  TsSpeedButton* b = MakeButton();
  b->SetCaption("Open");
  b->SetShowCaption(false);
  EXPECT_EQ("", b->Caption());
  b->SetShowCaption(true);
  EXPECT_EQ("Open", b->Caption());
}

TEST_F(SpeedButtonTest, RemovedImagesAndMenuLeaveNilReferences) {
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

TEST_F(SpeedButtonTest, GlyphAndCaptionLayouts) {
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
        case blGlyphLeft:
          EXPECT_EQ(g.Right + b->Spacing() - 1, c.Left);
          break;
        case blGlyphRight:
          EXPECT_EQ(cs.cx + 3, c.Width());
          EXPECT_LE(c.Right - 2, g.Left - b->Spacing() + 1);
          break;
        case blGlyphTop:
          EXPECT_EQ(g.Bottom + b->Spacing(), c.Top);
          break;
        case blGlyphBottom:
          EXPECT_EQ(c.Bottom + b->Spacing(), g.Top);
          break;
      }
    }
  }
}

// ---- skinned look ----------------------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, StateFramesInTheCache) {
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

TEST_F(SpeedButtonTest, GroupedButtonsShowTheDownOne) {
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

TEST_F(SpeedButtonTest, ImageListGlyphThatCoversEveryPixelIsDrawn) {
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

TEST_F(SpeedButtonTest, WithoutSkinTheGlyphComesFromTheImageList) {
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

TEST_F(SpeedButtonTest, ZeroSizePaintsNothing) {
  LoadStandardSkin();
  TsSpeedButton* b = MakeButton(10, 10, 0, 30);
  b->SkinData()->BGChanged = true;
  Paint(Form);
  EXPECT_TRUE(b->SkinData()->BGChanged);
}

TEST_F(SpeedButtonTest, SectionAtIndexZeroIsValid) {
  TSkinBuilder only;
  only.Section("SPEEDBUTTON");
  only.Mask("SPEEDBUTTON", "BORDERSMASK", 12, 12, 3);
  LoadSkin(only);
  TsSpeedButton* b = MakeButton();
  ASSERT_EQ(0, b->SkinData()->SkinIndex);
  EXPECT_TRUE(b->SkinData()->Skinned());
  Paint(b);
  EXPECT_EQ(0, b->SkinData()->SkinIndex);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(Edge(b)));
}

TEST_F(SpeedButtonTest, ParentImageNotYetPaintedKeepsBGChanged) {
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

TEST_F(SpeedButtonTest, ArrowPartShowsTheMenuAndMainPartClicks) {
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

TEST_F(SpeedButtonTest, HintsOffWhilePressed) {
  TsSpeedButton* b = MakeButton();
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(Application->ShowHint());
}

// ---- animation ------------------------------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, AnimationTimerFinishesAndFreesItself) {
  LoadSkin(TSkinBuilder::Standard().Key("SPEEDBUTTON", "FADINGENABLED", "TRUE").Key("SPEEDBUTTON", "FADINGITERATIONS", "4"));
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

TEST_F(SpeedButtonTest, DestroyedDuringAnimationLeavesNoTimer) {
  LoadSkin(TSkinBuilder::Standard().Key("SPEEDBUTTON", "FADINGENABLED", "TRUE").Key("SPEEDBUTTON", "FADINGITERATIONS", "30"));
  TsSpeedButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  ASSERT_NE(nullptr, b->AnimTimer());
  b->Free();
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
}
