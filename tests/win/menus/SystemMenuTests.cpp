// The skinned window menu of a form: which items show and work for each border style, border
// icons and window state, the system commands they send, the "Available skins" submenu in columns
// of twenty (opened for real), and the extra title buttons.
#include "tests/win/menus/MenuTestSupport.h"

#include <functional>

#include "skin/windows/sSkinProvider.h"

namespace qvtest {
namespace {

// A form that records the system commands it gets instead of carrying them out.
class TCommandForm : public TForm {
 public:
  QV_CLASS_NAME(TCommandForm)
  using TForm::TForm;
  std::vector<WPARAM> Commands;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SYSCOMMAND && Recording) {
      Commands.push_back(Message.WParam & 0xFFF0);
      return;
    }
    TForm::WndProc(Message);
  }
  bool Recording = true;
};

class SystemMenu : public MenuTest {
 protected:
  // A caption without the "&" that marks its keyboard letter.
  static std::string WithoutLetterMark(std::string caption) {
    std::erase(caption, '&');
    return caption;
  }
  // "Restore:VE ..." : V visible, E enabled, "-" where not.
  static std::string States(TsSystemMenu* m) {
    std::string s;
    for (TMenuItem* i : {m->ItemRestore, m->ItemMove, m->ItemSize, m->ItemMinimize, m->ItemMaximize, m->ItemClose})
      s += WithoutLetterMark(i->Caption()) + ":" + (i->Visible() ? "V" : "-") + (i->Enabled() ? "E" : "-") + " ";
    return s;
  }
};

TEST_F(SystemMenu, ItemsFollowTheFormsFrameIconsAndState) {
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  const TBorderIcons sys{biSystemMenu};
  struct TRow {
    const char* What;
    TFormBorderStyle Border;
    TBorderIcons Icons;
    TWindowState State;
    bool StyleRemoved;  // the provider took WS_SYSMENU away
    const char* Expected;
  };
  const TRow rows[] = {
      {"sizeable", bsSizeable, all, wsNormal, false, "Restore:V- Move:VE Size:VE Minimize:VE Maximize:VE Close:VE "},
      {"sizeable, maximized", bsSizeable, all, wsMaximized, false,
       "Restore:VE Move:V- Size:VE Minimize:VE Maximize:V- Close:VE "},
      {"single without boxes", bsSingle, sys, wsNormal, false,
       "Restore:V- Move:VE Size:V- Minimize:-- Maximize:-- Close:VE "},
      {"single without boxes, iconic", bsSingle, sys, wsMinimized, false,
       "Restore:VE Move:VE Size:V- Minimize:V- Maximize:V- Close:VE "},
      {"dialog", bsDialog, sys, wsNormal, false, "Restore:-- Move:VE Size:-E Minimize:-- Maximize:-- Close:VE "},
      {"tool window", bsToolWindow, all, wsNormal, false,
       "Restore:-- Move:VE Size:-E Minimize:-E Maximize:-- Close:VE "},
      {"sizeable tool window", bsSizeToolWin, all, wsNormal, false,
       "Restore:-- Move:VE Size:VE Minimize:-E Maximize:-- Close:VE "},
      {"no system menu", bsSizeable, TBorderIcons{biMinimize, biMaximize}, wsNormal, false,
       "Restore:-- Move:VE Size:VE Minimize:-E Maximize:-E Close:-E "},
      {"system menu style taken by the provider", bsSizeable, TBorderIcons{biMinimize}, wsNormal, true,
       "Restore:V- Move:VE Size:VE Minimize:VE Maximize:-- Close:VE "},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.What);
    auto* form = Create<TForm>(Application);
    form->SetTag(-98);  // no provider from the dialog hook: the test gives it its own
    form->SetBounds(80, 80, 240, 160);
    form->SetBorderStyle(r.Border);
    form->SetBorderIcons(r.Icons);
    form->Show();
    form->SetWindowState(r.State);
    flush_events();
    auto* provider = Create<TsSkinProvider>(form);
    provider->SysMenuStyleRemoved = r.StyleRemoved;
    auto* menu = Create<TsSystemMenu>(provider);
    menu->UpdateItems();
    EXPECT_EQ(r.Expected, States(menu));
    form->Free();
  }
  // An MDI child shows every item.
  TCustomForm* oldMain = Application->MainForm();
  auto* frame = Create<TForm>(Application);
  frame->SetTag(-98);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(20, 20, 500, 360);
  Application->SetMainForm(frame);
  frame->Show();
  auto* child = Create<TForm>(frame);
  child->SetTag(-98);
  child->SetBounds(0, 0, 200, 150);
  child->SetFormStyle(fsMDIChild);
  flush_events();
  auto* provider = Create<TsSkinProvider>(child);
  auto* menu = Create<TsSystemMenu>(provider);
  menu->UpdateItems();
  EXPECT_EQ("Restore:V- Move:VE Size:VE Minimize:VE Maximize:VE Close:VE ", States(menu));
  // Its Maximize is left to the provider, which learns of it.
  menu->ItemMaximize->Click();
  EXPECT_EQ(provider, MaximizingMDIChild);
  MaximizingMDIChild = nullptr;
  frame->Free();
  Application->SetMainForm(oldMain);
  flush_events();
}

