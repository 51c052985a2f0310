// The control adapter of a skinned form: which standard controls get which window adapter and
// section, what is left alone, controls added, freed and re-created at run time, the broadcast
// while receivers change the list, labels, and every window given back when the skin goes.
#include "tests/win/provider/ProviderTestSupport.h"

#include <algorithm>
#include <functional>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrlsPanels.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/windows/acSBUtils.h"
#include "tests/support/RealInput.h"

namespace qvtest {
namespace {

// A button class of the program's own: a descendant of a listed class, itself in no list.
class TMyButton : public TButton {
 public:
  QV_CLASS_NAME(TMyButton)
  using TButton::TButton;
};

// A container of the program's own (in no list): never adapted itself.
class TMyPanel : public TPanel {
 public:
  QV_CLASS_NAME(TMyPanel)
  using TPanel::TPanel;
};

// An edit that runs an action when it receives a message (to change the list while a broadcast
// runs) and records the messages of that number it got.
constexpr UINT kProbeMsg = WM_APP + 7;
class TActionEdit : public TEdit {
 public:
  QV_CLASS_NAME(TEdit)  // taken for a standard edit by its class name
  using TEdit::TEdit;
  std::function<void()> OnProbe;
  std::vector<std::string>* Log = nullptr;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == kProbeMsg) {
      if (Log) Log->push_back(Name());
      if (OnProbe) OnProbe();
    }
    TEdit::WndProc(Message);
  }
};

// A skinned speed button that records the skin's coming (1), going (2) and refresh (3) as it
// hears them.
class TListeningSpeedButton : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsSpeedButton)
  using TsSpeedButton::TsSpeedButton;
  std::string Heard;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == SM_QUORVEXCMD) {
      const int command = Message.WParamHi();
      if (command == QC_SKINLOADED || command == QC_SKINREMOVED || command == QC_REFRESH) Heard += char('0' + command);
    }
    TsSpeedButton::WndProc(Message);
  }
};

// What an adapter changes on a window while it is there.
struct TWindowLook {
  LONG_PTR Proc, Style, ExStyle;
  HANDLE Prop;
  bool operator==(const TWindowLook&) const = default;
};
TWindowLook LookOf(HWND wnd) {
  return {GetWindowLongPtrA(wnd, GWLP_WNDPROC), GetWindowLongPtrA(wnd, GWL_STYLE), GetWindowLongPtrA(wnd, GWL_EXSTYLE),
          GetPropA(wnd, AdapterPropName)};
}

class CtrlAdapter : public ProviderTest {
 protected:
  // A shown form without a provider yet (the controls are put on it first).
  TForm* PlainForm(int width = 420, int height = 320) {
    auto* form = Create<TForm>(Application);
    Forms.push_back(form);
    form->SetTag(-98);  // shown plain first: the dialog hook leaves it to the test's provider
    form->SetBounds(60, 60, width, height);
    form->SetCaption("Control adapter");
    form->Show();
    flush_events();
    return form;
  }
  template <class T>
  T* Put(TWinControl* parent, int x, int y, int w = 90, int h = 24, const char* name = nullptr) {
    T* c = Create<T>(parent->Owner() && dynamic_cast<TCustomForm*>(parent->Owner()) ? parent->Owner() : parent);
    if (name) c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
  }
  static TsSkinProvider* Skin(TCustomForm* form) {
    auto* p = Create<TsSkinProvider>(form);
    // As when the form is read from its resource.
    p->Loaded();
    flush_events();
    return p;
  }
  static TacMainWnd* AdapterOf(TWinControl* c) { return c->HandleAllocated() ? GetWndAdapter(c->Handle()) : nullptr; }
  static std::string AdapterName(TWinControl* c) {
    TacMainWnd* a = AdapterOf(c);
    return a ? a->ClassName() : "none";
  }
  static TacAdapterItem* ItemOf(TsSkinProvider* p, TControl* c) {
    for (int i = 0; p->Adapter && i < p->Adapter->Count(); ++i)
      if (p->Adapter->GetItem(i)->Control == c) return p->Adapter->GetItem(i);
    return nullptr;
  }
};

