// The provider's life: taking the form over and giving it back, following the skin manager, and
// readying the form for a skin (window-menu style, system menu, title-button images, colour,
// menus).
#include "classlib/core/TypInfo.h"
#include "skin/windows/sSkinProvider/Internal.h"

#include <array>

using namespace acsp;

TsSkinProvider* StateChangingProvider = nullptr;
TsSkinProvider* MDISkinProvider = nullptr;
bool ChildMaximizing = false;
bool ButtonPressed = false;
bool MenuRebuildLock = false;
TObject* (*CreateMDIFormProc)(TsSkinProvider* Provider) = nullptr;
void (*MDIFormConnectProc)(TObject* MDIForm) = nullptr;
void (*MDIFormRefreshProc)(TObject* MDIForm) = nullptr;

namespace {

// The menu line a form's items are painted over: the MDI frame's when there is one, else that of
// the provider serving the form.
TBitmap* MenuLineImageOf(HWND FormWnd) {
  TsSkinProvider* provider = MDISkinProvider;
  if (!provider && FormWnd) provider = TsSkinProvider::FromAnswer(SendSkinCommand(FormWnd, QC_GETPROVIDER));
  return provider ? provider->TempBmp : nullptr;
}
const bool kMenuLineHook = (MenuLineImageProc = &MenuLineImageOf, true);

}  // namespace

namespace acsp {

std::unordered_set<const TsSkinProvider*>& LiveProviders() {
  static std::unordered_set<const TsSkinProvider*> set;
  return set;
}

TRect WindowRectOf(HWND Wnd) {
  RECT r{};
  if (Wnd) GetWindowRect(Wnd, &r);
  return FromRECT(r);
}

void SendNCPaint(TCustomForm* Form) {
  if (Form && Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_NCPAINT, 1, 0);
}

bool Iconic(const TCustomForm* Form) {
  return Form && Form->HandleAllocated() && IsIconic(const_cast<TCustomForm*>(Form)->Handle());
}

bool Zoomed(const TCustomForm* Form) {
  return Form && Form->HandleAllocated() && IsZoomed(const_cast<TCustomForm*>(Form)->Handle());
}

TMainMenu* MainMenuOf(const TCustomForm* Form) { return Form ? dynamic_cast<TMainMenu*>(Form->Menu()) : nullptr; }

TCustomForm* MaximizedChildOf(const TCustomForm* Frame) {
  if (!Frame || Frame->FormStyle() != fsMDIForm || !Frame->ClientHandle()) return nullptr;
  BOOL maximized = FALSE;
  HWND active = HWND(SendMessageA(Frame->ClientHandle(), WM_MDIGETACTIVE, 0, LPARAM(&maximized)));
  if (!active || !maximized) return nullptr;
  return dynamic_cast<TCustomForm*>(FindControl(active));
}

bool MDIProviderSkinned() { return IsLive(MDISkinProvider) && MDISkinProvider->Skinned(); }

}  // namespace acsp

// ---- Windows version and metrics --------------------------------------------------------------------------

namespace {

int SystemMajorVersion() {
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  GetVersionExA(&vi);
  return int(vi.dwMajorVersion);
}

// The common controls' flat scroll bars of a window switched on or off (looked up: not every
// import library of the common controls carries them).
void FlatScrollBars(HWND wnd, bool on) {
  using TFlatSB = BOOL(WINAPI*)(HWND);
  static const HMODULE comctl = GetModuleHandleA("comctl32.dll");
  if (!comctl) return;
  static const auto init =
      reinterpret_cast<TFlatSB>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitializeFlatSB")));
  static const auto uninit =
      reinterpret_cast<TFlatSB>(reinterpret_cast<void*>(GetProcAddress(comctl, "UninitializeFlatSB")));
  if (on && init) init(wnd);
  if (!on && uninit) uninit(wnd);
}

int InjectedVersion = 0;
TFrameMetricSource MetricSource = nullptr;

// The system's metrics as last asked. Some are measured from a font at every asking (the caption
// and menu heights take some 20 us each under Wine), and a composition or a hit test of the frame
// asks for them dozens of times.
constexpr int kKeptMetrics = 100;
constexpr int kUnasked = -0x7FFF;
std::array<int, kKeptMetrics> KeptMetrics = [] {
  std::array<int, kKeptMetrics> a{};
  a.fill(kUnasked);
  return a;
}();

}  // namespace

