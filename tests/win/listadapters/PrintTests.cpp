// Adapted windows printed (WM_PRINT with frame, client area and children) look as the screen shows
// them: the skinned frame and bars, the list view's skinned header, the bars' panels and buttons.
#include "tests/support/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"

namespace qvtest {
namespace {

enum class TKind { ListView, TreeView, ToolBar, StatusBar, LibToolBar };

std::string KindName(const testing::TestParamInfo<TKind>& info) {
  static const char* names[] = {"ListView", "TreeView", "ToolBar", "StatusBar", "LibToolBar"};
  return names[int(info.param)];
}

class Print : public ListAdapterTest, public testing::WithParamInterface<TKind> {
 protected:
  void FreeControls() override {
    if (Bar) Bar->Free();
    Bar = nullptr;
  }
  // The window with content of every kind it shows (rows, a sorted column, nodes, buttons of each
  // state, panels with texts), scrolled off its start.
  HWND Build() {
    switch (GetParam()) {
      case TKind::ListView: {
        HWND lv = Make(WC_LISTVIEWA, LVS_REPORT, 10, 10, 300, 200, WS_EX_CLIENTEDGE);
        for (int i = 0; i < 2; ++i) {
          LVCOLUMNA c{};
          c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
          c.fmt = i ? LVCFMT_RIGHT : LVCFMT_LEFT;
          c.cx = 120;
          c.pszText = const_cast<char*>(i ? "Size" : "Name");
          SendMessageA(lv, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
        }
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_STRING | HDF_SORTUP;
        SendMessageA(HWND(SendMessageA(lv, LVM_GETHEADER, 0, 0)), HDM_SETITEMA, 0, LPARAM(&item));
        for (int i = 0; i < 60; ++i) {
          std::string text = "Row " + std::to_string(i);
          LVITEMA it{};
          it.mask = LVIF_TEXT;
          it.iItem = i;
          it.pszText = text.data();
          SendMessageA(lv, LVM_INSERTITEMA, 0, LPARAM(&it));
        }
        SendMessageA(lv, LVM_SCROLL, 0, 200);
        return lv;
      }
      case TKind::TreeView: {
        HWND tv = Make(WC_TREEVIEWA, TVS_HASLINES | TVS_HASBUTTONS, 10, 10, 200, 200, WS_EX_CLIENTEDGE);
        HTREEITEM last = nullptr;
        for (int i = 0; i < 40; ++i) {
          std::string text = "Node " + std::to_string(i);
          TVINSERTSTRUCTA ins{};
          ins.hParent = i % 4 && last ? last : TVI_ROOT;
          ins.hInsertAfter = TVI_LAST;
          ins.item.mask = TVIF_TEXT;
          ins.item.pszText = text.data();
          HTREEITEM node = HTREEITEM(SendMessageA(tv, TVM_INSERTITEMA, 0, LPARAM(&ins)));
          if (i % 4 == 0) last = node;
        }
        SendMessageA(tv, WM_VSCROLL, SB_PAGEDOWN, 0);
        return tv;
      }
      case TKind::ToolBar: {
        HWND tb = Make(TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 10, 10, 300, 44,
                       WS_EX_CLIENTEDGE);
        SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON b[3] = {{-2, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, INT_PTR("One")},
                         {-2, 2, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, INT_PTR("Two")},
                         {-2, 3, 0, BTNS_BUTTON, {}, 0, INT_PTR("Three")}};
        SendMessageA(tb, TB_ADDBUTTONSA, 3, LPARAM(b));
        return tb;
      }
      case TKind::StatusBar: {
        HWND sb = Make(STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 10, 300, 24);
        const int edges[] = {100, -1};
        SendMessageA(sb, SB_SETPARTS, 2, LPARAM(edges));
        SendMessageA(sb, SB_SETTEXTA, 0, LPARAM("Ready"));
        SendMessageA(sb, SB_SETTEXTA, 1, LPARAM("Second panel"));
        return sb;
      }
      case TKind::LibToolBar: {
        LibHost = std::make_unique<TTestHost>(340, 120);
        Bar = Create<::TToolBar>(LibHost->Control());
        Bar->SetParent(LibHost->Control());
        Bar->SetAlign(alNone);
        Bar->SetBounds(10, 10, 300, 40);
        Bar->SetShowCaptions(true);
        for (int i = 0; i < 3; ++i) {
          auto* b = Create<TToolButton>(Bar);
          b->SetCaption("B" + std::to_string(i));
          b->SetStyle(i == 1 ? tbsCheck : tbsButton);
          b->SetParent(Bar);
          if (i == 1) b->SetDown(true);
          if (i == 2) b->SetEnabled(false);
        }
        Data = new TsCommonData(Bar, false);
        Data->SetSkinSection("TOOLBAR");
        return Bar->Handle();
      }
    }
    return nullptr;
  }
  TacMainWnd* Attach(HWND wnd) {
    switch (GetParam()) {
      case TKind::ListView: return Create<TacListViewWnd>(wnd, nullptr, Manager, "EDIT", true);
      case TKind::TreeView: return Create<TacTreeViewWnd>(wnd, nullptr, Manager, "EDIT", true);
      case TKind::ToolBar: return Create<TacToolBarWnd>(wnd, nullptr, Manager, "TOOLBAR", true);
      case TKind::StatusBar: return Create<TacStatusBarWnd>(wnd, nullptr, Manager, "STATUSBAR", true);
      case TKind::LibToolBar: return Create<TacToolBarVCLWnd>(wnd, Data, nullptr, "TOOLBAR", true);
    }
    return nullptr;
  }
  ::TToolBar* Bar = nullptr;
};

TEST_P(Print, AsTheScreenShowsIt) {
  HWND wnd = Build();
  Adapter = Attach(wnd);
  flush_events(40, 1000);
  MouseTo(0, 0);
  flush_events(40, 1000);
  const Capture shown = CaptureScreen(wnd);
  const Capture printed = CaptureWMPrint(wnd);
  EXPECT_EQ(0, DifferingPixels(shown, printed));
}

INSTANTIATE_TEST_SUITE_P(Windows, Print,
                         testing::Values(TKind::ListView, TKind::TreeView, TKind::ToolBar, TKind::StatusBar,
                                         TKind::LibToolBar),
                         KindName);

}  // namespace
}  // namespace qvtest