// Each control of a form as the class-name lists choose: its adapter and its item's section; what
// is left alone has neither.
TEST_F(CtrlAdapter, ClassNamesChooseAdapterAndSection) {
  TForm* form = PlainForm();
  auto* panel = Put<TPanel>(form, 200, 150, 200, 120);
  struct Row {
    const char* Name;
    TWinControl* Control;
    int Kind;             // -1: never adapted
    const char* Adapter;  // for a kind whose adapter is in the program
    const char* Section;
  };
  auto* vetoed = Put<TEdit>(form, 10, 250, 90, 22, "Vetoed");
  auto* renamed = Put<TMemo>(form, 110, 250, 80, 40, "Renamed");
  auto* tagged = Put<TButton>(form, 10, 280, 80, 24);
  tagged->SetTag(-98);
  auto* skinned = Put<TTestSkinControl>(form, 110, 290, 40, 20);
  auto* pages = Put<TPageControl>(form, 200, 10, 200, 130);
  Create<TTabSheet>(pages)->SetPageControl(pages);
  auto* tabs = Put<TTabControl>(form, 200, 272, 200, 40);
  tabs->Tabs()->Add("Tab");
  std::vector<Row> rows = {
      {"edit", Put<TEdit>(form, 10, 10), tkEdit, "TacEditWnd", "EDIT"},
      {"memo", Put<TMemo>(form, 10, 40, 90, 50), tkEdit, "TacEditWnd", "EDIT"},
      {"button", Put<TButton>(form, 10, 100), tkButton, "TacBtnWnd", "BUTTON"},
      {"bit button", Put<TBitBtn>(form, 10, 130), tkBitBtn, "TacBitBtnWnd", "BUTTON"},
      {"check box", Put<TCheckBox>(form, 110, 10), tkCheckBox, "TacCheckBoxWnd", "CHECKBOX"},
      {"radio button", Put<TRadioButton>(form, 110, 40), tkCheckBox, "TacCheckBoxWnd", "CHECKBOX"},
      {"group box", Put<TGroupBox>(form, 110, 70, 80, 60), tkGroupBox, "TacGroupBoxWnd", "GROUPBOX"},
      {"combo box", Put<TComboBox>(form, 10, 160), tkComboBox, "TacComboBoxWnd", "EDIT"},
      {"panel", panel, tkPanel, "TacPanelWnd", "PANEL"},
      {"button on the panel", Put<TButton>(panel, 10, 10), tkButton, "TacBtnWnd", "BUTTON"},
      {"edit on the panel", Put<TEdit>(panel, 10, 40), tkEdit, "TacEditWnd", "EDIT"},
      {"descendant of a listed class", Put<TMyButton>(form, 10, 190), -1, nullptr, nullptr},
      {"tag -98", tagged, -1, nullptr, nullptr},
      {"skinned control", skinned, -1, nullptr, nullptr},
      {"vetoed by OnSkinItem", vetoed, -1, nullptr, nullptr},
      {"section from OnSkinItem (kept)", renamed, tkEdit, "TacEditWnd", "PANEL"},
      {"page control", pages, tkPageControl, "TacPageControlWnd", "PAGECONTROL"},
      {"tab control", tabs, tkTabControl, "TacTabControlWnd", "PAGECONTROL"},
  };
  for (auto& r : rows) r.Control->HandleNeeded();

  auto* provider = Create<TsSkinProvider>(form);
  struct THandler {
    TComponent* Vetoed;
    TComponent* Renamed;
    void Skin(TComponent* item, bool& canBeAdded, std::string& section) {
      if (item == Vetoed) canBeAdded = false;
      if (item == Renamed) section = "PANEL";
    }
  } handler{vetoed, renamed};
  provider->SetOnSkinItem(MakeMethod<&THandler::Skin>(&handler));
  provider->Loaded();
  flush_events();
  ASSERT_NE(nullptr, provider->Adapter);
  // Once more: nothing is made twice.
  provider->Adapter->AddAllItems(nullptr);

  int adapted = 0;
  for (const Row& r : rows) {
    const bool inProgram = r.Kind >= 0 && KindAdapter(r.Kind);
    TacAdapterItem* item = ItemOf(provider, r.Control);
    if (!inProgram) {
      EXPECT_EQ(nullptr, AdapterOf(r.Control)) << r.Name;
      EXPECT_EQ(nullptr, item) << r.Name;
      continue;
    }
    ++adapted;
    ASSERT_NE(nullptr, item) << r.Name;
    EXPECT_EQ(item->WndAdapter, AdapterOf(r.Control)) << r.Name;
    if (r.Adapter) EXPECT_EQ(r.Adapter, AdapterName(r.Control)) << r.Name;
    EXPECT_EQ(r.Section, item->SkinData->SkinSection()) << r.Name;
    EXPECT_EQ(tcAdapterItem, item->SkinData->TypeCode) << r.Name;
    EXPECT_EQ(r.Control, item->SkinData->OwnerControl) << r.Name;
  }
  EXPECT_EQ(adapted, provider->Adapter->Count());
  EXPECT_EQ(nullptr, provider->Adapter->GetItem(-1));
  EXPECT_EQ(nullptr, provider->Adapter->GetItem(adapted));

  // A form whose manager does not skin foreign controls adapts none.
  TForm* other = PlainForm(200, 120);
  auto* edit = Put<TEdit>(other, 10, 10);
  edit->HandleNeeded();
  Manager->SetSkinningRules(TacSkinningRules{srStdForms, srStdDialogs});
  TsSkinProvider* p2 = Skin(other);
  ASSERT_NE(nullptr, p2->Adapter);
  EXPECT_EQ(0, p2->Adapter->Count());
  EXPECT_EQ(nullptr, AdapterOf(edit));
  Manager->SetSkinningRules(TacSkinningRules{srStdForms, srStdDialogs, srThirdParty});
}