int ProviderWinVersion() {
  static const int system = SystemMajorVersion();
  return InjectedVersion > 0 ? InjectedVersion : system;
}

void SetProviderWinVersion(int Major) { InjectedVersion = Major; }

void SetFrameMetricSource(TFrameMetricSource Source) { MetricSource = Source; }

int FrameMetric(int Index) {
  if (MetricSource) return MetricSource(Index);
  if (Index < 0 || Index >= kKeptMetrics) return GetSystemMetrics(Index);
  int& kept = KeptMetrics[std::size_t(Index)];
  if (kept == kUnasked) kept = GetSystemMetrics(Index);
  return kept;
}

void ForgetFrameMetrics() { KeptMetrics.fill(kUnasked); }

// ---- Construction and destruction ---------------------------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(AOwner) {
  // (The settings may have changed while no form was served to hear of it.)
  ForgetFrameMetrics();
  Form = GetOwnerForm(AOwner);
  SkinData = new TsCommonData(this, true);
  SkinData->SetSkinSection("FORM");
  SkinData->TypeCode = tcForm;
  if (Form && !Form->ControlState().Empty()) SkinData->SetUpdating(true);
  TitleIcon = new TsTitleIcon();
  TitleButtons = new TsTitleButtons(this);
  // A form is taken over once: a provider found in the list of skinned forms or answering for the
  // form's window leaves this one inert, wherever it is owned.
  if (Form && ProviderOf(Form)) {
    Form = nullptr;
    if (ComponentState().Contains(csDesigning))
      ShowWarning("Only one instance of the TsSkinProvider component is allowed!");
  }
  LiveProviders().insert(this);
  if (!Form || ComponentState().Contains(csDesigning)) {
    Form = nullptr;
    return;
  }
  Form->SetDoubleBuffered(false);
  TitleBmp = CreateBmp24(0, 0);
  TempBmp = CreateBmp24(0, 0);
  FirstInit = true;
  RegionRects.assign(1, TRect{});
  MenuLineRows = -1;
  OldWndProc = Form->WindowProc;
  Form->WindowProc = MakeMethod<&TsSkinProvider::NewWndProc>(this);
  // The provider hears when the form goes, however it is owned.
  Form->FreeNotification(this);
  AddSkinnedForm(Form);
  FrameDirty = true;
}

TsSkinProvider::~TsSkinProvider() {
  *Alive_ = false;
  GiveFormBack();
  LiveProviders().erase(this);
  if (MDISkinProvider == this) MDISkinProvider = nullptr;
  if (MaximizingMDIChild == this) MaximizingMDIChild = nullptr;
  if (StateChangingProvider == this) StateChangingProvider = nullptr;
  FreeAndNil(MDIForm);
  FreeAndNil(Adapter);
  FreeAndNil(FormScrollWnd);
  delete TitleBmp;
  delete MenuLineBmp;
  delete TempBmp;
  delete TitleStripBmp;
  delete TitleIcon;
  delete TitleButtons;
  delete SkinData;
}

