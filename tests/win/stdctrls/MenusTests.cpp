// Menus on real menu handles: the item tree mirrored in the handles, a form's menu bar and its
// commands, popup menus that return after closing, and owner-drawn items measured and drawn
// through the items' events.
#include <gtest/gtest.h>

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "tests/support/FormFixture.h"
#include "tests/support/ProcSpy.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Menus : public FormTest {};

namespace {

struct MenuEvents {
  std::vector<std::string> Clicks;
  int Measures = 0;
  int Draws = 0;
  TOwnerDrawState LastState;
  void Click(TObject* s) { Clicks.push_back(static_cast<TMenuItem*>(s)->Caption()); }
  void Measure(TObject*, TCanvas* c, int& w, int& h) {
    ++Measures;
    EXPECT_NE(nullptr, c);
    w = 123;
    h = 31;
  }
  void Draw(TObject*, TCanvas* c, TRect r, TOwnerDrawState state) {
    ++Draws;
    LastState = state;
    c->Brush()->SetColor(clRed);
    c->FillRect(r);
  }
};

TMenuItem* NewItem(TComponent* owner, const std::string& caption) {
  auto* i = Create<TMenuItem>(owner);
  i->SetCaption(caption);
  return i;
}

std::string EntryText(HMENU m, UINT pos) {
  char buf[64] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = buf;
  info.cch = sizeof buf;
  GetMenuItemInfoA(m, pos, TRUE, &info);
  return buf;
}

UINT EntryType(HMENU m, UINT pos) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoA(m, pos, TRUE, &info);
  return info.fType;
}

UINT EntryState(HMENU m, UINT pos) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  GetMenuItemInfoA(m, pos, TRUE, &info);
  return info.fState;
}

// The popup menu window while a menu is tracked; the timer closes it.
HWND gSeenMenu = nullptr;
int gTicks = 0;
void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ++gTicks;
  HWND w = FindWindowA("#32768", nullptr);
  if ((w && IsWindowVisible(w)) || gTicks > 40) {
    gSeenMenu = w;
    KillTimer(nullptr, id);
    EndMenu();
  }
}

// Sends a message that may open a menu: true when a menu window showed (the timer closes it).
bool MenuShownBy(HWND target, UINT msg, WPARAM wParam, LPARAM lParam) {
  gSeenMenu = nullptr;
  gTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseMenuTimer);
  SendMessageA(target, msg, wParam, lParam);
  KillTimer(nullptr, timer);
  flush_events();
  return gSeenMenu != nullptr;
}

