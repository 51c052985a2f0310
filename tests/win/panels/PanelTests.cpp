// The skinned panel and the drag bar: OnPaint drawn into the cache under the children, the cache
// rebuilt for a panel seen only in part, skin commands passed on to the children, the plain
// panel's printing, the drag bar moving its form with the real mouse and following the
// application's activation.
#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/sPanel.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

constexpr COLORREF kDrawn = RGB(20, 200, 40);

struct TPaintLog {
  int Calls = 0;
  std::vector<TCanvas*> Canvases;
  void OnPaint(TObject*, TCanvas* Canvas) {
    ++Calls;
    Canvases.push_back(Canvas);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(TColor(kDrawn));
    Canvas->FillRect(Rect(10, 10, 60, 40));
  }
};

class Panel : public ControlsTest {
 protected:
  static TSkinBuilder Skin(int transparency = 0) {
    TSkinBuilder b = TSkinBuilder::Standard();
    b.Section("DRAGBAR");
    b.Mask("DRAGBAR", "BORDERSMASK", 9, 9, 2);
    if (transparency) b.Key("PANEL", "TRANSPARENCY", std::to_string(transparency));
    return b;
  }
  TsPanel* MakePanel(TWinControl* parent, int x, int y, int w, int h) {
    auto* p = Create<TsPanel>(Form);
    p->SetParent(parent);
    p->SetBounds(x, y, w, h);
    p->OnPaint = MakeMethod<&TPaintLog::OnPaint>(&Log);
    flush_events();
    return p;
  }
  static void Redraw(TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    flush_events();
  }
  TPaintLog Log;
};

}  // namespace

// The program's drawing goes into the cache once: it shows beside and under the child windows
// and survives repaints without another call, until the look changes.
TEST_F(Panel, OnPaintDrawsIntoTheCacheUnderTheChildren) {
  LoadSkin(Skin());
  TsPanel* p = MakePanel(Form, 10, 10, 200, 100);
  auto* child = Create<TTestSkinControl>(Form, tcPanel);
  child->SetParent(p);
  child->SetBounds(40, 20, 60, 60);
  Redraw(p);
  const int built = Log.Calls;
  ASSERT_GE(built, 1);
  EXPECT_EQ(p->SkinData()->CacheBmp->Canvas(), Log.Canvases.back()) << "drawn on the cache";
  EXPECT_EQ(ColorText(kDrawn), ColorText(ScreenPixel(p, 20, 20)));
  EXPECT_EQ(ColorText(kDrawn), ColorText(CachePixel(p->SkinData(), 50, 30))) << "under the child";
  EXPECT_NE(ColorText(kDrawn), ColorText(ScreenPixel(p, 50, 30))) << "the child covers it";
  for (int i = 0; i < 3; ++i) Redraw(p);
  EXPECT_EQ(built, Log.Calls) << "repaints copy the cache";
  EXPECT_EQ(ColorText(kDrawn), ColorText(ScreenPixel(p, 20, 20)));
  p->SetCaption("New caption");
  Redraw(p);
  EXPECT_EQ(built + 1, Log.Calls) << "a new caption rebuilds the look";
  EXPECT_EQ(ColorText(Frame("PANEL", 0)), ColorText(ScreenPixel(p, 1, 50))) << "the section's border";

  Manager->SetActive(false);
  Redraw(p);
  EXPECT_EQ(ColorText(kDrawn), ColorText(ScreenPixel(p, 20, 20))) << "plain: drawn on the panel's canvas";
  EXPECT_EQ(ColorText(ColorToRGB(clBtnFace)), ColorText(ScreenPixel(p, 150, 50)));
  // Printed, the plain panel shows the program's drawing too.
  const Capture printed = CaptureWMPrint(p->Handle(), PRF_CLIENT);
  EXPECT_EQ(ColorText(kDrawn), ColorText(printed.Pixel(20, 20)));
}

// A panel that shows its parent through its section and lies partly outside its parent is
// rebuilt at every paint; one seen whole keeps its cache.
TEST_F(Panel, PartlyHiddenPanelIsRebuilt) {
  LoadSkin(Skin(50));
  TsPanel* outer = MakePanel(Form, 10, 10, 200, 120);
  TsPanel* whole = MakePanel(outer, 10, 10, 80, 60);
  TsPanel* clipped = MakePanel(outer, 150, 50, 100, 100);
  Redraw(outer);
  EXPECT_FALSE(whole->SkinData()->PartlyHidden);
  EXPECT_TRUE(clipped->SkinData()->PartlyHidden);
  const int before = Log.Calls;
  Redraw(whole);
  EXPECT_EQ(before, Log.Calls) << "seen whole: the cache is copied";
  Redraw(clipped);
  EXPECT_EQ(before + 1, Log.Calls) << "partly hidden: rebuilt";
  clipped->SetBounds(100, 30, 60, 40);
  Redraw(outer);
  EXPECT_FALSE(clipped->SkinData()->PartlyHidden);
}