// Controls put on the form after it is skinned are adapted as their windows come; a window made
// again gets a new adapter in the same item; a freed control's item goes; the provider leaving
// gives every window its own procedure back.
TEST_F(CtrlAdapter, ControlsComingAndGoingAtRunTime) {
  TForm* form = PlainForm();
  auto* first = Put<TButton>(form, 10, 10);
  first->HandleNeeded();
  const TWndMethod firstOwn = first->WindowProc;
  // A container nothing listens to (never adapted): the controls inside it are adapted all the same.
  auto* plainBox = Put<TMyPanel>(form, 150, 170, 200, 60);
  auto* inPlainBox = Put<TEdit>(plainBox, 10, 10);
  inPlainBox->HandleNeeded();
  TsSkinProvider* provider = Skin(form);
  ASSERT_NE(nullptr, provider->Adapter);
  ASSERT_EQ("TacBtnWnd", AdapterName(first));

  auto* panel = Put<TPanel>(form, 150, 10, 200, 150);
  auto* late = Put<TEdit>(panel, 10, 10);
  auto* lateButton = Put<TButton>(form, 10, 50);
  flush_events();
  late->HandleNeeded();
  lateButton->HandleNeeded();
  flush_events();
  EXPECT_EQ("TacEditWnd", AdapterName(late));
  EXPECT_EQ("TacBtnWnd", AdapterName(lateButton));

  // A window made again gets a new adapter in the same item at once, with no walk of the form's
  // controls in between: a child of the form, a control inside a skinned panel and inside a
  // container no adapter listens to (the system tells a window's creation only to its parent), and
  // a panel's own window made again with the controls inside it.
  EXPECT_EQ("TacEditWnd", AdapterName(inPlainBox));
  struct {
    TWinControl* Recreated;
    std::vector<TWinControl*> Adapted;
  } recreations[] = {{first, {first}}, {late, {late}}, {inPlainBox, {inPlainBox}}, {panel, {late}}};
  for (const auto& r : recreations) {
    SCOPED_TRACE(r.Recreated->ClassName());
    std::vector<TacAdapterItem*> items;
    std::vector<HWND> before;
    for (TWinControl* c : r.Adapted) {
      items.push_back(ItemOf(provider, c));
      ASSERT_NE(nullptr, items.back()) << c->ClassName();
      before.push_back(c->Handle());
    }
    r.Recreated->RecreateWnd();
    for (std::size_t i = 0; i < r.Adapted.size(); ++i) {
      TWinControl* c = r.Adapted[i];
      ASSERT_TRUE(c->HandleAllocated()) << c->ClassName();
      ASSERT_NE(before[i], c->Handle()) << c->ClassName();
      EXPECT_EQ(items[i], ItemOf(provider, c)) << c->ClassName();
      ASSERT_NE(nullptr, AdapterOf(c)) << c->ClassName();
      EXPECT_EQ(items[i]->WndAdapter, AdapterOf(c)) << c->ClassName();
    }
  }

  // A freed control's item goes with it; the others stay.
  const int count = provider->Adapter->Count();
  lateButton->Free();
  EXPECT_EQ(count - 1, provider->Adapter->Count());
  EXPECT_EQ(nullptr, ItemOf(provider, lateButton));
  flush_events();
  provider->Adapter->AddAllItems(nullptr);
  EXPECT_EQ(count - 1, provider->Adapter->Count());

  provider->Free();
  flush_events();
  EXPECT_TRUE(first->WindowProc == firstOwn);
  EXPECT_EQ(nullptr, AdapterOf(first));
  EXPECT_EQ(nullptr, AdapterOf(late));
}

