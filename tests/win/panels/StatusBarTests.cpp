// The skinned status bar: panel slots of fixed and stretching panels with their frames or
// dividers, texts cut to their panels, owner-drawn panels, the size grip, the cache rebuilt for
// every change of parts and texts, one paint per WM_PAINT, and the native bar back on removal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ExtCtrlsPanels.h"
#include "skin/controls/sStatusBar.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

struct TDrawLog {
  std::vector<TRect> Rects;
  void OnDrawPanel(TStatusBar* Bar, TStatusPanel*, const TRect& R) {
    Rects.push_back(R);
    Bar->Canvas()->Brush()->SetColor(TColor(RGB(10, 220, 30)));
    Bar->Canvas()->FillRect(R);
  }
};

class StatusBar : public ControlsTest {
 protected:
  TsStatusBar* MakeBar(std::initializer_list<int> widths, int width = 300) {
    auto* b = Create<TsStatusBar>(Form);
    b->SetParent(Form);
    b->SetAlign(alNone);
    b->SetBounds(10, 150, width, 24);
    for (int w : widths) b->Panels()->Add()->SetWidth(w);
    flush_events();
    return b;
  }
  static void Redraw(TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    flush_events();
  }
  COLORREF TextColor() const {
    const int i = Manager->SectionIndexOf("STATUSBAR");
    return COLORREF(Manager->Section(i).FontColor.Text() & 0xFFFFFF);
  }
  // Pixels of a colour the screen shows in a part of the bar.
  static int Shown(TControl* c, const TRect& r, COLORREF color) {
    const POINT p = ScreenPoint(c, r.Left, r.Top);
    return CaptureScreenRect(RECT{p.x, p.y, p.x + r.Width(), p.y + r.Height()}).CountColor(color);
  }
};

}  // namespace

// Each panel starts one pixel after the one before it and the last reaches the bar's right edge;
// with the panel mask each slot is framed by it, without it a divider follows every panel but the
// last; a text wider than its panel stays inside it.
TEST_F(StatusBar, PanelSlotsFramesAndDividers) {
  const struct {
    std::vector<int> Widths;
    int BarWidth;
    std::vector<TRect> Slots;
  } table[] = {
      {{80, 60, 40, 50}, 300, {{0, 0, 81, 24}, {81, 0, 142, 24}, {142, 0, 183, 24}, {183, 0, 300, 24}}},
      {{100}, 300, {{0, 0, 300, 24}}},
      {{200, 200}, 300, {{0, 0, 201, 24}, {201, 0, 300, 24}}},
      {{-5, 30}, 120, {{0, 0, 1, 24}, {1, 0, 120, 24}}},
  };
  for (bool panelMask : {true, false}) {
    TSkinBuilder b = TSkinBuilder::Standard();
    if (!panelMask) b.RemoveMask("STATUSBAR", "STATUSPANELMASK");
    LoadSkin(b);
    const COLORREF mask = panelMask ? TSkinBuilder::FrameColor(b.MaskOrdinal("STATUSBAR", "STATUSPANELMASK"), 0) : 0;
    for (const auto& row : table) {
      auto* bar = Create<TsStatusBar>(Form);
      bar->SetParent(Form);
      bar->SetAlign(alNone);
      bar->SetBounds(10, 150, row.BarWidth, 24);
      for (int w : row.Widths) bar->Panels()->Add()->SetWidth(w);
      bar->Panels()->Items(0)->SetText(std::string(80, 'W'));
      flush_events();
      Redraw(bar);
      const int n = int(row.Widths.size());
      for (int i = 0; i < n; ++i) {
        const TRect slot = bar->PanelSlot(i);
        EXPECT_EQ(row.Slots[std::size_t(i)], slot) << "panel " << i << " of " << n;
        if (slot.Width() < 12) continue;
        const COLORREF edge = ScreenPixel(bar, slot.Left + 1, 12);
        const COLORREF beforeEnd = ScreenPixel(bar, slot.Right - 5, 12);
        if (panelMask) {
          EXPECT_EQ(ColorText(mask), ColorText(edge)) << "framed, panel " << i;
        } else {
          const bool divider = i + 1 < n;
          EXPECT_EQ(divider, beforeEnd == Frame("DIVIDER", 0)) << "divider after panel " << i << " of " << n;
        }
      }
      const TRect first = bar->PanelSlot(0);
      if (first.Width() < 30) {
        FreeAndNil(bar);
        continue;
      }
      EXPECT_GT(Shown(bar, first, TextColor()), 20) << "the text is drawn";
      EXPECT_EQ(0, Shown(bar, Rect(first.Right - 3, 0, bar->Width(), 24), TextColor())) << "and cut to its panel";
      FreeAndNil(bar);
    }
    FreeAndNil(Manager);
  }
}

