// Common controls as a program sees them: page changes that OnChanging may refuse, pages and tabs
// kept in step, status bar parts, track bar and up-down positions and events, tool bar buttons
// and custom drawing, list view columns and tree nodes across window recreation.
#include <gtest/gtest.h>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "tests/support/FormFixture.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class ComCtrls : public FormTest {};

namespace {

struct PageEvents {
  bool Allow = true;
  std::vector<std::string> Log;
  void Changing(TObject*, bool& allow) {
    Log.push_back("changing");
    allow = Allow;
  }
  void Change(TObject*) { Log.push_back("change"); }
};

void ClickTab(TCustomTabControl* tabs, int index) {
  RECT r{};
  SendMessageA(tabs->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
  flush_events();
}

// Closes the popup menu window as soon as it shows (or gives up after two seconds).
HWND gDropMenu = nullptr;
int gDropTicks = 0;
void CALLBACK CloseDropMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowA("#32768", nullptr);
  if ((w && IsWindowVisible(w)) || ++gDropTicks > 40) {
    gDropMenu = w;
    KillTimer(nullptr, id);
    EndMenu();
  }
}

}  // namespace

TEST_F(ComCtrls, PageControlChangesPagesUnlessOnChangingRefuses) {
  auto* pc = Create<TPageControl>(Form);
  pc->SetParent(Form);
  pc->SetBounds(0, 0, 300, 200);
  TTabSheet* sheets[3];
  for (int i = 0; i < 3; ++i) {
    sheets[i] = Create<TTabSheet>(Form);
    sheets[i]->SetCaption("Page " + std::to_string(i));
    sheets[i]->SetPageControl(pc);
  }
  flush_events();
  ASSERT_EQ(3, pc->PageCount());
  EXPECT_EQ(sheets[0], pc->ActivePage());
  EXPECT_EQ(3, SendMessageA(pc->Handle(), TCM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(pc->DisplayRect(), sheets[0]->BoundsRect());

  PageEvents ev;
  pc->OnChanging = MakeMethod<&PageEvents::Changing>(&ev);
  pc->OnChange = MakeMethod<&PageEvents::Change>(&ev);
  ev.Allow = false;
  ClickTab(pc, 2);
  EXPECT_EQ((std::vector<std::string>{"changing"}), ev.Log);
  EXPECT_EQ(sheets[0], pc->ActivePage());
  EXPECT_EQ(0, pc->TabIndex());
  EXPECT_TRUE(sheets[0]->Visible());

  ev.Allow = true;
  ev.Log.clear();
  ClickTab(pc, 2);
  EXPECT_EQ((std::vector<std::string>{"changing", "change"}), ev.Log);
  EXPECT_EQ(sheets[2], pc->ActivePage());
  EXPECT_TRUE(sheets[2]->Visible());
  EXPECT_FALSE(sheets[0]->Visible());

  // Hiding a tab renumbers the tabs after it; pages keep their order.
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(2, pc->Tabs()->Count());
  EXPECT_EQ(1, sheets[2]->TabIndex());
  EXPECT_EQ(-1, sheets[1]->TabIndex());
  EXPECT_EQ(2, sheets[2]->PageIndex());
  EXPECT_EQ(1, pc->TabIndex());
  sheets[2]->SetCaption("Renamed");
  EXPECT_EQ("Renamed", pc->Tabs()->Strings(1));

  // A new window keeps the tabs and the selection; freeing the active page selects the next.
  pc->SetTabPosition(tpBottom);
  pc->HandleNeeded();
  EXPECT_NE(0, GetWindowLongPtrA(pc->Handle(), GWL_STYLE) & TCS_BOTTOM);
  EXPECT_EQ(1, pc->TabIndex());
  sheets[2]->Free();
  EXPECT_EQ(sheets[0], pc->ActivePage());
  EXPECT_EQ(2, pc->PageCount());
}

TEST_F(ComCtrls, StatusBarPanelsBecomeParts) {
  auto* sb = Create<TStatusBar>(Form);
  sb->SetParent(Form);
  auto* p0 = sb->Panels()->Add();
  p0->SetText("left");
  p0->SetWidth(80);
  auto* p1 = sb->Panels()->Add();
  p1->SetText("mid");
  p1->SetAlignment(taCenter);
  p1->SetWidth(60);
  auto* p2 = sb->Panels()->Add();
  p2->SetStyle(psOwnerDraw);
  int edges[4] = {};
  ASSERT_EQ(3, SendMessageA(sb->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  EXPECT_EQ(80, edges[0]);
  EXPECT_EQ(140, edges[1]);
  EXPECT_EQ(-1, edges[2]);
  char text[32] = {};
  SendMessageA(sb->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ("left", text);

  struct Draws {
    int Count = 0;
    TStatusPanel* Last = nullptr;
    void Draw(TStatusBar*, TStatusPanel* p, const TRect&) {
      ++Count;
      Last = p;
    }
  } d;
  sb->OnDrawPanel = MakeMethod<&Draws::Draw>(&d);
  InvalidateRect(sb->Handle(), nullptr, TRUE);
  UpdateWindow(sb->Handle());
  flush_events();
  EXPECT_GE(d.Count, 1);
  EXPECT_EQ(p2, d.Last);

  sb->SetSimplePanel(true);
  sb->SetSimpleText("simple");
  EXPECT_TRUE(SendMessageA(sb->Handle(), SB_ISSIMPLE, 0, 0));
}

TEST_F(ComCtrls, TrackBarAndUpDownPositionsAndEvents) {
  auto* tb = Create<TTrackBar>(Form);
  tb->SetParent(Form);
  tb->SetMax(20);
  tb->SetPosition(5);
  int changes = 0;
  tb->OnChange = TNotifyEvent(&changes, [](void* d, TObject*) { ++*static_cast<int*>(d); });
  EXPECT_EQ(5, SendMessageA(tb->Handle(), TBM_GETPOS, 0, 0));
  SendMessageA(tb->Handle(), WM_KEYDOWN, VK_RIGHT, 1);
  SendMessageA(tb->Handle(), WM_KEYUP, VK_RIGHT, 0xC0000001);
  EXPECT_EQ(6, tb->Position());
  EXPECT_GE(changes, 1);
  tb->SetOrientation(trVertical);
  tb->HandleNeeded();
  EXPECT_NE(0, GetWindowLongPtrA(tb->Handle(), GWL_STYLE) & TBS_VERT);
  EXPECT_EQ(6, tb->Position());
  EXPECT_EQ(20, SendMessageA(tb->Handle(), TBM_GETRANGEMAX, 0, 0));
  tb->SetPosition(99);
  EXPECT_EQ(20, tb->Position());

  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetBounds(100, 100, 60, 22);
  auto* ud = Create<TUpDown>(Form);
  ud->SetParent(Form);
  ud->SetMax(10);
  ud->SetPosition(3);
  ud->SetAssociate(edit);
  EXPECT_EQ(reinterpret_cast<LRESULT>(edit->Handle()), SendMessageA(ud->Handle(), UDM_GETBUDDY, 0, 0));
  EXPECT_EQ("3", edit->Text());
  struct UdEvents {
    bool Allow = false;
    std::vector<std::string> Log;
    void Changing(TObject*, bool& a, short v, TUpDownDirection d) {
      Log.push_back("ex " + std::to_string(v) + (d == updUp ? " up" : " down"));
      a = a && Allow;
    }
    void Click(TObject*, TUDBtnType b) { Log.push_back(b == btNext ? "next" : "prev"); }
  } ue;
  ud->OnChangingEx = MakeMethod<&UdEvents::Changing>(&ue);
  ud->OnClick = MakeMethod<&UdEvents::Click>(&ue);
  // The upper arrow of a vertical up-down.
  RECT r{};
  GetClientRect(ud->Handle(), &r);
  const LPARAM up = MAKELPARAM(r.right / 2, r.bottom / 4);
  SendMessageA(ud->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, up);
  SendMessageA(ud->Handle(), WM_LBUTTONUP, 0, up);
  flush_events();
  EXPECT_EQ(3, ud->Position());
  ue.Allow = true;
  SendMessageA(ud->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, up);
  SendMessageA(ud->Handle(), WM_LBUTTONUP, 0, up);
  flush_events();
  EXPECT_EQ(4, ud->Position());
  EXPECT_EQ("4", edit->Text());
  EXPECT_EQ((std::vector<std::string>{"ex 4 up", "ex 4 up", "next"}), ue.Log);
  edit->Free();
  EXPECT_EQ(nullptr, ud->Associate());
}

TEST_F(ComCtrls, ToolBarButtonsClickAndDrawThroughTheirEvents) {
  auto* bar = Create<TToolBar>(Form);
  bar->SetParent(Form);
  bar->SetShowCaptions(true);
  auto* plain = Create<TToolButton>(Form);
  plain->SetCaption("Plain");
  plain->SetParent(bar);
  auto* check = Create<TToolButton>(Form);
  check->SetCaption("Check");
  check->SetStyle(tbsCheck);
  check->SetParent(bar);
  auto* sep = Create<TToolButton>(Form);
  sep->SetStyle(tbsSeparator);
  sep->SetParent(bar);
  ASSERT_EQ(3, bar->ButtonCount());
  EXPECT_EQ(3, SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0));
  TBBUTTON tb{};
  SendMessageA(bar->Handle(), TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&tb));
  EXPECT_EQ(reinterpret_cast<DWORD_PTR>(check), tb.dwData);
  EXPECT_NE(0, tb.fsStyle & BTNS_CHECK);

  struct Events {
    std::vector<std::string> Log;
    int BarDraws = 0, ButtonDraws = 0;
    void Click(TObject* s) { Log.push_back(static_cast<TControl*>(s)->Caption()); }
    void Bar(TToolBar*, const TRect&, TCustomDrawStage, bool&) { ++BarDraws; }
    void Button(TToolBar*, TToolButton*, TCustomDrawState, TCustomDrawStage, TTBCustomDrawFlags&, bool&) {
      ++ButtonDraws;
    }
  } ev;
  plain->OnClick = check->OnClick = MakeMethod<&Events::Click>(&ev);
  SendMessageA(bar->Handle(), TB_CHECKBUTTON, 2, TRUE);
  SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(bar->Handle()));
  SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ((std::vector<std::string>{"Check", "Plain"}), ev.Log);
  EXPECT_TRUE(check->Down());

  bar->OnAdvancedCustomDraw = MakeMethod<&Events::Bar>(&ev);
  bar->OnAdvancedCustomDrawButton = MakeMethod<&Events::Button>(&ev);
  InvalidateRect(bar->Handle(), nullptr, TRUE);
  UpdateWindow(bar->Handle());
  flush_events();
  EXPECT_GE(ev.BarDraws, 1);
  EXPECT_GE(ev.ButtonDraws, 2);

  // Buttons survive a new window; a freed button leaves the bar.
  bar->RecreateWnd();
  bar->HandleNeeded();
  EXPECT_EQ(3, SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0));
  EXPECT_TRUE(check->Down());
  sep->Free();
  EXPECT_EQ(2, SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0));

  // A drop-down button shows its menu below itself; the bar hears when the menu has closed.
  auto* menu = Create<TPopupMenu>(Form);
  auto* item = Create<TMenuItem>(Form);
  item->SetCaption("Entry");
  menu->Items()->Add(item);
  auto* drop = Create<TToolButton>(Form);
  drop->SetCaption("Drop");
  drop->SetStyle(tbsDropDown);
  drop->SetDropdownMenu(menu);
  drop->SetParent(bar);
  flush_events();
  NMTOOLBARA nm{};
  nm.hdr.hwndFrom = bar->Handle();
  nm.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
  nm.iItem = drop->Index() + 1;
  gDropMenu = nullptr;
  gDropTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseDropMenu);
  SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  KillTimer(nullptr, timer);
  EXPECT_NE(nullptr, gDropMenu);
  EXPECT_EQ(drop, menu->PopupComponent());
  const TRect r = bar->ButtonRect(drop->Index());
  EXPECT_EQ(bar->ClientToScreen(TPoint{r.Left, r.Bottom}), menu->PopupPoint());
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, bar->Handle(), CN_DROPDOWNCLOSED, CN_DROPDOWNCLOSED, PM_NOREMOVE));
  drop->SetDropdownMenu(nullptr);
  menu->Free();
}