void TsSkinProvider::AfterConstruction() {
  TComponent::AfterConstruction();
  TsSkinManager* sm = SkinData->SkinManager();
  if (!Form || !sm || !sm->Active() || ComponentState().Contains(csDesigning)) return;
  PrepareForm();
  // Put on a form that shows already: its frame is drawn in the skin now.
  if (Skinned() && Form->HandleAllocated() && IsWindowVisible(Form->Handle())) {
    RepaintFrame();
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
}

void TsSkinProvider::BeforeDestruction() {
  GiveFormBack();
  TComponent::BeforeDestruction();
}

void TsSkinProvider::GiveFormBack() {
  if (!Form) return;
  TCustomForm* form = Form;
  if (acsp::DragFrameRunning(this)) EndDragFrame(false);
  HideCaptionForm();
  FreeMDIButtonsForm();
  FreeAndNil(FormScrollWnd);
  RemoveSkinnedForm(form);
  form->WindowProc = OldWndProc;
  form->RemoveFreeNotification(this);
  Form = nullptr;
  // An MDI child leaves the frame's merged menu line to be painted again.
  if (form->FormStyle() == fsMDIChild && MainMenuOf(form) && IsLive(MDISkinProvider) && MDISkinProvider->Form &&
      !Dying(MDISkinProvider) && !Dying(MDISkinProvider->Form)) {
    MDISkinProvider->SkinData->BGChanged = true;
    MDISkinProvider->MenuLineRows = -1;
    SendNCPaint(MDISkinProvider->Form);
  }
  if (MDISkinProvider == this) {
    FreeAndNil(MDIForm);
    MDISkinProvider = nullptr;
  }
  if (Dying(form)) return;
  // The form gets back what the skin changed: its window-menu style, region and colour.
  if (SysMenuStyleRemoved && form->HandleAllocated()) {
    const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
    SetWindowLongA(form->Handle(), GWL_STYLE, style | WS_SYSMENU);
  }
  SysMenuStyleRemoved = false;
  if (ColorSaved_) {
    form->SetColor(DesignedColor_);
    ColorSaved_ = false;
  }
  if (form->HandleAllocated()) {
    SetWindowRgn(form->Handle(), nullptr, FALSE);
    if (IsWindowVisible(form->Handle()))
      SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

TsSkinProvider* TsSkinProvider::FromAnswer(LRESULT Answer) {
  auto* p = reinterpret_cast<TsSkinProvider*>(Answer);
  return IsLive(p) ? p : nullptr;
}

TsSkinProvider* TsSkinProvider::ProviderOf(const TCustomForm* AForm) {
  if (!AForm) return nullptr;
  for (const TsSkinProvider* p : LiveProviders())
    if (p->Form == AForm) return const_cast<TsSkinProvider*>(p);
  auto* form = const_cast<TCustomForm*>(AForm);
  if (form->HandleAllocated()) return FromAnswer(SendSkinCommand(form->Handle(), QC_GETPROVIDER));
  return nullptr;
}

bool TsSkinProvider::HasSysMenu() const {
  if (SysMenuStyleRemoved) return true;
  if (!Form) return false;
  if (Form->HandleAllocated()) return (GetWindowLongA(Form->Handle(), GWL_STYLE) & WS_SYSMENU) != 0;
  return Form->BorderIcons().Contains(biSystemMenu);
}

bool TsSkinProvider::Skinned() const { return Form && !Dying(Form) && SkinData->Skinned(); }

void TsSkinProvider::InitAdapter() {
  if (ComponentState().Contains(csDesigning) || Adapter || !SkinData->Skinned()) return;
  Adapter = Create<TacCtrlAdapter>(this);
  Adapter->AddAllItems(nullptr);
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm && Form && !ComponentState().Contains(csDesigning) && SkinData->Skinned()) {
    if (!Adapter) InitAdapter();
    PrepareForm();
    if (SystemMenu) SystemMenu->UpdateItems();
  }
  if (sm) {
    const int global = sm->ConstData().GlobalInfo;
    TitleButtonMask = sm->LookupMask(global, "GLOBALINFO", "TITLEBUTTON");
    if (TitleButtonMask < 0)
      TitleButtonMask = sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBUTTON");
  }
  for (int i = 0; i < TitleButtons->Count(); ++i) {
    TsTitleButton* b = TitleButtons->Items(i);
    b->BtnData.ImageIndex = b->UseSkinData() ? TitleButtonMask : -1;
  }
  if (MDIForm && MDIFormConnectProc) MDIFormConnectProc(MDIForm);
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == Form) {
    // The form is being freed (while still whole): the provider lets go of it.
    GiveFormBack();
    return;
  }
  if (auto* sm = dynamic_cast<TsSkinManager*>(AComponent)) {
    if (Operation == opInsert && !SkinData->OwnSkinManager())
      SkinData->SetSkinManager(sm);
    else if (Operation == opRemove && SkinData->OwnSkinManager() == sm)
      SkinData->SetSkinManager(nullptr);
    return;
  }
  if (Operation == opInsert && Adapter)
    if (auto* wc = dynamic_cast<TWinControl*>(AComponent); wc && Adapter->IsControlSupported(wc))
      Adapter->AddNewItem(wc);
}

// ---- Published properties --------------------------------------------------------------------------------

void TsSkinProvider::NotifyFormChanged() {
  FreeKeptParts();
  SkinData->BGChanged = true;
  if (Form && Form->HandleAllocated() && IsWindowVisible(Form->Handle())) SendNCPaint(Form);
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
  if (ShowAppIcon == Value) return;
  ShowAppIcon = Value;
  NotifyFormChanged();
}

void TsSkinProvider::SetCaptionAlignment(TAlignment Value) {
  if (CaptionAlignment == Value) return;
  CaptionAlignment = Value;
  NotifyFormChanged();
}

void TsSkinProvider::SetTitleSkin(const std::string& Value) {
  if (TitleSkin == Value) return;
  TitleSkin = Value;
  NotifyFormChanged();
}

void TsSkinProvider::SetMenuLineSkin(const std::string& Value) {
  if (MenuLineSkin == Value) return;
  MenuLineSkin = Value;
  KeptMenuLine_.reset();
  if (ComponentState().Contains(csDesigning)) SkinData->Invalidate();
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
  if (UseGlobalColor == Value) return;
  UseGlobalColor = Value;
  if (!Form) return;
  if (Skinned() && Value && !SkinData->CustomColor)
    ApplyGlobalColor();
  else
    RestoreDesignedColor();
}

std::string TsSkinProvider::GetTitleSkin() const { return TitleSkin.empty() ? std::string("FORMTITLE") : TitleSkin; }

// ---- Colours --------------------------------------------------------------------------------------------

void TsSkinProvider::ApplyGlobalColor() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!Form || !sm) return;
  // The colour the form was given by its program comes back when the skin goes.
  if (!ColorSaved_) {
    DesignedColor_ = Form->Color();
    ColorSaved_ = true;
  }
  Form->SetColor(sm->GetGlobalColor());
}