// Skin changes reach the panel's children whichever manager they name; the panel itself follows
// only its own manager's.
TEST_F(Panel, SkinCommandsReachTheChildren) {
  LoadSkin(Skin());
  TsPanel* p = MakePanel(Form, 10, 10, 200, 100);
  auto* child = Create<TTestSkinControl>(Form, tcPanel);
  child->SetParent(p);
  child->SetBounds(10, 10, 30, 30);
  flush_events();
  TsSkinManager* other = CreateTestManager(Builder, "Other", false);
  for (TsSkinManager* m : {Manager, other}) {
    for (int cmd : {QC_SKINLOADED, QC_REFRESH, QC_SKINREMOVED}) {
      child->Commands.clear();
      p->SkinData()->BGChanged = false;
      SendMessageA(p->Handle(), SM_QUORVEXCMD, SkinCommandWParam(cmd), reinterpret_cast<LPARAM>(m));
      ASSERT_EQ(1, std::count_if(child->Commands.begin(), child->Commands.end(),
                                 [&](const TRecordedCommand& r) { return r.Command == cmd; }))
          << cmd;
      const auto it = std::find_if(child->Commands.begin(), child->Commands.end(),
                                   [&](const TRecordedCommand& r) { return r.Command == cmd; });
      EXPECT_EQ(reinterpret_cast<LPARAM>(m), it->LParam) << "unchanged, command " << cmd;
      if (m == other) {
        EXPECT_FALSE(p->SkinData()->BGChanged) << "another manager's command " << cmd;
      }
    }
    SendMessageA(p->Handle(), SM_QUORVEXCMD, SkinCommandWParam(QC_SKINLOADED), reinterpret_cast<LPARAM>(Manager));
  }
  FreeAndNil(other);
}

// A drag with the real mouse moves the drag bar's form (or the control it names) by the distance
// dragged.
TEST_F(Panel, DragBarMovesItsFormByTheDraggedDistance) {
  LoadSkin(Skin());
  auto* bar = Create<TsDragBar>(Form);
  bar->SetParent(Form);
  bar->SetCaption("Drag me");
  flush_events();
  EXPECT_EQ(alTop, bar->Align());
  EXPECT_EQ(Form, bar->DragTarget()) << "no control named: the bar's form";
  auto* other = Create<TForm>(Application);
  other->SetBounds(420, 60, 200, 120);
  other->Show();
  flush_events();
  struct Row {
    TControl* Named;
    TForm* Moves;
    int Dx, Dy;
  } rows[] = {{nullptr, Form, 37, 23}, {other, other, -25, 41}};
  for (const Row& r : rows) {
    bar->SetDraggedControl(r.Named);
    const TPoint start = r.Moves->BoundsRect().TopLeft();
    MouseTo(bar, 40, 8);
    // Pressed, dragged in two steps and released as one input: the system's move loop that the
    // press starts reads them from the queue.
    const POINT at = ScreenPoint(bar, 40, 8);
    auto move = [](LONG x, LONG y) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dx = LONG((x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
      in.mi.dy = LONG((y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
      in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
      return in;
    };
    INPUT drag[4] = {{}, move(at.x + r.Dx / 2, at.y + r.Dy / 2), move(at.x + r.Dx, at.y + r.Dy), {}};
    drag[0].type = drag[3].type = INPUT_MOUSE;
    drag[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    drag[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(4, drag, sizeof(INPUT));
    EXPECT_TRUE(pump_until([&] {
      RECT w{};
      GetWindowRect(r.Moves->Handle(), &w);
      return w.left == start.X + r.Dx && w.top == start.Y + r.Dy;
    })) << r.Moves->Caption();
    flush_events();
    EXPECT_EQ(start.X + r.Dx, r.Moves->Left());
    EXPECT_EQ(start.Y + r.Dy, r.Moves->Top());
  }
  bar->SetDraggedControl(nullptr);
  FreeAndNil(other);
  EXPECT_EQ(nullptr, bar->DraggedControl());
}

// The drag bar shows the system's caption colours of an active and an inactive application: its
// text in the caption text colours, never in the colour of the bar itself.
TEST_F(Panel, DragBarFollowsTheApplicationsActivation) {
  auto* bar = Create<TsDragBar>(Form);
  bar->SetParent(Form);
  flush_events();
  EXPECT_EQ(clActiveCaption, bar->Color());
  EXPECT_EQ(clCaptionText, bar->Font()->Color());
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(clInactiveCaption, bar->Color());
  EXPECT_EQ(clInactiveCaptionText, bar->Font()->Color());
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(clActiveCaption, bar->Color());
  EXPECT_EQ(clCaptionText, bar->Font()->Color());
  // Colours the program chose stay.
  bar->SetColor(clNavy);
  bar->Font()->SetColor(clYellow);
  SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(clNavy, bar->Color());
  EXPECT_EQ(clYellow, bar->Font()->Color());
}