// A broadcast reaches each live control once in the order of the items, while receivers free
// other items' controls and add new ones.
TEST_F(CtrlAdapter, BroadcastWhileReceiversChangeTheList) {
  TForm* form = PlainForm();
  std::vector<std::string> log;
  std::vector<TActionEdit*> edits;
  for (int i = 0; i < 4; ++i) {
    auto* e = Put<TActionEdit>(form, 10, 10 + 30 * i, 90, 22, ("E" + std::to_string(i)).c_str());
    e->Log = &log;
    e->HandleNeeded();
    edits.push_back(e);
  }
  TsSkinProvider* provider = Skin(form);
  ASSERT_EQ(4, provider->Adapter->Count());
  TActionEdit* added = nullptr;
  edits[0]->OnProbe = [&] {
    // Frees E2, adds a fifth edit.
    edits[2]->Free();
    edits[2] = nullptr;
    provider->Adapter->CleanItems();
    added = Put<TActionEdit>(form, 150, 10, 90, 22, "Added");
    added->Log = &log;
    added->HandleNeeded();
    provider->Adapter->AddNewItem(added);
  };
  edits[1]->OnProbe = [&] { provider->Adapter->RemoveItem(0); };
  TMessage m = MakeMessage(kProbeMsg, 0, 0);
  provider->Adapter->BroadcastMessage(m);
  const std::vector<std::string> expected = {"E0", "E1", "E3"};
  EXPECT_EQ(expected, log);
  ASSERT_NE(nullptr, ItemOf(provider, added));
  EXPECT_EQ(nullptr, ItemOf(provider, edits[0])) << "removed by E1";

  // A walk started from a handler inside a walk does nothing; the guard stays set for the whole
  // outer walk, also after it came back from a container's children.
  auto* panel = Put<TPanel>(form, 150, 100, 150, 80);
  Put<TButton>(panel, 10, 10)->HandleNeeded();
  Put<TButton>(form, 10, 200)->HandleNeeded();
  std::vector<bool> guard;
  struct TNested {
    TsSkinProvider* P;
    std::vector<bool>* Guard;
    void Skin(TComponent*, bool&, std::string&) {
      Guard->push_back(AddingItems);
      if (P->Adapter) P->Adapter->AddAllItems(nullptr);
    }
  } nested{provider, &guard};
  provider->SetOnSkinItem(MakeMethod<&TNested::Skin>(&nested));
  // The skin goes and comes back: one walk adapts the whole form again.
  Manager->SetActive(false);
  flush_events();
  Manager->SetActive(true);
  flush_events();
  EXPECT_FALSE(AddingItems);
  ASSERT_FALSE(guard.empty());
  EXPECT_EQ(std::vector<bool>(guard.size(), true), guard);
}