void TsSkinProvider::RestoreDesignedColor() {
  if (!Form || !ColorSaved_) return;
  ColorSaved_ = false;
  Form->SetColor(DesignedColor_);
}

// ---- Preparing the form -----------------------------------------------------------------------------------

void TsSkinProvider::PrepareForm() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm || !Form || !Form->HandleAllocated()) return;
  SkinData->Loaded();
  // Without the form's section the system keeps drawing the frame, buttons included.
  SetSystemMenuStyle(SkinData->Skinned());
  if (!SystemMenu) {
    SystemMenu = Create<TsSystemMenu>(this);
    SystemMenu->Form = Form;
    SystemMenu->UpdateItems();
  }
  if (FirstInit && sm->SkinData()->Active) {
    FirstInit = false;
    if (Form->FormStyle() == fsMDIForm && !ComponentState().Contains(csDesigning)) UpdateMDIForm(true);
  }
  SkinData->UpdateIndexes();
  UpdateIconIndexes();
  if (Form->FormStyle() == fsMDIChild && IsLive(MDISkinProvider) && MDISkinProvider != this && Skinned()) {
    MDISkinProvider->SkinData->BGChanged = true;
    MDISkinProvider->MenuLineRows = -1;
  }
  if (!Creating(Form) && !Reading(Form) && !Reading(this) && UseGlobalColor && !SkinData->CustomColor && Skinned())
    ApplyGlobalColor();
  PrepareMenus(Skinned());
  if (!MenuRebuilt && MainMenuOf(Form)) MenuRebuilt = RebuildMainMenu();
}