TEST_F(SystemMenu, ItemsSendTheirSystemCommands) {
  auto* form = Create<TCommandForm>(Application);
  form->SetTag(-98);
  form->SetBounds(80, 80, 240, 160);
  form->Show();
  flush_events();
  auto* provider = Create<TsSkinProvider>(form);
  auto* menu = Create<TsSystemMenu>(provider);
  EXPECT_EQ(ShortCut(VK_F4, TShiftState{ssAlt}), menu->ItemClose->ShortCut());
  const std::pair<TMenuItem*, WPARAM> rows[] = {
      {menu->ItemRestore, SC_RESTORE},   {menu->ItemMove, SC_MOVE},         {menu->ItemSize, SC_SIZE},
      {menu->ItemMinimize, SC_MINIMIZE}, {menu->ItemMaximize, SC_MAXIMIZE}, {menu->ItemClose, SC_CLOSE},
  };
  for (const auto& [item, command] : rows) {
    form->Commands.clear();
    item->Click();
    EXPECT_EQ(std::vector<WPARAM>{command}, form->Commands) << item->Caption();
  }
  EXPECT_EQ(wsMaximized, form->WindowState()) << "Maximize sets the window state itself";
  // The main form's Minimize minimizes the application.
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(form);
  form->SetWindowState(wsNormal);
  form->Commands.clear();
  menu->ItemMinimize->Click();
  EXPECT_TRUE(form->Commands.empty());
  EXPECT_TRUE(IsIconic(form->Handle()));
  Application->SetMainForm(oldMain);
  form->Free();
}

