// A thousand cycles of attaching an adapter, painting the window in the skin and freeing the
// adapter leave the process's GDI objects where they were, for every adapter class on its window.
#include "tests/support/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"
#include "classlib/Grids.h"

namespace qvtest {
namespace {

enum class TKind {
  ListView,
  TreeView,
  ToolBar,
  StatusBar,
  TabControl,
  LibListView,
  LibTreeView,
  Grid,
  LibToolBar,
  LibStatusBar,
  LibPageControl
};

std::string KindName(const testing::TestParamInfo<TKind>& info) {
  static const char* names[] = {"ListView",    "TreeView", "ToolBar",    "StatusBar",    "TabControl",    "LibListView",
                                "LibTreeView", "Grid",     "LibToolBar", "LibStatusBar", "LibPageControl"};
  return names[int(info.param)];
}

class AttachCycles : public ListAdapterTest, public testing::WithParamInterface<TKind> {
 protected:
  void FreeControls() override {
    if (Control) Control->Free();
    Control = nullptr;
  }
  HWND Build() {
    switch (GetParam()) {
      case TKind::ListView: {
        HWND lv = Make(WC_LISTVIEWA, LVS_REPORT, 10, 10, 300, 200, WS_EX_CLIENTEDGE);
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.cx = 100;
        c.pszText = const_cast<char*>("Name");
        SendMessageA(lv, LVM_INSERTCOLUMNA, 0, LPARAM(&c));
        HWND header = HWND(SendMessageA(lv, LVM_GETHEADER, 0, 0));
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_STRING | HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, 0, LPARAM(&item));
        for (int i = 0; i < 40; ++i) {
          LVITEMA it{};
          it.mask = LVIF_TEXT;
          it.iItem = i;
          it.pszText = const_cast<char*>("Row");
          SendMessageA(lv, LVM_INSERTITEMA, 0, LPARAM(&it));
        }
        return lv;
      }
      case TKind::TreeView: {
        HWND tv = Make(WC_TREEVIEWA, TVS_HASLINES, 10, 10, 200, 200, WS_EX_CLIENTEDGE);
        for (int i = 0; i < 40; ++i) {
          TVINSERTSTRUCTA ins{};
          ins.hParent = TVI_ROOT;
          ins.hInsertAfter = TVI_LAST;
          ins.item.mask = TVIF_TEXT;
          ins.item.pszText = const_cast<char*>("Node");
          SendMessageA(tv, TVM_INSERTITEMA, 0, LPARAM(&ins));
        }
        return tv;
      }
      case TKind::ToolBar: {
        HWND tb = Make(TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 10, 10, 300, 40, WS_EX_CLIENTEDGE);
        SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON b[2] = {{-2, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, INT_PTR("One")},
                         {-2, 2, 0, BTNS_BUTTON, {}, 0, INT_PTR("Two")}};
        SendMessageA(tb, TB_ADDBUTTONSA, 2, LPARAM(b));
        return tb;
      }
      case TKind::StatusBar: {
        HWND sb = Make(STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | SBARS_SIZEGRIP, 10, 10, 300, 24);
        const int edges[] = {100, -1};
        SendMessageA(sb, SB_SETPARTS, 2, LPARAM(edges));
        SendMessageA(sb, SB_SETTEXTA, 0, LPARAM("Ready"));
        return sb;
      }
      case TKind::TabControl: {
        // More tabs than fit: the tab row shows its up-down, which gets an adapter of its own.
        HWND tab = Make(WC_TABCONTROLA, 0, 10, 10, 200, 120);
        for (int i = 0; i < 8; ++i) {
          TCITEMA item{};
          item.mask = TCIF_TEXT;
          item.pszText = const_cast<char*>("A long tab");
          SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i), LPARAM(&item));
        }
        SendMessageA(tab, TCM_SETCURSEL, 1, 0);
        return tab;
      }
      default: break;
    }
    LibHost = std::make_unique<TTestHost>(340, 240);
    TWinControl* parent = LibHost->Control();
    switch (GetParam()) {
      case TKind::LibListView: Control = Create<TListView>(parent); break;
      case TKind::LibTreeView: Control = Create<TTreeView>(parent); break;
      case TKind::Grid: Control = Create<TStringGrid>(parent); break;
      case TKind::LibToolBar: {
        auto* bar = Create<TToolBar>(parent);
        bar->SetShowCaptions(true);
        Control = bar;
        break;
      }
      case TKind::LibPageControl: {
        // Pages whose windows the page adapters take, more tabs than fit (an up-down with its own).
        auto* pages = Create<TPageControl>(parent);
        pages->SetParent(parent);
        for (int i = 0; i < 8; ++i) {
          auto* page = Create<TTabSheet>(pages);
          page->SetPageControl(pages);
          page->SetCaption("A long page caption");
        }
        for (int i = 2; i >= 0; --i) pages->SetActivePageIndex(i);
        Control = pages;
        break;
      }
      default: {
        auto* bar = Create<TStatusBar>(parent);
        bar->Panels()->Add()->SetText("Ready");
        Control = bar;
        break;
      }
    }
    Control->SetParent(parent);
    Control->SetAlign(alNone);
    Control->SetBounds(10, 10, 300, 200);
    if (auto* bar = dynamic_cast<TToolBar*>(Control)) {
      auto* button = Create<TToolButton>(parent);
      button->SetCaption("One");
      button->SetParent(bar);
    }
    return static_cast<TWinControl*>(Control)->Handle();
  }
  TacMainWnd* Attach(HWND wnd, TsCommonData* sd) {
    switch (GetParam()) {
      case TKind::ListView:
      case TKind::LibListView: return Create<TacListViewWnd>(wnd, sd, Manager, "EDIT", true);
      case TKind::TreeView:
      case TKind::LibTreeView: return Create<TacTreeViewWnd>(wnd, sd, Manager, "EDIT", true);
      case TKind::ToolBar: return Create<TacToolBarWnd>(wnd, sd, Manager, "TOOLBAR", true);
      case TKind::StatusBar:
      case TKind::LibStatusBar: return Create<TacStatusBarWnd>(wnd, sd, Manager, "STATUSBAR", true);
      case TKind::Grid: return Create<TacGridWnd>(wnd, sd, Manager, "EDIT", true);
      case TKind::LibToolBar: return Create<TacToolBarVCLWnd>(wnd, sd, Manager, "TOOLBAR", true);
      case TKind::TabControl: return Create<TacTabControlWnd>(wnd, sd, Manager, "PAGECONTROL", true);
      case TKind::LibPageControl: return Create<TacPageControlWnd>(wnd, sd, Manager, "PAGECONTROL", true);
    }
    return nullptr;
  }
  // One cycle: attached, painted whole on the screen (Paint), freed with the skin state it was given.
  void Cycle(HWND wnd, bool Paint) {
    TsCommonData* sd = Control ? new TsCommonData(Control, false) : nullptr;
    TacMainWnd* a = Attach(wnd, sd);
    if (Paint)
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    a->Free();
    delete sd;
  }
  TControl* Control = nullptr;
};

TEST_P(AttachCycles, ThousandCyclesLeaveTheGdiObjectsAsTheyWere) {
  HWND wnd = Build();
  flush_events(40, 1000);
  Cycle(wnd, true);  // the first one makes what stays for the process (fonts, the skin's pictures)
  flush_events(40, 1000);
  const int before = GdiHandleCount();
  for (int i = 0; i < 1000; ++i) Cycle(wnd, i % 4 == 0);
  flush_events(40, 1000);
  EXPECT_EQ(before, GdiHandleCount());
}

INSTANTIATE_TEST_SUITE_P(Adapters, AttachCycles,
                         testing::Values(TKind::ListView, TKind::TreeView, TKind::ToolBar, TKind::StatusBar,
                                         TKind::TabControl, TKind::LibListView, TKind::LibTreeView, TKind::Grid,
                                         TKind::LibToolBar, TKind::LibStatusBar, TKind::LibPageControl),
                         KindName);

}  // namespace
}  // namespace qvtest
