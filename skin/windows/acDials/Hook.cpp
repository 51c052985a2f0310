// The dialog hook: the hook procedure, the choice of what a window opening gets, the providers of
// skinned windows and the adapters of a dialog's children.
#include "skin/windows/acDials.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "skin/engine/sSkinManager.h"

TacAdapterList TacMnuArray;
std::uint32_t DialogStyle = 0;
bool RegionLock = false;

using qv::TacDialogChildKind;

TacAdapterMaker DialogChildMakers[std::size_t(TacDialogChildKind::Count)] = {};
TacAdapterMaker MenuWindowMaker = MakeAdapter<TacMnuWnd>;

namespace {

// The adapters of this library for the kinds of a dialog's children.
bool FillChildMakers() {
  auto set = [](TacDialogChildKind kind, TacAdapterMaker maker) { DialogChildMakers[std::size_t(kind)] = maker; };
  set(TacDialogChildKind::Icon, MakeAdapter<TacIconWnd>);
  set(TacDialogChildKind::Static, MakeAdapter<TacStaticWnd>);
  set(TacDialogChildKind::GroupBox, MakeAdapter<TacGroupBoxWnd>);
  set(TacDialogChildKind::CheckBox, MakeAdapter<TacCheckBoxWnd>);
  set(TacDialogChildKind::Button, MakeAdapter<TacBtnWnd>);
  set(TacDialogChildKind::ImageButton, MakeAdapter<TacBitBtnWnd>);
  set(TacDialogChildKind::ListView, MakeAdapter<TacListViewWnd>);
  set(TacDialogChildKind::TreeView, MakeAdapter<TacTreeViewWnd>);
  set(TacDialogChildKind::ToolBar, MakeAdapter<TacToolBarWnd>);
  set(TacDialogChildKind::ComboBox, MakeAdapter<TacComboBoxWnd>);
  set(TacDialogChildKind::ComboList, MakeAdapter<TacComboListWnd>);
  set(TacDialogChildKind::Edit, MakeAdapter<TacEditWnd>);
  set(TacDialogChildKind::Link, MakeAdapter<TacLinkWnd>);
  set(TacDialogChildKind::TransPanel, MakeAdapter<TacTransPanelWnd>);
  set(TacDialogChildKind::DlgPanel, MakeAdapter<TacDlgPanelWnd>);
  set(TacDialogChildKind::Sizer, MakeAdapter<TacSizerWnd>);
  set(TacDialogChildKind::Spin, MakeAdapter<TacSpinWnd>);
  return true;
}

// The hook's work plugged into the skin manager at start-up.
const bool kHookSet = [] {
  FillChildMakers();
  DialogHookProc = CBTProc;
  ClearMnuArrayProc = ClearMnuArray;
  return true;
}();

std::string ClassNameOf(HWND wnd) {
  char buf[256] = {};
  const int n = GetClassNameA(wnd, buf, int(sizeof buf));
  return std::string(buf, std::size_t(std::max(n, 0)));
}

TacProvider* ProviderAt(int i) { return static_cast<TacProvider*>(DialogProviders->Items(i)); }

// The provider of a window that is still open (nullptr when none).
TacProvider* ProviderOf(HWND wnd) {
  if (!DialogProviders || !wnd) return nullptr;
  for (int i = 0; i < DialogProviders->Count(); ++i)
    if (TacProvider* p = ProviderAt(i); p && p->Wnd == wnd && !p->Closed()) return p;
  return nullptr;
}

// Some skinned dialog shows now.
bool SkinnedDialogVisible() {
  if (!DialogProviders) return false;
  for (int i = 0; i < DialogProviders->Count(); ++i)
    if (TacProvider* p = ProviderAt(i);
        p && p->DialogWnd && !p->DialogWnd->Destroyed && IsWindowVisible(p->DialogWnd->WndHandle))
      return true;
  return false;
}

// The window has a tool bar among its descendants, depth first.
bool HasToolBar(HWND wnd) {
  for (HWND c = GetTopWindow(wnd); c; c = GetWindow(c, GW_HWNDNEXT))
    if (qv::LowerClassName(ClassNameOf(c)) == "toolbarwindow32" || HasToolBar(c)) return true;
  return false;
}

// The form whose window is Wnd: one of the screen's forms or an MDI child of one.
TCustomForm* FormOfWindow(HWND wnd) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (!f) continue;
    if (f->HandleAllocated() && f->Handle() == wnd) return f;
    if (f->FormStyle() == fsMDIForm)
      for (int j = 0; j < f->MDIChildCount(); ++j)
        if (TCustomForm* c = f->MDIChildren(j); c && c->HandleAllocated() && c->Handle() == wnd) return c;
  }
  return nullptr;
}

