// The tab adapters: tabs on each side painted at the rectangles the control reports, the active
// one in its own frame, the body in the section of its side, a control without tabs in "CHECKBOX";
// the page control's pages adapted once each (also pages made later, never its up-down), and the
// tab row's up-down adapter made once and kept.
#include "tests/win/listadapters/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"
#include "tests/support/RealInput.h"

namespace qvtest {
namespace {

class Tabs : public ListAdapterTest {
 protected:
  void TearDown() override {
    FreeAndNil(Adapter);
    delete Data;
    Data = nullptr;
    if (Pages) Pages->Free();
    Pages = nullptr;
    LibHost.reset();
    ListAdapterTest::TearDown();
  }
  static void AddTabs(HWND tab, int count) {
    for (int i = 0; i < count; ++i) {
      std::string text = "Tab number " + std::to_string(i);
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i), LPARAM(&item));
    }
  }
  std::unique_ptr<TTestHost> LibHost;
  TPageControl* Pages = nullptr;
  TsCommonData* Data = nullptr;
  TacTabControlWnd* Adapter = nullptr;
};

TEST_F(Tabs, TabsOnEachSideAtTheRectanglesTheControlReports) {
  struct {
    DWORD Style;
    const char* Tab;
    const char* Body;
  } sides[] = {{0, "TABTOP", "PAGECONTROL"},
               {TCS_BOTTOM, "TABBOTTOM", "PAGECONTROLBOTTOM"},
               {TCS_VERTICAL | TCS_MULTILINE, "TABLEFT", "PAGECONTROLLEFT"},
               {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "TABRIGHT", "PAGECONTROLRIGHT"}};
  // Tab 1 is active, tab 2 under the real pointer (hot), tab 0 plain.
  const int states[] = {0, 2, 1};
  for (const auto& side : sides) {
    SCOPED_TRACE(side.Tab);
    HWND tab = Make(WC_TABCONTROLA, side.Style, 10, 10, 320, 320);
    AddTabs(tab, 3);
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    Adapter = Create<TacTabControlWnd>(tab, nullptr, Manager, "PAGECONTROL", true);
    RECT item{};
    SendMessageA(tab, TCM_GETITEMRECT, 2, LPARAM(&item));
    POINT over{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(tab, &over);
    ASSERT_TRUE(MoveMouseTo(over));
    flush_events(40, 1000);
    EXPECT_EQ(2, Adapter->HotTab);
    const Capture c = CaptureScreen(tab);
    TRect active, body;
    Adapter->TabRect(1, true, active);
    Adapter->BodyRect(body);
    for (int i = 0; i < 3; ++i) {
      TRect r;
      Adapter->TabRect(i, i == 1, r);
      ASSERT_FALSE(r.IsEmpty()) << i;
      // A corner of the tab's frame that neither the active tab nor the body covers.
      const TPoint corners[] = {
          {r.Left + 2, r.Top + 2}, {r.Right - 3, r.Top + 2}, {r.Left + 2, r.Bottom - 3}, {r.Right - 3, r.Bottom - 3}};
      const TPoint* probe = nullptr;
      for (const TPoint& p : corners)
        if (i == 1 || (!active.Contains(p) && !body.Contains(p))) {
          probe = &p;
          break;
        }
      ASSERT_TRUE(probe) << i;
      EXPECT_EQ(Frame(side.Tab, "BORDERSMASK", states[i]), c.Pixel(probe->X, probe->Y)) << i;
    }
    // The body's corner away from the tabs.
    const bool right = side.Tab == std::string("TABLEFT");
    const bool bottom = side.Tab != std::string("TABBOTTOM");
    EXPECT_EQ(Frame(side.Body, "BORDERSMASK", 0),
              c.Pixel(right ? body.Right - 3 : body.Left + 2, bottom ? body.Bottom - 3 : body.Top + 2));
    FreeAndNil(Adapter);
    DestroyWindow(tab);
  }
  // Without tabs the whole window is a "CHECKBOX".
  HWND empty = Make(WC_TABCONTROLA, 0, 10, 10, 200, 120);
  Adapter = Create<TacTabControlWnd>(empty, nullptr, Manager, "PAGECONTROL", true);
  flush_events(40, 1000);
  const Capture c = CaptureScreen(empty);
  EXPECT_EQ(Frame("CHECKBOX", "BORDERSMASK", 0), c.Pixel(2, 2));
  EXPECT_EQ(Frame("CHECKBOX", "BORDERSMASK", 0), c.Pixel(c.Width() - 3, c.Height() - 3));
}

}  // namespace
}  // namespace qvtest