TEST_F(ComCtrls, ListViewColumnsAndTreeNodesSurviveRecreation) {
  auto* lv = Create<TListView>(Form);
  lv->SetParent(Form);
  lv->SetViewStyle(vsReport);
  auto* c0 = lv->Columns()->Add();
  c0->SetCaption("Name");
  c0->SetImageIndex(2);
  c0->SetWidth(90);
  lv->Columns()->Add()->SetCaption("Size");
  lv->AddItem("file.txt", 1);
  EXPECT_EQ(LVS_REPORT, GetWindowLongPtrA(lv->Handle(), GWL_STYLE) & LVS_TYPEMASK);
  lv->RecreateWnd();
  lv->HandleNeeded();
  LVCOLUMNA col{};
  char buf[32] = {};
  col.mask = LVCF_TEXT | LVCF_IMAGE | LVCF_WIDTH;
  col.pszText = buf;
  col.cchTextMax = sizeof buf;
  ASSERT_TRUE(SendMessageA(lv->Handle(), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&col)));
  EXPECT_STREQ("Name", buf);
  EXPECT_EQ(2, col.iImage);
  EXPECT_EQ(90, col.cx);
  EXPECT_EQ(1, lv->ItemCount());
  EXPECT_EQ("file.txt", lv->ItemCaption(0));

  auto* tv = Create<TTreeView>(Form);
  tv->SetParent(Form);
  tv->SetTop(160);
  HTREEITEM root = tv->AddNode(nullptr, "root");
  tv->AddNode(root, "child");
  tv->AddNode(nullptr, "second");
  tv->RecreateWnd();
  tv->HandleNeeded();
  EXPECT_EQ(3, tv->NodeCount());
  HTREEITEM r = reinterpret_cast<HTREEITEM>(SendMessageA(tv->Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
  HTREEITEM c =
      reinterpret_cast<HTREEITEM>(SendMessageA(tv->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(r)));
  EXPECT_EQ("root", tv->NodeText(r));
  EXPECT_EQ("child", tv->NodeText(c));
}

TEST_F(ComCtrls, TrackBarUpDownAndStatusBarKeepTheirStateInANewWindow) {
  auto* tb = Create<TTrackBar>(Form);
  tb->SetParent(Form);
  tb->SetMin(-5);
  tb->SetMax(30);
  tb->SetPosition(12);
  tb->SetThumbLength(15);
  tb->SetTickStyle(tsNone);  // a new window
  auto style = [](TWinControl* c) { return static_cast<DWORD>(GetWindowLongPtrA(c->Handle(), GWL_STYLE)); };
  EXPECT_NE(0u, style(tb) & TBS_NOTICKS);
  tb->SetOrientation(trVertical);
  tb->HandleNeeded();
  EXPECT_NE(0u, style(tb) & TBS_VERT);
  EXPECT_EQ(-5, SendMessageA(tb->Handle(), TBM_GETRANGEMIN, 0, 0));
  EXPECT_EQ(30, SendMessageA(tb->Handle(), TBM_GETRANGEMAX, 0, 0));
  EXPECT_EQ(12, SendMessageA(tb->Handle(), TBM_GETPOS, 0, 0));
  EXPECT_EQ(15, SendMessageA(tb->Handle(), TBM_GETTHUMBLENGTH, 0, 0));

  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetTop(100);
  auto* ud = Create<TUpDown>(Form);
  ud->SetParent(Form);
  ud->SetAssociate(edit);
  ud->SetMax(50);
  ud->SetPosition(7);
  ud->SetWrap(true);  // a new window
  ud->HandleNeeded();
  EXPECT_NE(0u, style(ud) & UDS_WRAP);
  int lo = -1, hi = -1;
  SendMessageA(ud->Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  EXPECT_EQ(0, lo);
  EXPECT_EQ(50, hi);
  EXPECT_EQ(7, ud->Position());
  EXPECT_EQ(edit->Handle(), reinterpret_cast<HWND>(SendMessageA(ud->Handle(), UDM_GETBUDDY, 0, 0)));

  auto* sb = Create<TStatusBar>(Form);
  sb->SetParent(Form);
  sb->Panels()->Add()->SetText("first");
  sb->Panels()->Add()->SetText("second");
  sb->SetSizeGrip(false);  // a new window
  sb->HandleNeeded();
  EXPECT_EQ(0u, style(sb) & SBARS_SIZEGRIP);
  EXPECT_EQ(2, SendMessageA(sb->Handle(), SB_GETPARTS, 0, 0));
  char text[32] = {};
  SendMessageA(sb->Handle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ("second", text);
}
