// Shared fixture of the page control tests: a larger shown form, page controls of named pages, the
// rectangles and colours the probes need, and a log of the page events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/sPageControl.h"
#include "skin/engine/sFade.h"
#include "tests/support/ControlsFixture.h"

namespace qvtest {

// The events of a page control in the order they came, with the active page at each.
struct TPageLog {
  std::vector<std::string> Events;
  TPageControl* Control = nullptr;
  // The page-change overlay covered the control when the change was announced.
  bool Overlaid = false;
  std::string Active() const {
    TTabSheet* p = Control ? Control->ActivePage() : nullptr;
    return p ? p->Caption() : "-";
  }
  void Changing(TObject*, bool&) { Events.push_back("changing " + Active()); }
  void Change(TObject*) {
    Events.push_back("change " + Active());
    Overlaid = Overlaid || OutputOverlayWindow() != nullptr;
  }
  void Attach(TPageControl* pc) {
    Control = pc;
    pc->OnChanging = MakeMethod<&TPageLog::Changing>(this);
    pc->OnChange = MakeMethod<&TPageLog::Change>(this);
  }
};

class TabsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    Form->SetBounds(40, 40, 560, 380);
    flush_events();
  }
  // A page control of Count pages "Tab 0", "Tab 1" ... (the first active), animation off when
  // a manager exists.
  TsPageControl* MakePages(int Count, TTabPosition Position = tpTop, TRect Bounds = Rect(10, 10, 410, 210)) {
    if (Manager) Manager->PageChange()->SetActive(false);
    auto* pc = Create<TsPageControl>(Form);
    pc->SetParent(Form);
    pc->SetBoundsRect(Bounds);
    pc->SetTabPosition(Position);
    for (int i = 0; i < Count; ++i) {
      auto* page = Create<TsTabSheet>(Form);
      page->SetPageControl(pc);
      page->SetCaption("Tab " + std::to_string(i));
    }
    pc->SetActivePageIndex(0);
    flush_events();
    return pc;
  }
  static TRect ItemRect(TPageControl* pc, int Tab) {
    RECT r{};
    SendMessageA(pc->Handle(), TCM_GETITEMRECT, WPARAM(Tab), LPARAM(&r));
    return FromRECT(r);
  }
  // A point inside a painted tab clear of its caption and of the key runs of its corners.
  static TPoint TabBody(TsPageControl* pc, int Tab, bool Active) {
    const TRect r = pc->SkinTabRect(Tab, Active);
    return Point(r.Left + 4, r.Top + r.Height() / 2);
  }
  static TPoint Centre(const TRect& r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  COLORREF Tab(int State, const char* Section = "TABTOP") const { return Frame(Section, State); }
  static std::string At(TControl* c, TPoint p) { return ColorText(ScreenPixel(c, p.X, p.Y)); }
};

}  // namespace qvtest