TEST_F(SystemMenu, SkinItemsComeInColumnsOfTwentyWithTheCurrentOneChecked) {
  // With the built-in skin and the test's own: 45 skins, one of them with "&" in its name.
  for (int i = 0; i < 42; ++i)
    Manager->AddInternalSkin("Skin" + std::string(i < 10 ? "0" : "") + std::to_string(i), Builder.Packed());
  Manager->AddInternalSkin("R&B", Builder.Packed());
  auto* provider = Create<TsSkinProvider>(Form);
  auto* menu = Create<TsSystemMenu>(provider);
  menu->MakeSkinItems();
  menu->MakeSkinItems();  // made again, not added twice
  ASSERT_EQ(9, menu->Items()->Count());
  TMenuItem* skins = menu->Items()->Items(0);
  EXPECT_EQ("SkinSelectItem", skins->Name());
  EXPECT_EQ("Available skins", skins->Caption());
  EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
  ASSERT_EQ(45, skins->Count());
  std::vector<int> breaks, checked;
  for (int i = 0; i < skins->Count(); ++i) {
    TMenuItem* item = skins->Items(i);
    EXPECT_TRUE(item->RadioItem());
    EXPECT_EQ("SkinSelectItem" + std::to_string(i), item->Name());
    if (item->Break() == mbBreak) breaks.push_back(i);
    if (item->Checked()) checked.push_back(i);
  }
  EXPECT_EQ((std::vector<int>{20, 40}), breaks);
  ASSERT_EQ(1u, checked.size());
  EXPECT_EQ("Test", skins->Items(checked[0])->Caption());

  // The "&" of a name shows as it is; choosing the item loads that very skin.
  TMenuItem* rb = skins->Find("R&&B");
  ASSERT_NE(nullptr, rb);
  EXPECT_EQ("R&&B", rb->Caption());
  rb->Click();
  EXPECT_EQ("R&B", Manager->SkinName());
  EXPECT_TRUE(Manager->LastError().empty()) << Manager->LastError();
  menu->MakeSkinItems();
  skins = menu->Items()->Items(0);
  EXPECT_TRUE(skins->Find("R&&B")->Checked());

  // Opened for real, the submenu shows three columns.
  Menus()->PreparePopupMenu(menu, true);
  RECT first{}, twentieth{}, fortieth{};
  HWND top = nullptr;
  TMenuScript script;
  script
      .Then([&] {
        if (!(top = DrawnPopup())) return false;
        PressKey(VK_DOWN);
        PressKey(VK_RIGHT);
        return true;
      })
      .Then([&] {
        HWND sub = FindOpenPopupMenuWindow();
        if (!sub || sub == top || !IsWindowVisible(sub)) return false;
        first = PopupItemRect(skins->Handle(), 0);
        twentieth = PopupItemRect(skins->Handle(), 20);
        fortieth = PopupItemRect(skins->Handle(), 40);
        return true;
      });
  ASSERT_TRUE(script.Run(menu, 100, 100));
  EXPECT_EQ(first.top, twentieth.top);
  EXPECT_EQ(first.top, fortieth.top);
  EXPECT_LT(first.right, twentieth.left);
  EXPECT_LT(twentieth.right, fortieth.left);
}

TEST_F(SystemMenu, TitleButtonsFireTheirEventsAndCopy) {
  auto* provider = Create<TsSkinProvider>(Form);
  EXPECT_EQ(provider, provider->TitleButtons->GetOwner());
  TsTitleButton* button = provider->TitleButtons->Add();
  EXPECT_EQ("TsTitleButton", button->Name());
  struct TLog {
    std::vector<std::string> Calls;
    void Down(TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("down", s, b, sh, x, y); }
    void Up(TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("up", s, b, sh, x, y); }
    void Add(const char* what, TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      Calls.push_back(std::string(what) + (s ? " " + static_cast<TsTitleButton*>(s)->Name() : "") + " " +
                      std::to_string(int(b)) + " " + std::to_string(sh.Contains(ssShift)) + " " + std::to_string(x) +
                      "," + std::to_string(y));
    }
  } log;
  button->SetName("Pin");
  button->OnMouseDown = MakeMethod<&TLog::Down>(&log);
  button->OnMouseUp = MakeMethod<&TLog::Up>(&log);
  button->MouseDown(7, mbRight, TShiftState{ssShift}, 3, 4);
  button->MouseUp(7, mbLeft, TShiftState{}, 5, 6);
  EXPECT_EQ((std::vector<std::string>{"down Pin 1 1 3,4", "up Pin 0 0 5,6"}), log.Calls);
  // The collection copies as the provider's published property.
  auto* other = Create<TsSkinProvider>(Form);
  other->SetTitleButtons(provider->TitleButtons);
  ASSERT_EQ(1, other->TitleButtons->Count());
  EXPECT_EQ("Pin", other->TitleButtons->Items(0)->Name());
}

}  // namespace
}  // namespace qvtest