void TsSkinProvider::UpdateIconIndexes() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm) return;
  const int global = sm->ConstData().GlobalInfo;
  if (!sm->IsSectionIndex(global)) return;
  const bool mdiFrame = Form && Form->FormStyle() == fsMDIForm && !ComponentState().Contains(csDesigning);
  auto g = [&](const char* name) { return sm->LookupMask(global, "GLOBALINFO", name); };
  ButtonClose.ImageIndex = g("BICONCLOSE");
  if (ButtonClose.ImageIndex < 0) {
    // The skin keeps the title-button images with its form section.
    auto f = [&](const char* name) { return sm->LookupMask(SkinData->SkinIndex, "FORM", name); };
    ButtonMin.ImageIndex = f("BICONMIN");
    ButtonMax.ImageIndex = f("BICONMAX");
    ButtonClose.ImageIndex = f("BICONCLOSE");
    ButtonHelp.ImageIndex = f("BICONHELP");
    if (mdiFrame) {
      ButtonMDIMin.ImageIndex = ButtonMin.ImageIndex;
      ButtonMDIMax.ImageIndex = ButtonMax.ImageIndex;
      ButtonMDIClose.ImageIndex = ButtonClose.ImageIndex;
    }
  } else {
    const TFormBorderStyle bs = Form ? Form->BorderStyle() : bsSizeable;
    if (bs != bsSingle && bs != bsSizeable) {
      ButtonClose.ImageIndex = g("SICONCLOSE");
      ButtonMin.ImageIndex = g("SICONMIN");
      ButtonMax.ImageIndex = g("SICONMAX");
      ButtonHelp.ImageIndex = g("SICONHELP");
      if (ButtonHelp.ImageIndex < 0) ButtonHelp.ImageIndex = g("BICONHELP");
    } else {
      ButtonMin.ImageIndex = g("BICONMIN");
      ButtonMax.ImageIndex = g("BICONMAX");
      ButtonClose.ImageIndex = g("BICONCLOSE");
      ButtonHelp.ImageIndex = g("BICONHELP");
    }
    if (sm->IsMaskIndex(ButtonClose.ImageIndex)) {
      if (mdiFrame) {
        ButtonMDIMin.ImageIndex = g("SICONMIN");
        ButtonMDIMax.ImageIndex = g("SICONMAX");
        ButtonMDIClose.ImageIndex = g("SICONCLOSE");
      }
      if (ButtonMDIMin.ImageIndex < 0) {
        ButtonMDIMin.ImageIndex = ButtonMin.ImageIndex;
        ButtonMDIMax.ImageIndex = ButtonMax.ImageIndex;
        ButtonMDIClose.ImageIndex = ButtonClose.ImageIndex;
      }
    } else {
      ButtonClose.ImageIndex = g("BICONCLOSE");
      ButtonMin.ImageIndex = g("BICONMIN");
      ButtonMax.ImageIndex = g("BICONMAX");
      ButtonHelp.ImageIndex = g("BICONHELP");
      if (mdiFrame) {
        ButtonMDIMin.ImageIndex = ButtonMin.ImageIndex;
        ButtonMDIMax.ImageIndex = ButtonMax.ImageIndex;
        ButtonMDIClose.ImageIndex = ButtonClose.ImageIndex;
      }
    }
  }
  TitleButtonMask = g("TITLEBUTTON");
}

void TsSkinProvider::SetSystemMenuStyle(bool Skinned) {
  if (!Form || !Form->HandleAllocated()) return;
  const HWND wnd = Form->Handle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  if (Skinned) {
    if ((style & WS_SYSMENU) || SysMenuStyleRemoved) {
      if (style & WS_SYSMENU) SetWindowLongA(wnd, GWL_STYLE, style & ~LONG(WS_SYSMENU));
      SysMenuStyleRemoved = true;
    } else {
      SysMenuStyleRemoved = false;
    }
  } else {
    if (SysMenuStyleRemoved) SetWindowLongA(wnd, GWL_STYLE, style | WS_SYSMENU);
    SysMenuStyleRemoved = false;
  }
}

void TsSkinProvider::PrepareMenus(bool Skinned) {
  if (!Form || Dying(Form)) return;
  TsSkinManager* sm = SkinData->SkinManager();
  TacSkinableMenus* menus = SkinableMenusOf(sm);
  if (!menus || !sm->IsDefault()) return;
  menus->SetSkinned(sm->SkinData()->Active);
  menus->InitComponent(Form, Skinned);
}

bool TsSkinProvider::RebuildMainMenu() {
  if (MenuRebuildLock || !Form) return false;
  TMainMenu* menu = MainMenuOf(Form);
  if (!menu || menu->Items()->Count() == 0 || !Form->HandleAllocated()) return false;
  MenuRebuildLock = true;
  // The bar measured and laid out again with the items as they are drawn now.
  if (GetMenu(Form->Handle())) DrawMenuBar(Form->Handle());
  MenuLineRows = -1;
  MenuRebuildLock = false;
  return true;
}

void TsSkinProvider::UpdateMDIForm(bool Create) {
  if (Create) {
    if (MDIForm) return;
    MDISkinProvider = this;
    if (CreateMDIFormProc) MDIForm = CreateMDIFormProc(this);
  } else {
    FreeAndNil(MDIForm);
  }
}