LPARAM ScreenPoint(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TEST_F(Menus, MenuTreeIsMirroredInTheHandles) {
  const long baseline = TMenuItem::LiveCount();
  auto* menu = Create<TPopupMenu>(Form);
  auto* open = NewItem(Form, "&Open");
  auto* save = NewItem(Form, "&Save");
  auto* line = NewItem(Form, "-");
  auto* quit = NewItem(Form, "E&xit");
  menu->Items()->Add(open);
  menu->Items()->Add(save);
  menu->Items()->Add(line);
  menu->Items()->Add(quit);
  save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  HMENU h = menu->Handle();
  ASSERT_EQ(4, GetMenuItemCount(h));
  EXPECT_EQ("&Save\tCtrl+S", EntryText(h, 1));
  EXPECT_NE(0u, EntryType(h, 2) & MFT_SEPARATOR);

  EXPECT_EQ(save, menu->Items()->Find("save"));
  EXPECT_EQ(menu, save->GetParentMenu());
  EXPECT_EQ(menu->Items(), save->Parent());
  EXPECT_THROW(menu->Items()->Add(save), EMenuError);
  auto* stray = NewItem(Form, "x");
  EXPECT_THROW(menu->Items()->Insert(9, stray), EMenuError);
  stray->Free();

  // Property changes reach the handle; hidden items leave it.
  save->SetChecked(true);
  open->SetEnabled(false);
  EXPECT_NE(0u, EntryState(h, 1) & MFS_CHECKED);
  EXPECT_NE(0u, EntryState(h, 0) & MFS_GRAYED);
  line->SetVisible(false);
  EXPECT_EQ(3, GetMenuItemCount(h));
  EXPECT_EQ("E&xit", EntryText(h, 2));
  menu->Items()->Delete(0);
  EXPECT_EQ(nullptr, open->Parent());
  EXPECT_EQ(2, GetMenuItemCount(h));

  // Sub-items make a submenu; owner drawing marks every entry.
  auto* sub = NewItem(Form, "Recent");
  quit->Add(sub);
  EXPECT_EQ(quit->Handle(), GetSubMenu(h, 1));
  menu->SetOwnerDraw(true);
  EXPECT_NE(0u, EntryType(h, 0) & MFT_OWNERDRAW);
  EXPECT_NE(0u, EntryType(quit->Handle(), 0) & MFT_OWNERDRAW);

  // Freeing an item takes it out of its parent; freeing the menu frees its items and handles.
  sub->Free();
  EXPECT_EQ(0, quit->Count());
  open->Free();
  const int owned = Form->ComponentCount();
  HMENU quitMenu = quit->Handle();
  menu->Free();
  EXPECT_EQ(baseline, TMenuItem::LiveCount());
  EXPECT_EQ(owned - 4, Form->ComponentCount());  // the menu and its three items
  EXPECT_FALSE(IsMenu(h));
  EXPECT_FALSE(IsMenu(quitMenu));
}

// A letter typed in an open owner-drawn menu (the system finds no text in such items to match it):
// the item whose caption marks it is carried out, the first of several selected; a disabled item,
// a doubled "&" and other letters answer nothing.
TEST_F(Menus, OwnerDrawnItemsAnswerTheLettersOfTheirCaptions) {
  auto* menu = Create<TPopupMenu>(Form);
  menu->SetOwnerDraw(true);
  for (const char* caption : {"&Open", "&Copy", "&Cut", "-", "Dis&abled", "A&&B"})
    menu->Items()->Add(NewItem(Form, caption));
  menu->Items()->Items(4)->SetEnabled(false);
  const struct {
    char Key;
    LRESULT Answer;
  } rows[] = {{'o', MAKELRESULT(0, MNC_EXECUTE)}, {'C', MAKELRESULT(1, MNC_SELECT)}, {'a', 0}, {'b', 0}, {'z', 0}};
  for (const auto& r : rows)
    for (HWND wnd : {PopupListWindow(), Form->Handle()})
      EXPECT_EQ(r.Answer, SendMessageA(wnd, WM_MENUCHAR, MAKEWPARAM(r.Key, MF_POPUP), LPARAM(menu->Handle())))
          << r.Key << (wnd == Form->Handle() ? " to the form" : "");
  menu->Free();
}

TEST_F(Menus, RadioItemsUncheckTheirGroup) {
  auto* menu = Create<TPopupMenu>(Form);
  TMenuItem* r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = NewItem(Form, "R" + std::to_string(i));
    r[i]->SetRadioItem(true);
    r[i]->SetGroupIndex(i < 2 ? 1 : 2);
    menu->Items()->Add(r[i]);
  }
  r[0]->SetChecked(true);
  r[2]->SetChecked(true);
  r[1]->SetChecked(true);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_TRUE(r[1]->Checked());
  EXPECT_TRUE(r[2]->Checked());
  EXPECT_NE(0u, EntryType(menu->Handle(), 0) & MFT_RADIOCHECK);
}

TEST_F(Menus, MainMenuBecomesTheFormsMenuBarAndDispatchesCommands) {
  auto* mm = Create<TMainMenu>(Form);
  auto* file = NewItem(Form, "&File");
  auto* open = NewItem(Form, "&Open");
  mm->Items()->Add(file);
  file->Add(open);
  MenuEvents ev;
  open->OnClick = MakeMethod<&MenuEvents::Click>(&ev);
  Form->SetMenu(mm);
  flush_events();
  ASSERT_EQ(mm->Handle(), GetMenu(Form->Handle()));
  EXPECT_EQ(file->Handle(), GetSubMenu(GetMenu(Form->Handle()), 0));
  SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(std::vector<std::string>{"&Open"}, ev.Clicks);
  file->SetCaption("&Document");
  EXPECT_EQ("&Document", EntryText(GetMenu(Form->Handle()), 0));
  // The bar survives a new window.
  Form->RecreateWnd();
  Form->HandleNeeded();
  flush_events();
  EXPECT_EQ(mm->Handle(), GetMenu(Form->Handle()));
  EXPECT_EQ(1, GetMenuItemCount(GetSubMenu(GetMenu(Form->Handle()), 0)));
  // A popup menu shown for the form (a window menu) leaves the bar where it is.
  auto* popup = Create<TPopupMenu>(Form);
  popup->Items()->Add(NewItem(Form, "&Restore"));
  popup->SetWindowHandle(Form->Handle());
  EXPECT_EQ(mm->Handle(), GetMenu(Form->Handle()));
  Form->SetMenu(nullptr);
}