// Flat scroll bars of a window switched off (skinned bars are drawn instead) or on again; looked up
// in the common controls library, which not every import library lists them for.
void FlatScrollBars(HWND wnd, bool on) {
  static const HMODULE lib = GetModuleHandleA("comctl32.dll");
  if (!lib) return;
  if (on) {
    using TInit = BOOL(WINAPI*)(HWND);
    static const auto init = reinterpret_cast<TInit>(reinterpret_cast<void*>(GetProcAddress(lib, "InitializeFlatSB")));
    if (init) init(wnd);
  } else {
    using TUninit = HRESULT(WINAPI*)(HWND);
    static const auto uninit =
        reinterpret_cast<TUninit>(reinterpret_cast<void*>(GetProcAddress(lib, "UninitializeFlatSB")));
    if (uninit) uninit(wnd);
  }
}

bool RuleOn(TacSkinningRule rule) { return DefaultManager && DefaultManager->SkinningRules().Contains(rule); }

void AddProvider(TacProvider* p) {
  if (!DialogProviders) DialogProviders = new TList();
  DialogProviders->Add(p);
}

// HookAttaching set for as long as an adapter is being made.
struct TAttachingScope {
  TAttachingScope() { HookAttaching = true; }
  ~TAttachingScope() { HookAttaching = false; }
};

// A menu window adapter that left its window without freeing itself is freed.
void DropClosedMenuAdapters() {
  for (int i = TacMnuArray.Count() - 1; i >= 0; --i)
    if (i < TacMnuArray.Count() && TacMnuArray[i]->Destroyed) TacMnuArray[i]->Free();
}

void MenuWindowCreated(HWND wnd) {
  if (!MenuWindowMaker || !DefaultManager || ClassNameOf(wnd) != "#32768" || AskWindow(wnd, QC_ISSKINNED)) return;
  DropClosedMenuAdapters();
  TacMainWnd* a = nullptr;
  {
    TAttachingScope attaching;
    a = MenuWindowMaker(wnd, nullptr, DefaultManager, "MAINMENU", false);
  }
  if (a && a->Destroyed) {
    a->Free();
    return;
  }
  if (a) TacMnuArray.Add(a);
}

void WindowDestroying(HWND wnd) {
  if (DialogProviders)
    for (int i = 0; i < DialogProviders->Count(); ++i)
      if (TacProvider* p = ProviderAt(i); p && p->Wnd == wnd && !p->DialogWnd && !p->SkinProvider)
        p->WindowDestroyed = true;
  FreeClosedDialogs();
}

}  // namespace

LRESULT CBTProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT result = CallNextHookEx(CBTHook, Code, WParam, LParam);
  try {
    const auto wnd = reinterpret_cast<HWND>(WParam);
    switch (Code) {
      case HCBT_CREATEWND: MenuWindowCreated(wnd); break;
      case HCBT_DESTROYWND: WindowDestroying(wnd); break;
      case HCBT_ACTIVATE: SkinWindow(wnd); break;
      default: break;
    }
  } catch (...) {
    HandleBoundaryException(DefaultManager);
  }
  return result;
}

bool SkinWindow(HWND Wnd) {
  if (!Wnd || !IsWindow(Wnd) || !DefaultManager || AskWindow(Wnd, QC_ISSKINNED) || ProviderOf(Wnd)) return false;
  const std::string cls = ClassNameOf(Wnd);
  if (cls == "TApplication" || cls == "TQRStandardPreview") return false;
  if (TCustomForm* form = FormOfWindow(Wnd)) {
    if (form->ClassName() == "TMessageForm") {
      if (!RuleOn(srStdDialogs)) return false;
    } else if (!RuleOn(srStdForms) || form->Tag() == -98) {
      return false;
    }
    auto* p = Create<TacProvider>(form);
    p->Wnd = Wnd;
    AddProvider(p);
    p->SkinProvider = Create<TsSkinProvider>(p);
    p->SkinProvider->SetMakeSkinMenu(false);
    return true;
  }
  if (!RuleOn(srStdDialogs)) return false;
  if (SkinnedDialogVisible() && !HasToolBar(Wnd)) return false;
  auto* p = Create<TacProvider>(nullptr);
  AddProvider(p);
  if (!p->InitDialog(Wnd)) {
    p->Free();
    return false;
  }
  return true;
}

void FreeClosedDialogs() {
  if (!DialogProviders) return;
  std::vector<TacProvider*> closed;
  for (int i = 0; i < DialogProviders->Count(); ++i) {
    TacProvider* p = ProviderAt(i);
    if (p && p->Closed()) {
      closed.push_back(p);
      DialogProviders->SetItems(i, nullptr);
    }
  }
  DialogProviders->Pack();
  for (TacProvider* p : closed) p->Free();
}

void ClearMnuArray() { TacMnuArray.FreeAll(); }

// ---- TacProvider ------------------------------------------------------------------------------------

TacProvider::TacProvider(TComponent* AOwner) : TComponent(AOwner), Adapters(new TacAdapterList()) {}