// A skinned control inside any adapted container, however deep, hears the skin's coming, refresh
// and going exactly once each and in the order the form hears them, also as the skin comes back,
// and shows each new skin on the screen, its update ended.
TEST_F(CtrlAdapter, SkinCommandsReachSkinnedControlsInsideAdaptedContainers) {
  struct Kind {
    const char* Name;
    // The container made on the form (adapted with it); returns where the button goes.
    std::function<TWinControl*(TForm*)> Make;
  };
  const std::vector<Kind> kinds = {
      {"the form itself", [](TForm* f) -> TWinControl* { return f; }},
      {"panel", [this](TForm* f) -> TWinControl* { return Put<TPanel>(f, 10, 10, 220, 120); }},
      {"group box", [this](TForm* f) -> TWinControl* { return Put<TGroupBox>(f, 10, 10, 220, 120); }},
      {"panel in a group box",
       [this](TForm* f) -> TWinControl* { return Put<TPanel>(Put<TGroupBox>(f, 10, 10, 240, 150), 8, 20, 220, 120); }},
      {"page of a page control",
       [this](TForm* f) -> TWinControl* {
         auto* pages = Put<TPageControl>(f, 10, 10, 240, 150);
         auto* sheet = Create<TTabSheet>(f);
         sheet->SetPageControl(pages);
         sheet->SetCaption("Page");
         return sheet;
       }},
      {"panel on a page",
       [this](TForm* f) -> TWinControl* {
         auto* pages = Put<TPageControl>(f, 10, 10, 260, 170);
         auto* sheet = Create<TTabSheet>(f);
         sheet->SetPageControl(pages);
         sheet->SetCaption("Page");
         return Put<TPanel>(sheet, 4, 4, 220, 120);
       }},
      {"tab control",
       [this](TForm* f) -> TWinControl* {
         auto* tabs = Put<TTabControl>(f, 10, 10, 240, 150);
         tabs->Tabs()->Add("Tab");
         return tabs;
       }},
  };
  TSkinBuilder first = Builder;
  TSkinBuilder second = TSkinBuilder::Standard();
  second.RemoveMask("SPEEDBUTTON", "BORDERSMASK");
  second.Mask("SPEEDBUTTON", "BORDERSMASK");
  struct Step {
    const char* Name;
    std::function<void()> Run;
    const char* Heard;          // what the button heard of it
    const TSkinBuilder* Shown;  // the skin it shows; nullptr: the plain look
  };
  const std::vector<Step> steps = {
      {"skin switched", [&] { LoadSkin(second); }, "13", &second},
      {"skin off", [&] { Manager->SetActive(false); }, "2", nullptr},
      {"skin on again", [&] { Manager->SetActive(true); }, "13", &second},
      {"skin switched back", [&] { LoadSkin(first); }, "13", &first},
      {"off and on at once",
       [&] {
         Manager->SetActive(false);
         Manager->SetActive(true);
       },
       "213", &first},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.Name);
    LoadSkin(first);
    TForm* form = PlainForm(300, 240);
    TWinControl* parent = kind.Make(form);
    auto* button = Create<TListeningSpeedButton>(form);
    button->SetParent(parent);
    button->SetBounds(40, 40, 100, 40);
    parent->HandleNeeded();
    TsSkinProvider* provider = Skin(form);
    for (TWinControl* c = parent; c != form; c = c->Parent()) ASSERT_NE(nullptr, AdapterOf(c)) << c->ClassName();
    for (const Step& step : steps) {
      SCOPED_TRACE(step.Name);
      button->Heard.clear();
      step.Run();
      flush_events();
      EXPECT_EQ(step.Heard, button->Heard);
      POINT edge{button->Left() + (button->Width() - 16) / 4, button->Top() + 1};
      ClientToScreen(parent->Handle(), &edge);
      const COLORREF shown = CaptureScreenRect(RECT{edge.x, edge.y, edge.x + 1, edge.y + 1}).Pixel(0, 0);
      if (step.Shown) {
        EXPECT_EQ(ColorText(TSkinBuilder::FrameColor(step.Shown->MaskOrdinal("SPEEDBUTTON", "BORDERSMASK"), 0)),
                  ColorText(shown));
        EXPECT_FALSE(button->SkinData()->UpdatingFlag());
      } else {
        for (const TSkinBuilder* skin : {&first, &second})
          EXPECT_NE(ColorText(TSkinBuilder::FrameColor(skin->MaskOrdinal("SPEEDBUTTON", "BORDERSMASK"), 0)),
                    ColorText(shown));
      }
    }
    (void)provider;
    Forms.erase(std::find(Forms.begin(), Forms.end(), form));
    form->Free();
    flush_events();
  }
}