// Every change of the parts or their texts, by property or by message, shows at the next paint;
// a text longer than any fixed buffer comes back whole.
TEST_F(StatusBar, EveryChangeOfPartsAndTextsShows) {
  LoadStandardSkin();
  TsStatusBar* bar = MakeBar({80, 80, 80, 50});
  Redraw(bar);
  const COLORREF text = TextColor();
  EXPECT_EQ(0, Shown(bar, bar->PanelSlot(1), text));
  const struct {
    const char* Name;
    std::function<void()> Change;
    int Panel;
  } table[] = {
      {"panel text", [&] { bar->Panels()->Items(1)->SetText("Second"); }, 1},
      {"message to a part", [&] { SendMessageA(bar->Handle(), SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("Third")); }, 2},
      {"panel width",
       [&] {
         bar->Panels()->Items(0)->SetWidth(40);
         bar->Panels()->Items(0)->SetText("First");
       },
       0},
  };
  for (const auto& row : table) {
    row.Change();
    flush_events();
    EXPECT_GT(Shown(bar, bar->PanelSlot(row.Panel), text), 10) << row.Name;
  }
  EXPECT_EQ(Rect(0, 0, 41, 24), bar->PanelSlot(0));
  bar->SetSimpleText("Simple text");
  bar->SetSimplePanel(true);
  flush_events();
  EXPECT_GT(Shown(bar, Rect(0, 0, bar->Width(), 24), text), 10) << "simple panel";
  bar->SetSimplePanel(false);

  const std::string longText(1000, 'x');
  SendMessageA(bar->Handle(), SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(longText.c_str()));
  EXPECT_EQ(longText, bar->PartText(3));
  bar->Panels()->Items(2)->SetText("Third");
  bar->Panels()->Items(2)->SetAlignment(taCenter);
  EXPECT_EQ("Third", bar->PartText(2)) << "alignment tabs left out";

  // Past the window's 255 parts each panel still shows its own text.
  FreeAndNil(bar);
  bar = MakeBar({}, 400);
  bar->Panels()->BeginUpdate();
  for (int i = 0; i < 300; ++i) {
    TStatusPanel* p = bar->Panels()->Add();
    p->SetWidth(0);
    p->SetText("P" + std::to_string(i));
  }
  bar->Panels()->EndUpdate();
  bar->Panels()->Items(299 % 256)->SetText("");  // the part a window asked for panel 299 would give
  Redraw(bar);
  for (int i : {0, 254, 255, 256, 299}) EXPECT_EQ("P" + std::to_string(i), bar->PartText(i));
  EXPECT_GT(Shown(bar, bar->PanelSlot(299), text), 10) << "the last panel's own text is drawn";
}

// One WM_PAINT paints the bar once: its children hear of it once.
TEST_F(StatusBar, OnePaintPerPaintMessage) {
  LoadStandardSkin();
  TsStatusBar* bar = MakeBar({100, 100});
  auto* child = Create<TTestSkinControl>(Form, tcGauge);
  child->SetParent(bar);
  child->SetBounds(120, 3, 60, 18);
  flush_events();
  for (int i = 0; i < 3; ++i) {
    if (i == 1) bar->Panels()->Items(0)->SetText("Rebuilt");
    flush_events();
    child->Commands.clear();
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(1, std::count_if(child->Commands.begin(), child->Commands.end(),
                               [](const TRecordedCommand& r) { return r.Command == QC_UPDATEDONE; }))
        << "paint " << i;
  }
}

// Owner-drawn panels draw into the cache two pixels inside their slot.
TEST_F(StatusBar, OwnerDrawnPanelsDrawIntoTheCache) {
  LoadStandardSkin();
  TsStatusBar* bar = MakeBar({90, 90});
  TDrawLog log;
  bar->OnDrawPanel = MakeMethod<&TDrawLog::OnDrawPanel>(&log);
  bar->Panels()->Items(1)->SetStyle(psOwnerDraw);
  Redraw(bar);
  ASSERT_FALSE(log.Rects.empty());
  TRect want = bar->PanelSlot(1);
  want.Inflate(-2, -2);
  EXPECT_EQ(want, log.Rects.back());
  EXPECT_EQ(ColorText(RGB(10, 220, 30)), ColorText(ScreenPixel(bar, want.Left + 5, 12)));
  const size_t calls = log.Rects.size();
  Redraw(bar);
  EXPECT_EQ(calls, log.Rects.size()) << "a repaint copies the cache";
}