TEST_F(Menus, MainMenuChangesReachTheFormAsMenuChangedNotices) {
  auto* mm = Create<TMainMenu>(Form);
  auto* file = NewItem(Form, "&File");
  mm->Items()->Add(file);
  Form->SetMenu(mm);
  flush_events();
  ProcSpy spy;
  spy.Only = {CM_MENUCHANGED};
  spy.Attach(Form);
  file->SetCaption("&Document");
  EXPECT_GE(spy.Count(CM_MENUCHANGED), 1);
  const int afterCaption = spy.Count(CM_MENUCHANGED);
  mm->Items()->Add(NewItem(Form, "&Edit"));
  EXPECT_GT(spy.Count(CM_MENUCHANGED), afterCaption);
  // A popup menu of the form is not its menu line: no notice.
  auto* popup = Create<TPopupMenu>(Form);
  popup->Items()->Add(NewItem(Form, "One"));
  const int afterAdd = spy.Count(CM_MENUCHANGED);
  popup->Items()->Items(0)->SetCaption("Two");
  EXPECT_EQ(afterAdd, spy.Count(CM_MENUCHANGED));
  spy.Detach();
  Form->SetMenu(nullptr);
}

TEST_F(Menus, PopupReturnsAfterTheMenuWindowClosed) {
  auto* menu = Create<TPopupMenu>(Form);
  menu->Items()->Add(NewItem(Form, "One"));
  menu->Items()->Add(NewItem(Form, "Two"));
  menu->SetPopupComponent(Form);
  int popups = 0;
  menu->OnPopup = TNotifyEvent(&popups, [](void* d, TObject*) { ++*static_cast<int*>(d); });
  gSeenMenu = nullptr;
  gTicks = 0;
  SetTimer(nullptr, 0, 50, &CloseMenuTimer);
  menu->Popup(100, 100);
  EXPECT_NE(nullptr, gSeenMenu);
  EXPECT_EQ(1, popups);
  EXPECT_EQ(Form, menu->PopupComponent());
  EXPECT_EQ((TPoint{100, 100}), menu->PopupPoint());
  flush_events();
  EXPECT_FALSE(IsWindowVisible(FindWindowA("#32768", nullptr)));
}

TEST_F(Menus, OwnerDrawnPopupItemsAreMeasuredAndDrawnByTheirEvents) {
  auto* menu = Create<TPopupMenu>(Form);
  menu->SetOwnerDraw(true);
  menu->SetMenuAnimation(TMenuAnimation{maNone});
  auto* item = NewItem(Form, "Drawn");
  menu->Items()->Add(item);
  MenuEvents ev;
  item->OnMeasureItem = MakeMethod<&MenuEvents::Measure>(&ev);
  item->OnAdvancedDrawItem = MakeMethod<&MenuEvents::Draw>(&ev);
  gSeenMenu = nullptr;
  gTicks = 0;
  SetTimer(nullptr, 0, 50, &CloseMenuTimer);
  menu->Popup(120, 120);
  ASSERT_NE(nullptr, gSeenMenu);
  EXPECT_GE(ev.Measures, 1);
  EXPECT_GE(ev.Draws, 1);
  EXPECT_FALSE(ev.LastState.Contains(odDisabled));

  // Measuring by hand gives the event's size; foreign item data is left alone.
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
  TMessage m = MakeMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  ASSERT_TRUE(DispatchMenuMessage(m));
  EXPECT_EQ(123u, mis.itemWidth);
  EXPECT_EQ(31u, mis.itemHeight);
  mis.itemData = 12345;
  EXPECT_FALSE(DispatchMenuMessage(m));
}