void TsSkinProvider::UpdateFormScrollBars() {
  // A form scrolls when its window carries scroll bars.
  if (!Form || Dying(Form) || !Form->HandleAllocated()) return;
  const HWND wnd = Form->Handle();
  if (!(GetWindowLongA(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))) return;
  if (Skinned()) {
    FlatScrollBars(wnd, false);
    if (FormScrollWnd && FormScrollWnd->Destroyed) FreeAndNil(FormScrollWnd);
    if (!FormScrollWnd) FormScrollWnd = Create<TacScrollWnd>(wnd, SkinData, SkinData->SkinManager(), "FORM", true);
  } else if (FormScrollWnd) {
    FreeAndNil(FormScrollWnd);
    FlatScrollBars(wnd, true);
  }
}

void TsSkinProvider::DetachAdapter() {
  // The adapted controls heard the removal with the form's other controls (SkinRemoved passes it
  // on before): the adapters leave their windows.
  if (ComponentState().Contains(csDesigning) || !Adapter) return;
  FreeAndNil(Adapter);
}

void TsSkinProvider::BroadcastToAdapter(TMessage& Message) {
  if (ComponentState().Contains(csDesigning) || !Adapter) return;
  Adapter->BroadcastMessage(Message);
}

void TsSkinProvider::RepaintFrame() {
  SkinData->BGChanged = true;
  FrameDirty = true;
  MenuLineRows = -1;
  SendNCPaint(Form);
}

void TsSkinProvider::LockFormRedraw(bool AlsoFrame) {
  if (!Form || !Form->HandleAllocated()) return;
  SkinData->BeginUpdate();
  SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
  if (AlsoFrame && Form->FormStyle() == fsMDIChild && IsLive(MDISkinProvider) && MDISkinProvider != this)
    MDISkinProvider->LockFormRedraw(false);
}

void TsSkinProvider::UnlockFormRedraw(bool AlsoFrame) {
  if (!Form || !Form->HandleAllocated()) return;
  SkinData->EndUpdate();
  SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
  if (AlsoFrame && Form->FormStyle() == fsMDIChild && IsLive(MDISkinProvider) && MDISkinProvider != this)
    MDISkinProvider->UnlockFormRedraw(false);
}

// ---- Published properties and the class kind -----------------------------------------------------------

namespace {
const bool kProviderKind = RegisterClassKindOf<TsSkinProvider>(TacClassKind::SkinProvider);
const bool kProviderProps = RegisterProperties<TsSkinProvider, TComponent>([](auto& p) {
  p.Ord("MakeSkinMenu", &TsSkinProvider::GetMakeSkinMenu, &TsSkinProvider::SetMakeSkinMenu);
  p.Ord("ShowAppIcon", &TsSkinProvider::GetShowAppIcon, &TsSkinProvider::SetShowAppIcon);
  p.Ord("CaptionAlignment", &TsSkinProvider::GetCaptionAlignment, &TsSkinProvider::SetCaptionAlignment);
  p.Obj("TitleIcon", &TsSkinProvider::GetTitleIcon, &TsSkinProvider::SetTitleIcon);
  p.Obj("TitleButtons", &TsSkinProvider::GetTitleButtons, &TsSkinProvider::SetTitleButtons);
  p.Ord("GripMode", &TsSkinProvider::GetGripMode, &TsSkinProvider::SetGripMode);
  p.Ord("ResizeMode", &TsSkinProvider::GetResizeMode, &TsSkinProvider::SetResizeMode);
  p.Ord("ScreenSnap", &TsSkinProvider::GetScreenSnap, &TsSkinProvider::SetScreenSnap);
  p.Ord("SnapBuffer", &TsSkinProvider::GetSnapBuffer, &TsSkinProvider::SetSnapBuffer);
  p.Obj("SkinData", &TsSkinProvider::GetSkinData);
  p.Ord("UseGlobalColor", &TsSkinProvider::GetUseGlobalColor, &TsSkinProvider::SetUseGlobalColor);
  p.Str("TitleSkin", &TsSkinProvider::GetTitleSkinProp, &TsSkinProvider::SetTitleSkin);
  p.Str("MenuLineSkin", &TsSkinProvider::GetMenuLineSkin, &TsSkinProvider::SetMenuLineSkin);
  p.Method("OnSkinItem", &TsSkinProvider::GetOnSkinItem, &TsSkinProvider::SetOnSkinItem);
});
}  // namespace