TacProvider::~TacProvider() {
  if (DialogProviders) {
    const int at = DialogProviders->IndexOf(this);
    if (at >= 0) DialogProviders->SetItems(at, nullptr);
  }
  if (Adapters) {
    // The children go with a dialog that closes: nothing of them is given back but their procedures.
    if (DialogWnd && DialogWnd->Closing())
      for (int i = 0; i < Adapters->Count(); ++i) (*Adapters)[i]->WindowGoes = true;
    Adapters->FreeAll();
  }
  delete Adapters;
  Adapters = nullptr;
  FreeAndNil(DialogWnd);
}

bool TacProvider::Closed() const {
  if (DialogWnd) return DialogWnd->Destroyed;
  if (SkinProvider) return false;
  return WindowDestroyed || !IsWindow(Wnd);
}

bool TacProvider::InitDialog(HWND AWnd) {
  Wnd = AWnd;
  if (DialogWnd || !DefaultManager || !DefaultManager->Active() || !DefaultManager->Skin()) return true;
  DialogStyle = std::uint32_t(GetWindowLongPtrA(Wnd, GWL_STYLE));
  LeftScrollBar = (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const std::string cls = ClassNameOf(Wnd);
  if (cls != "#32770" && cls != "TMessageForm") return true;
  // The settings may have changed since the last dialog: its frame is measured with them.
  ForgetFrameMetrics();
  FlatScrollBars(Wnd, false);
  DialogWnd = Create<TacDialogWnd>(Wnd, nullptr, DefaultManager, "DIALOG", false);
  DialogWnd->Provider = this;
  if (!DialogWnd->Destroyed && AttachChildren(Wnd)) {
    DialogWnd->ReadStyle();
    // The region is cut before the window shows, so that showing paints the frame once; cut before
    // the skin command, the frame the region makes the window measure again is the skinned one
    // already, and the command need not have it measured once more.
    if (!DialogWnd->Destroyed && DialogWnd->SkinOn()) DialogWnd->UpdateRegion();
    if (!DialogWnd->Destroyed) SendSkinCommand(Wnd, QC_SKINLOADED, reinterpret_cast<LPARAM>(DefaultManager));
    return true;
  }
  if (DialogProviders) {
    const int at = DialogProviders->IndexOf(this);
    if (at >= 0) DialogProviders->SetItems(at, nullptr);
  }
  FlatScrollBars(Wnd, true);
  return false;
}

namespace {

// A window under a dialog and its parent.
struct TTreeWindow {
  HWND Wnd;
  HWND Parent;
};

BOOL CALLBACK CollectTreeWindow(HWND wnd, LPARAM data) {
  // An enumeration callback is a system boundary: a failed allocation ends the listing instead.
  try {
    reinterpret_cast<std::vector<TTreeWindow>*>(data)->push_back({wnd, GetAncestor(wnd, GA_PARENT)});
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

// Depth first, each window's own children before it, in the order the system keeps.
bool AttachTree(TacProvider* p, const std::vector<TTreeWindow>& tree, HWND parent) {
  for (const TTreeWindow& w : tree) {
    if (w.Parent != parent || (GetWindowLongPtrA(w.Wnd, GWL_STYLE) & WS_CHILD) == 0) continue;
    if (!AttachTree(p, tree, w.Wnd) || !p->AttachChild(w.Wnd)) return false;
  }
  return true;
}

}  // namespace

bool TacProvider::AttachChildren(HWND AWnd) {
  // The windows under the dialog are listed in one go (a walk a window at a time asks the window
  // server at each step, and the children are attached again at every paint of the frame).
  std::vector<TTreeWindow> tree;
  EnumChildWindows(AWnd, CollectTreeWindow, reinterpret_cast<LPARAM>(&tree));
  return AttachTree(this, tree, AWnd);
}

bool TacProvider::AttachChild(HWND AWnd) {
  // (The adapters' own table first: asking the window is a message each time the children are
  // attached again.)
  if (GetWndAdapter(AWnd) || AskWindow(AWnd, QC_ISSKINNED)) return true;
  RECT r{};
  GetWindowRect(AWnd, &r);
  const qv::TacDialogChildChoice choice =
      qv::DialogChildAdapter(qv::LowerClassName(ClassNameOf(AWnd)), std::uint32_t(GetWindowLongPtrA(AWnd, GWL_STYLE)),
                             r.right - r.left, r.bottom - r.top);
  if (choice.Kind == TacDialogChildKind::Refuse) return false;
  const TacAdapterMaker maker = DialogChildMakers[std::size_t(choice.Kind)];
  if (!maker || !DefaultManager) return true;
  TacMainWnd* a = nullptr;
  {
    TAttachingScope attaching;
    a = maker(AWnd, nullptr, DefaultManager, choice.Section, true);
  }
  if (!a) return true;
  if (a->Destroyed) {
    a->Free();
    return true;
  }
  a->DialogMode = true;
  Adapters->Add(a);
  UpdateWndRects(AWnd, a->ParentWnd, a->WndRect, a->WndPos, a->WndSize, a->ParentRect);
  return true;
}