TEST_F(Menus, ContextMenuOpensThePopupMenuOfTheControlUnderThePoint) {
  auto* menu = Create<TPopupMenu>(Form);
  menu->Items()->Add(NewItem(Form, "One"));
  int popups = 0;
  menu->OnPopup = TNotifyEvent(&popups, [](void* d, TObject*) { ++*static_cast<int*>(d); });
  auto* outer = Create<TPanel>(Form);
  outer->SetBounds(10, 10, 200, 120);
  outer->SetParent(Form);
  outer->SetPopupMenu(menu);
  auto* inner = Create<TPanel>(Form);  // no menu of its own
  inner->SetBounds(10, 10, 80, 40);
  inner->SetParent(outer);
  flush_events();

  // At the point given; from the keyboard (no point) at the control's corner.
  ASSERT_TRUE(MenuShownBy(outer->Handle(), WM_CONTEXTMENU, 0, ScreenPoint(200, 150)));
  EXPECT_EQ(1, popups);
  EXPECT_EQ(outer, menu->PopupComponent());
  EXPECT_EQ((TPoint{200, 150}), menu->PopupPoint());
  ASSERT_TRUE(MenuShownBy(outer->Handle(), WM_CONTEXTMENU, 0, static_cast<LPARAM>(0xFFFFFFFF)));
  EXPECT_EQ(outer->ClientToScreen(TPoint{0, 0}), menu->PopupPoint());

  // A child without a menu passes the message to its parent.
  ASSERT_TRUE(MenuShownBy(inner->Handle(), WM_CONTEXTMENU, 0, ScreenPoint(90, 90)));
  EXPECT_EQ(outer, menu->PopupComponent());
  EXPECT_EQ(3, popups);

  // A graphic control has no window: the right-button release on its parent finds it.
  auto* labelMenu = Create<TPopupMenu>(Form);
  labelMenu->Items()->Add(NewItem(Form, "Two"));
  auto* label = Create<TLabel>(Form);
  label->SetCaption("Label with a menu");
  label->SetBounds(20, 150, 120, 20);
  label->SetParent(Form);
  label->SetPopupMenu(labelMenu);
  flush_events();
  ASSERT_TRUE(MenuShownBy(Form->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(25, 155)));
  EXPECT_EQ(label, labelMenu->PopupComponent());
  EXPECT_EQ(3, popups);

  // No menu when it does not pop up by itself or when OnContextPopup took the message.
  menu->SetAutoPopup(false);
  EXPECT_FALSE(MenuShownBy(outer->Handle(), WM_CONTEXTMENU, 0, ScreenPoint(200, 150)));
  menu->SetAutoPopup(true);
  outer->OnContextPopup = TContextPopupEvent(outer, [](void*, TObject*, TPoint, bool& handled) { handled = true; });
  EXPECT_FALSE(MenuShownBy(outer->Handle(), WM_CONTEXTMENU, 0, ScreenPoint(200, 150)));
  EXPECT_EQ(3, popups);
}

TEST_F(Menus, OwnerDrawnMenuBarItemsAreMeasuredAndDrawnThroughTheForm) {
  auto* mm = Create<TMainMenu>(Form);
  mm->SetOwnerDraw(true);
  auto* file = NewItem(Form, "&File");
  mm->Items()->Add(file);
  file->Add(NewItem(Form, "&Open"));
  MenuEvents ev;
  file->OnMeasureItem = MakeMethod<&MenuEvents::Measure>(&ev);
  file->OnAdvancedDrawItem = MakeMethod<&MenuEvents::Draw>(&ev);
  Form->SetMenu(mm);
  SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  flush_events();
  EXPECT_NE(0u, EntryType(GetMenu(Form->Handle()), 0) & MFT_OWNERDRAW);
  EXPECT_GE(ev.Measures, 1);
  EXPECT_GE(ev.Draws, 1);
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(Form->Handle(), GetMenu(Form->Handle()), 0, &r));
  EXPECT_GE(r.right - r.left, 123);  // the width OnMeasureItem gave
  Form->SetMenu(nullptr);
}

namespace {
// Chooses the first entry of the popup menu window as soon as it shows.
int gChooseTicks = 0;
void CALLBACK ChooseFirstEntry(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowA("#32768", nullptr);
  if (w && IsWindowVisible(w)) {
    KillTimer(nullptr, id);
    PostMessageA(w, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
  } else if (++gChooseTicks > 40) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}
}  // namespace

TEST_F(Menus, ChosenPopupEntryClicksItsItemAfterPopupReturns) {
  auto* menu = Create<TPopupMenu>(Form);
  auto* first = NewItem(Form, "First");
  menu->Items()->Add(first);
  menu->Items()->Add(NewItem(Form, "Second"));
  MenuEvents ev;
  first->OnClick = MakeMethod<&MenuEvents::Click>(&ev);
  gChooseTicks = 0;
  SetTimer(nullptr, 0, 50, &ChooseFirstEntry);
  menu->Popup(150, 150);
  flush_events();  // the command arrives through the queue
  EXPECT_EQ(std::vector<std::string>{"First"}, ev.Clicks);
}