// Labels take the skin's font colour and show the form through; a skin without one leaves their
// colour; skin removal gives labels and windows back as they were, and a new skin adapts again.
TEST_F(CtrlAdapter, SkinRemovalGivesEverythingBack) {
  TForm* form = PlainForm();
  auto* label = Put<TLabel>(form, 220, 10, 100, 16);
  label->SetCaption("Label");
  label->SetTransparent(false);
  label->Font()->SetColor(clMaroon);
  auto* button = Put<TButton>(form, 10, 10, 100, 30);
  auto* edit = Put<TEdit>(form, 10, 60, 100, 24);
  auto* check = Put<TCheckBox>(form, 10, 100, 100, 20);
  std::vector<TWinControl*> windows{button, edit, check};
  std::vector<TWindowLook> states;
  std::vector<TWndMethod> methods;
  for (TWinControl* w : windows) {
    w->HandleNeeded();
    states.push_back(LookOf(w->Handle()));
    methods.push_back(w->WindowProc);
  }
  TsSkinProvider* provider = Skin(form);
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(Manager->GetGlobalFontColor(), label->Font()->Color());
  for (TWinControl* w : windows) EXPECT_NE(nullptr, AdapterOf(w)) << w->ClassName();

  // The adapted button is painted in its section (a pixel of its border frame on the screen).
  form->Update();
  flush_events();
  const Capture shot = CaptureScreen(button->Handle());
  EXPECT_EQ(MaskColor("BUTTON", "BORDERSMASK", 0), shot.Pixel(1, button->Height() / 2));

  Manager->SetActive(false);
  flush_events();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    EXPECT_TRUE(states[i] == LookOf(windows[i]->Handle())) << windows[i]->ClassName();
    EXPECT_TRUE(windows[i]->WindowProc == methods[i]) << windows[i]->ClassName();
  }
  EXPECT_FALSE(label->Transparent());
  EXPECT_EQ(clMaroon, label->Font()->Color());

  // The skin back, then a skin without a global font colour: the label shows its own.
  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(Manager->GetGlobalFontColor(), label->Font()->Color());
  LoadSkin(TSkinBuilder::Standard().RemoveSection("GLOBALINFO"));
  flush_events();
  ASSERT_NE(nullptr, provider->Adapter);
  EXPECT_EQ(clMaroon, label->Font()->Color());
  EXPECT_TRUE(label->Transparent());
  for (TWinControl* w : windows) EXPECT_NE(nullptr, AdapterOf(w)) << w->ClassName();
}

// The adapted controls still do what the program asked of them under the real mouse, and show it.
TEST_F(CtrlAdapter, AdaptedControlsUnderTheRealMouse) {
  TForm* form = PlainForm();
  auto* button = Put<TButton>(form, 10, 10, 100, 30);
  auto* other = Put<TButton>(form, 10, 60, 100, 30);
  auto* check = Put<TCheckBox>(form, 10, 110, 120, 20);
  int clicks = 0;
  struct TCounter {
    int* Clicks;
    void Click(TObject*) { ++*Clicks; }
  } counter{&clicks};
  button->OnClick = MakeMethod<&TCounter::Click>(&counter);
  for (TWinControl* c : std::vector<TWinControl*>{button, other, check}) c->HandleNeeded();
  TsSkinProvider* provider = Skin(form);
  ASSERT_EQ(3, provider->Adapter->Count());
  SetForegroundWindow(form->Handle());
  flush_events();

  auto centre = [](TWinControl* c) {
    RECT r{};
    GetWindowRect(c->Handle(), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  ClickAt(centre(button));
  ClickAt(centre(check));
  EXPECT_EQ(1, clicks);
  EXPECT_TRUE(check->Checked());

  // The pointer resting on the other button: it shows hot.
  MouseTo(centre(other));
  flush_events();
  EXPECT_EQ(MaskColor("BUTTON", "BORDERSMASK", 1), CaptureScreen(other->Handle()).Pixel(1, other->Height() / 2));
  // And normal again once the pointer has left it (the system tells of the leaving a moment later).
  MouseTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
  const COLORREF normal = MaskColor("BUTTON", "BORDERSMASK", 0);
  EXPECT_TRUE(pump_until([&] { return CaptureScreen(other->Handle()).Pixel(1, other->Height() / 2) == normal; }));
}

}  // namespace
}  // namespace qvtest