// The grip comes from the skin's global grip image, else from the form section's; SizeGrip off
// shows none. Removing the skin gives the native bar back in a new window.
TEST_F(StatusBar, SizeGripAndRemoval) {
  const struct {
    const char* Name;
    bool Global, Form, SizeGrip;
  } table[] = {
      {"global grip", true, false, true},
      {"form's grip", false, true, true},
      {"no grip wanted", true, false, false},
  };
  for (const auto& row : table) {
    TSkinBuilder b = TSkinBuilder::Standard();
    if (!row.Global) b.RemoveMask("GLOBALINFO", "GRIPIMAGE");
    if (row.Form) b.Mask("FORM", "GRIPIMAGE", 12, 12, 2);
    LoadSkin(b);
    TsStatusBar* bar = MakeBar({100});
    bar->SetSizeGrip(row.SizeGrip);
    Redraw(bar);
    const int ordinal = row.Global ? b.MaskOrdinal("GLOBALINFO", "GRIPIMAGE") : b.MaskOrdinal("FORM", "GRIPIMAGE");
    const COLORREF grip = TSkinBuilder::FrameColor(ordinal, 0);
    const int shown = Shown(bar, Rect(bar->Width() - 12, 12, bar->Width(), 24), grip);
    if (row.SizeGrip)
      EXPECT_GT(shown, 50) << row.Name;
    else
      EXPECT_EQ(0, shown) << row.Name;
    FreeAndNil(bar);
    FreeAndNil(Manager);
  }
  LoadStandardSkin();
  TsStatusBar* bar = MakeBar({100, 100});
  const HWND skinned = bar->Handle();
  Manager->SetActive(false);
  flush_events();
  EXPECT_NE(skinned, bar->Handle()) << "a new window";
  Redraw(bar);
  EXPECT_EQ(ColorText(ColorToRGB(clBtnFace)), ColorText(ScreenPixel(bar, 150, 12)));
}

// The window's grip sizes the window's parent: a bar gets one only on a sizeable form, and dragging
// it sizes the form; inside a panel (even at the form's corner) or on a fixed form it has none, and
// a drag there leaves every size as it was.
TEST_F(StatusBar, GripOnlyOnASizeableFormAndItSizesTheForm) {
  LoadStandardSkin();
  const COLORREF grip = TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", "GRIPIMAGE"), 0);
  const struct {
    const char* Name;
    TFormBorderStyle Border;
    bool InPanel, Grip;
  } table[] = {
      {"sizeable form", bsSizeable, false, true},
      {"sizeable tool window", bsSizeToolWin, false, true},
      {"panel at the form's corner", bsSizeable, true, false},
      {"fixed form", bsSingle, false, false},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.Name);
    Form->SetBorderStyle(row.Border);
    Form->SetBounds(40, 40, 360, 260);
    TPanel* panel = nullptr;
    if (row.InPanel) {
      panel = Create<TPanel>(Form);
      panel->SetParent(Form);
      panel->SetAlign(alBottom);
      panel->SetHeight(60);
    }
    auto* bar = Create<TsStatusBar>(Form);
    bar->SetParent(panel ? static_cast<TWinControl*>(panel) : Form);
    bar->SetAlign(alBottom);
    bar->Panels()->Add()->SetWidth(100);
    flush_events();
    Redraw(bar);
    EXPECT_EQ(row.Grip, (GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP) != 0);
    const int shown = Shown(bar, Rect(bar->Width() - 12, bar->Height() - 12, bar->Width(), bar->Height()), grip);
    EXPECT_EQ(row.Grip, shown > 40) << shown << " grip pixels";
    const TRect form = Form->BoundsRect(), held = panel ? panel->BoundsRect() : TRect{};
    DragBy(ScreenPoint(bar, bar->Width() - 3, bar->Height() - 3), 40, 30);
    if (row.Grip) {
      EXPECT_EQ(form.Width() + 40, Form->Width());
      EXPECT_EQ(form.Height() + 30, Form->Height());
    } else {
      EXPECT_EQ(form, Form->BoundsRect());
      if (panel) EXPECT_EQ(held, panel->BoundsRect());
    }
    FreeAndNil(bar);
    if (panel) FreeAndNil(panel);
  }
}
