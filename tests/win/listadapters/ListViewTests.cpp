// The list view adapter on a report list made with CreateWindowEx: its header's columns read back
// from the screen as the pointer moves and presses (normal, hot, pressed, sorted), the header given
// back when the skin goes and hooked again when it comes, and thumb tracking from wherever the list
// stands.
#include "tests/support/ListAdapterTestSupport.h"

namespace qvtest {
namespace {

class ListView : public ListAdapterTest {
 protected:
  void TearDown() override {
    FreeAndNil(ViewAdapter);
    ListAdapterTest::TearDown();
  }
  // A report list of Rows rows in three columns of 90 pixels, the last one right-aligned.
  void Build(int Rows = 50) {
    List = Make(WC_LISTVIEWA, LVS_REPORT, 10, 10, 320, 200, WS_EX_CLIENTEDGE);
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNA c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      c.fmt = i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
      c.cx = 90;
      std::string text = "Column " + std::to_string(i);
      c.pszText = text.data();
      SendMessageA(List, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
    }
    for (int i = 0; i < Rows; ++i) {
      std::string text = "Row " + std::to_string(i);
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = text.data();
      SendMessageA(List, LVM_INSERTITEMA, 0, LPARAM(&item));
    }
    Header = HWND(SendMessageA(List, LVM_GETHEADER, 0, 0));
    OwnHeaderProc = WNDPROC(GetWindowLongPtrA(Header, GWLP_WNDPROC));
    ViewAdapter = Create<TacListViewWnd>(List, nullptr, Manager, "EDIT", true);
    flush_events(60, 2000);
  }
  // A column's rectangle on the screen.
  RECT Column(int i) const {
    RECT r{};
    SendMessageA(Header, HDM_GETITEMRECT, WPARAM(i), LPARAM(&r));
    MapWindowPoints(Header, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // The state each column shows (the colour of its frame near its top-left corner), -1 for none.
  std::vector<int> States() const {
    std::vector<int> states;
    for (int i = 0; i < 3; ++i) {
      const RECT r = Column(i);
      const Capture c = CaptureScreenRect(RECT{r.left + 2, r.top + 2, r.left + 3, r.top + 3});
      int state = -1;
      for (int s = 0; s < 3; ++s)
        if (c.Pixel(0, 0) == Frame("COLHEADER", "BORDERSMASK", s)) state = s;
      states.push_back(state);
    }
    return states;
  }
  void SetSort(int column, int flag) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(Header, HDM_GETITEMA, WPARAM(column), LPARAM(&item));
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | flag;
    SendMessageA(Header, HDM_SETITEMA, WPARAM(column), LPARAM(&item));
    flush_events(40, 1000);
  }
  HWND List = nullptr, Header = nullptr;
  WNDPROC OwnHeaderProc = nullptr;
  TacListViewWnd* ViewAdapter = nullptr;
};

TEST_F(ListView, HeaderColumnsFollowThePointerAndShowTheirSortArrow) {
  Build();
  using S = std::vector<int>;
  EXPECT_EQ(S({0, 0, 0}), States());
  const RECT c1 = Column(1);
  const int y = (c1.top + c1.bottom) / 2;
  MouseTo((c1.left + c1.right) / 2, y);
  EXPECT_EQ(S({0, 1, 0}), States()) << "hot";
  LeftButton(true);
  EXPECT_EQ(S({0, 2, 0}), States()) << "pressed";
  LeftButton(false);
  EXPECT_EQ(S({0, 1, 0}), States()) << "released";
  // A press on the divider between two columns presses none of them.
  MouseTo(c1.left, y);
  LeftButton(true);
  const std::vector<int> onDivider = States();
  EXPECT_EQ(0, int(std::count(onDivider.begin(), onDivider.end(), 2))) << "divider";
  LeftButton(false);
  MouseTo(c1.left + 20, c1.bottom + 60);
  EXPECT_EQ(S({0, 0, 0}), States()) << "left";

  // Sort arrows: the glyph of the upper or lower scroll button, whole and inside the column, in a
  // right-aligned column as in a left-aligned one.
  for (int column : {0, 2})
    for (int flag : {HDF_SORTUP, HDF_SORTDOWN}) {
      SetSort(column, flag);
      const COLORREF glyph = Frame(flag == HDF_SORTUP ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM", "GLYPHMASK", 0);
      RECT header{};
      GetWindowRect(Header, &header);
      // The glyph's frame less its corners' key pixels.
      const int inColumn = CaptureScreenRect(Column(column)).CountColor(glyph);
      EXPECT_GE(inColumn, 7 * 5 - 10) << column << " " << flag;
      EXPECT_EQ(inColumn, CaptureScreenRect(header).CountColor(glyph)) << column << " " << flag;
      SetSort(column, 0);
    }
}

LRESULT CALLBACK OverHeader(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto prev = reinterpret_cast<WNDPROC>(GetPropA(wnd, "QvTestOver"));
  return CallWindowProcA(prev, wnd, msg, wp, lp);
}

TEST_F(ListView, HeaderGivenBackWhenTheSkinGoesAndHookedAgainWhenItComes) {
  Build();
  auto hooked = [&] { return WNDPROC(GetWindowLongPtrA(Header, GWLP_WNDPROC)) != OwnHeaderProc; };
  ASSERT_TRUE(hooked());
  EXPECT_EQ(0, States()[0]);
  // Another view and back: the header stays hooked and shows the skin again in report view.
  SendMessageA(List, LVM_SETVIEW, LV_VIEW_ICON, 0);
  flush_events(40, 1000);
  EXPECT_TRUE(hooked());
  EXPECT_EQ(3, SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
  SendMessageA(List, LVM_SETVIEW, LV_VIEW_DETAILS, 0);
  flush_events(40, 1000);
  EXPECT_TRUE(hooked());
  EXPECT_EQ(0, States()[0]);
  for (int round = 0; round < 2; ++round) {
    Manager->SetActive(false);
    flush_events(40, 1000);
    EXPECT_FALSE(hooked()) << round;
    EXPECT_EQ(-1, States()[0]) << round << ": the header paints itself";
    Manager->SetActive(true);
    flush_events(40, 1000);
    EXPECT_TRUE(hooked()) << round;
    EXPECT_EQ(0, States()[0]) << round;
  }
  // A procedure put over the adapter's: the skin going leaves the chain whole, the header goes on
  // working, and the skin coming back paints it again.
  SetPropA(Header, "QvTestOver", HANDLE(SetWindowLongPtrA(Header, GWLP_WNDPROC, LONG_PTR(OverHeader))));
  Manager->SetActive(false);
  flush_events(40, 1000);
  EXPECT_EQ(WNDPROC(OverHeader), WNDPROC(GetWindowLongPtrA(Header, GWLP_WNDPROC)));
  EXPECT_EQ(3, SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(-1, States()[0]);
  Manager->SetActive(true);
  flush_events(40, 1000);
  EXPECT_EQ(0, States()[0]);
  FreeAndNil(ViewAdapter);
  flush_events(40, 1000);
  EXPECT_EQ(-1, States()[0]);
  EXPECT_EQ(3, SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
  DestroyWindow(List);
  RemovePropA(Header, "QvTestOver");
}

TEST_F(ListView, ThumbTrackingScrollsFromWhereTheListStands) {
  Build(300);
  const int perPage = int(SendMessageA(List, LVM_GETCOUNTPERPAGE, 0, 0));
  auto top = [&] { return int(SendMessageA(List, LVM_GETTOPINDEX, 0, 0)); };
  // Told by someone else than the adapter's own drag (no drag under way).
  for (int pos : {50, 20, 120, 0}) {
    SendMessageA(List, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
    EXPECT_EQ(pos, top());
  }
  // Dragged with the mouse to the end of the bar, and back to the start.
  TRect bar;
  GetVertBarRect(ViewAdapter, List, bar);
  const int x = (bar.Left + bar.Right) / 2;
  MouseTo(x, bar.Top + 16 + 4);
  LeftButton(true);
  MouseTo(x, bar.Bottom + 40);
  EXPECT_EQ(300 - perPage, top());
  MouseTo(x, bar.Top - 40);
  EXPECT_EQ(0, top());
  LeftButton(false);
  EXPECT_EQ(0, top());
}

}  // namespace
}  // namespace qvtest
