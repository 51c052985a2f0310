#include "skin/engine/sCommonData.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sSkinManager.h"

// ---- Process-wide state -------------------------------------------------------------------------

UINT RegisteredSkinCommand = 0;
TsCacheInfo SharedCacheInfo;
const TsCacheInfo EmptyCacheInfo{};
TColor SharedParentColor = clParentColorUnset;
bool SkinChanging = false;
bool SkinRemoving = false;
HDC PrintDC = nullptr;
TSetWindowTheme acSetWindowTheme = nullptr;
TObject* (*GetApplicationObject)() = [] { return static_cast<TObject*>(Application); };
TControl* (*CreateEditLabelProc)(TsBoundLabel* BoundLabel) = nullptr;
std::unique_ptr<TacControlScrollBars> (*CreateControlScrollBarsProc)(TsCommonData* SkinData) = nullptr;
std::unique_ptr<TacControlComboList> (*CreateComboListProc)(HWND ListWnd, TsSkinManager* Manager,
                                                            bool Simple) = nullptr;

void UpdateControlScrollBars(TsCommonData* SkinData, std::unique_ptr<TacControlScrollBars>& Bars) {
  if (!SkinData || !SkinData->Skinned(false) || !CreateControlScrollBarsProc) {
    Bars.reset();
    return;
  }
  if (Bars && Bars->WindowGone()) Bars.reset();
  if (!Bars) Bars = CreateControlScrollBarsProc(SkinData);
}

namespace {

using TIsAppThemed = BOOL(WINAPI*)();
TIsAppThemed acIsAppThemed = nullptr;
bool UnitInitialized = false;

// Start-up work of the unit, run when the program starts.
struct TUnitInit {
  TUnitInit() { InitSkinEngineUnit(); }
} UnitInit;

std::string UpperCased(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsBeingDestroyed(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }

bool IsEditOwner(const TsCommonData* sd) {
  return sd->OwnerControl && (dynamic_cast<TCustomEdit*>(sd->OwnerControl) != nullptr || sd->TypeCode == tcCustomEdit);
}

}  // namespace

void InitSkinEngineUnit() {
  if (UnitInitialized) return;
  UnitInitialized = true;
  RegisteredSkinCommand = RegisterWindowMessageA(SkinCommandName);
  // uxtheme stays loaded for the life of the process once looked up.
  if (HMODULE ux = LoadLibraryA("uxtheme.dll")) {
    acSetWindowTheme = reinterpret_cast<TSetWindowTheme>(reinterpret_cast<void*>(GetProcAddress(ux, "SetWindowTheme")));
    acIsAppThemed = reinterpret_cast<TIsAppThemed>(reinterpret_cast<void*>(GetProcAddress(ux, "IsAppThemed")));
  }
}

bool ThemesInUse() { return acSetWindowTheme && acIsAppThemed && acIsAppThemed(); }

// ---- Type codes -------------------------------------------------------------------------------------

std::string DefaultSectionForType(std::uint8_t code) {
  switch (code) {
    case tcEdit:
    case tcMemo:
    case tcCustomEdit:
    case tcComboEdit:
    case tcCurrencyEdit: return "EDIT";
    case tcComboBox: return "COMBOBOX";
    case tcBar: return "BAR";
    case tcBarTitle: return "BARTITLE";
    case tcCheckBox:
    case tcCheckBoxAlt: return "CHECKBOX";
    case tcRadioButton: return "RADIOBUTTON";
    case tcPanel: return "PANEL";
    case tcPanelLow: return "PANEL_LOW";
    case tcToolBar: return "TOOLBAR";
    case tcDragBar: return "DRAGBAR";
    case tcTabSheet: return "TABSHEET";
    case tcGroupBox:
    case tcGroupBoxAlt: return "GROUPBOX";
    case tcSplitter: return "SPLITTER";
    case tcSpeedButton:
    case tcSpeedButtonAlt: return "SPEEDBUTTON";
    case tcButton:
    case tcBitBtn: return "BUTTON";
    case tcToolButton: return "TOOLBUTTON";
    case tcPageControl: return "PAGECONTROL";
    case tcStatusBar: return "STATUSBAR";
    case tcGauge: return "GAUGE";
    case tcTrackBar: return "TRACKBAR";
    default: return {};
  }
}

bool TypeIgnoresHover(std::uint8_t code) {
  switch (code) {
    case tcBar:
    case tcBarTitle:
    case tcPanel:
    case tcPanelLow:
    case tcToolBar:
    case tcDragBar:
    case tcSplitter:
    case tcGroupBox:
    case tcGroupBoxAlt:
    case tcPageControl:
    case tcTabSheet:
    case tcStatusBar:
    case tcGauge:
    case tcForm: return true;
    default: return false;
  }
}

bool TypeIsEdit(std::uint8_t code) {
  return code == tcEdit || code == tcMemo || code == tcCustomEdit || code == tcComboEdit || code == tcCurrencyEdit;
}

// ---- Class kinds -------------------------------------------------------------------------------------

namespace {
TacClassTest& ClassTest(TacClassKind Kind) {
  static TacClassTest tests[std::size_t(TacClassKind::Count)] = {};
  return tests[std::size_t(Kind)];
}
}  // namespace

void RegisterClassKind(TacClassKind Kind, TacClassTest Test) {
  if (Kind < TacClassKind::Count) ClassTest(Kind) = Test;
}

bool IsClassKind(const TObject* Obj, TacClassKind Kind) {
  if (!Obj || Kind >= TacClassKind::Count) return false;
  const TacClassTest test = ClassTest(Kind);
  return test && test(Obj);
}

// ---- TsCommonData ---------------------------------------------------------------------------------------

namespace {
std::unordered_map<const TControl*, TsCommonData*>& SkinDataRegistry() {
  static std::unordered_map<const TControl*, TsCommonData*> map;
  return map;
}
}  // namespace

TsCommonData* FindSkinData(const TControl* Control) {
  auto& map = SkinDataRegistry();
  auto it = map.find(Control);
  return it == map.end() ? nullptr : it->second;
}

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBmp) : OwnerObject(AOwner) {
  InitSkinEngineUnit();
  OwnerControl = dynamic_cast<TControl*>(AOwner);
  if (OwnerControl) {
    FRegistered = OwnerControl;
    SkinDataRegistry()[OwnerControl] = this;
  }
  if (CreateCacheBmp) {
    CacheBmp = new TBitmap();
    CacheBmp->SetPixelFormat(pf24bit);
    CacheBmp->SetHandleType(bmDIB);
  }
}

TsCommonData::~TsCommonData() {
  if (FRegistered) {
    auto& map = SkinDataRegistry();
    auto it = map.find(FRegistered);
    if (it != map.end() && it->second == this) map.erase(it);
  }
  delete CacheBmp;
  CacheBmp = nullptr;
}

bool TsCommonData::OwnerLoading() const {
  auto* c = dynamic_cast<TComponent*>(OwnerObject);
  return c && c->ComponentState().Contains(csLoading);
}

bool TsCommonData::OwnerDying() const {
  if (OwnerControl && IsBeingDestroyed(OwnerControl)) return true;
  return IsBeingDestroyed(dynamic_cast<TComponent*>(OwnerObject));
}

bool TsCommonData::OwnerIsProvider() const { return IsClassKind(OwnerObject, TacClassKind::SkinProvider); }

HWND TsCommonData::OwnerHandle() const {
  if (OwnerIsProvider()) {
    auto* form = dynamic_cast<TWinControl*>(static_cast<TComponent*>(dynamic_cast<TComponent*>(OwnerObject))->Owner());
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
  }
  auto* wc = dynamic_cast<TWinControl*>(OwnerControl);
  return wc && wc->HandleAllocated() ? wc->Handle() : nullptr;
}

TsSkinManager* TsCommonData::SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager; }

void TsCommonData::SetSkinManager(TsSkinManager* Manager) {
  FSkinManager = Manager;
  if (OwnerLoading()) return;
  UpdateIndexes();
  NotifySectionChange();
}

void TsCommonData::NotifySectionChange() {
  // In a skin switch the switch's walk tells every control, after its section is settled.
  if (!OwnerControl || !ControlIsReady(OwnerControl) || SkinSwitchRunning()) return;
  TsSkinManager* sm = SkinManager();
  const bool valid = sm && sm->IsSectionIndex(SkinIndex);
  SendControlSkinCommand(OwnerControl, valid ? QC_REFRESH : QC_SKINREMOVED, reinterpret_cast<LPARAM>(sm));
}

void TsCommonData::SetSkinSection(const std::string& Value) {
  // Section names are upper case: "edit" names the section already set as "EDIT".
  std::string section = Value.empty() ? std::string("UNKNOWN") : UpperCased(Value);
  if (Value == FSkinSection || section == FSkinSection) return;
  FSkinSection = std::move(section);
  UpdateIndexes();
  if (OwnerIsProvider()) {
    BGChanged = true;
    return;
  }
  if (!OwnerLoading()) NotifySectionChange();
}

void TsCommonData::UpdateIndexes() {
  BGChanged = true;
  SkinIndex = BorderIndex = Texture = HotTexture = -1;
  TsSkinManager* sm = SkinManager();
  if (!sm || IsBeingDestroyed(sm) || FSkinSection.empty()) return;
  SkinIndex = sm->SectionIndexOf(FSkinSection);
  if (SkinIndex < 0) return;
  BorderIndex = sm->LookupMask(SkinIndex, FSkinSection, "BORDERSMASK");
  Texture = sm->LookupMask(SkinIndex, FSkinSection, "PATTERN");
  HotTexture = sm->LookupMask(SkinIndex, FSkinSection, "HOTPATTERN");
}

void TsCommonData::ApplyEditColors(bool skinned) {
  if (!IsEditOwner(this)) return;
  TsSkinManager* sm = SkinManager();
  if (skinned && sm && sm->IsSectionIndex(SkinIndex)) {
    const TsGeneralData& gd = sm->Section(SkinIndex);
    if (!CustomColor) OwnerControl->SetColor(TColor(gd.Color));
    if (!CustomFont) OwnerControl->Font()->SetColor(TColor(gd.FontColor.Text()));
  } else {
    if (!CustomColor) OwnerControl->SetColor(clWindow);
    if (!CustomFont) OwnerControl->Font()->SetColor(clWindowText);
  }
}

void TsCommonData::Loaded() {
  if (FSkinSection.empty()) {
    std::string section = DefaultSectionForType(TypeCode);
    if (section.empty() && OwnerObject) section = OwnerObject->ClassName();
    SetSkinSection(section);
  } else {
    UpdateIndexes();
  }
  if (!OwnerControl || !Skinned() || !OwnerControl->Parent() || OwnerLoading()) return;
  if (OwnerControl->IsWindowControl()) AnnounceToParentForm(OwnerControl);
  ApplyEditColors(true);
}

bool TsCommonData::Skinned(bool CheckActive) const {
  if (OwnerDying()) return false;
  TsSkinManager* sm = SkinManager();
  if (!sm || IsBeingDestroyed(sm)) return false;
  if (CheckActive && !sm->SkinData()->Active) return false;
  return sm->IsSectionIndex(SkinIndex);
}

bool TsCommonData::Updating() const {
  if (!OwnerControl || IsBeingDestroyed(OwnerControl)) return FUpdating;
  TsSkinManager* sm = SkinManager();
  if (!sm || !sm->SkinData()->Active) return true;
  if (FUpdating) return true;
  TWinControl* parent = OwnerControl->Parent();
  if (!parent) return true;
  // The answer comes back in Result (see the note on query answers in the header).
  return SendControlSkinCommand(parent, QC_ISBUSY) == 1;
}

void TsCommonData::BeginUpdate() {
  FUpdating = true;
  if (OwnerIsProvider()) {
    if (HWND wnd = OwnerHandle()) SendSkinCommand(wnd, QC_BEGINUPDATE);
  } else if (OwnerControl) {
    SendControlSkinCommand(OwnerControl, QC_BEGINUPDATE);
  }
}

void TsCommonData::EndUpdate() {
  FUpdating = false;
  if (OwnerIsProvider()) {
    if (HWND wnd = OwnerHandle()) SendSkinCommand(wnd, QC_ENDUPDATE);
  } else if (OwnerControl) {
    SendControlSkinCommand(OwnerControl, QC_ENDUPDATE);
  }
}

void TsCommonData::Invalidate() {
  if (!OwnerControl || OwnerLoading() || OwnerDying() || OwnerControl->Loading()) return;
  BGChanged = true;
  if (ControlIsReady(OwnerControl)) OwnerControl->Invalidate();
}

bool TsCommonData::IsHot() const {
  if (!OwnerControl || !OwnerControl->Enabled() || OwnerControl->ComponentState().Contains(csDesigning)) return false;
  const bool focused = dynamic_cast<TWinControl*>(OwnerControl) ? OwnerFocused() : Focused;
  return focused || (MouseAbove && !TypeIgnoresHover(TypeCode));
}

bool TsCommonData::OwnerFocused() const {
  auto* wc = dynamic_cast<TWinControl*>(OwnerControl);
  if (!wc) return false;
  // Painters ask it many times in one paint: the control is asked once.
  TsParentAnswers* kept = TsParentAnswers::For(OwnerControl);
  if (kept && kept->HasFocused_) return kept->Focused_;
  const bool focused = wc->HandleAllocated() && wc->Focused();
  if (kept) kept->Focused_ = focused, kept->HasFocused_ = true;
  return focused;
}

void TsCommonData::InitCacheBmp() {
  if (!CacheBmp) CacheBmp = new TBitmap();
  if (CacheBmp->PixelFormat() != pf24bit) CacheBmp->SetPixelFormat(pf24bit);
  if (CacheBmp->HandleType() != bmDIB) CacheBmp->SetHandleType(bmDIB);
  if (OwnerControl && (CacheBmp->Width() != OwnerControl->Width() || CacheBmp->Height() != OwnerControl->Height()))
    CacheBmp->SetSize(std::max(0, OwnerControl->Width()), std::max(0, OwnerControl->Height()));
}

bool TsCommonData::RepaintIfMoved() const {
  if (AlwaysRepaint || !OwnerControl) return true;
  if (!Skinned()) return true;
  if (dynamic_cast<const TTabSheet*>(OwnerControl)) return true;  // a page, skinned or not
  if (OwnerControl->ControlState().Contains(csCreating) || !OwnerControl->Visible()) return true;
  TsSkinManager* sm = SkinManager();
  if (!sm->IsSectionIndex(SkinIndex)) return false;
  if (!OwnerControl->Enabled() || sm->Section(SkinIndex).Transparency > 0) return true;
  // An opaque control still repaints when its parent does (a transparent parent shows what lies
  // under it, so the background under the child changes with every move).
  TWinControl* parent = OwnerControl->Parent();
  if (parent && parent->HandleAllocated()) return SendControlSkinCommand(parent, QC_ISTRANSPARENT) == 1;
  return false;
}

bool ControlIsReady(const TControl* Control) {
  if (!Control || !Control->Parent()) return false;
  if (Control->IsWindowControl() && !static_cast<const TWinControl*>(Control)->HandleAllocated()) return false;
  const TComponentState cs = Control->ComponentState();
  if (cs.Contains(csLoading) || cs.Contains(csDestroying) || cs.Contains(csReading)) return false;
  const TControlState st = Control->ControlState();
  return !st.Contains(csCreating) && !st.Contains(csReadingState) && !st.Contains(csDestroyingHandle);
}

// ---- Commands -------------------------------------------------------------------------------------

LRESULT SendSkinCommand(HWND Wnd, int Command, LPARAM LParam, std::uint16_t Arg) {
  if (!Wnd) return 0;
  return SendMessageA(Wnd, SM_QUORVEXCMD, SkinCommandWParam(Command, Arg), LParam);
}

LRESULT SendControlSkinCommand(TControl* Control, int Command, LPARAM LParam, std::uint16_t Arg) {
  if (!Control) return 0;
  if (!Control->IsWindowControl()) return Control->Perform(SM_QUORVEXCMD, SkinCommandWParam(Command, Arg), LParam);
  auto* wc = static_cast<TWinControl*>(Control);
  if (wc->HandleAllocated() && !IsBeingDestroyed(wc)) return SendSkinCommand(wc->Handle(), Command, LParam, Arg);
  return 0;
}

bool AskControl(TControl* Control, int Command) {
  if (!Control) return false;
  TMessage m = MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(Command), 0);
  if (Control->WindowProc) Control->WindowProc(m);
  if (m.Result == 1 || m.LParam == 1) return true;
  if (Control->IsWindowControl()) {
    auto* wc = static_cast<TWinControl*>(Control);
    if (wc->HandleAllocated()) return SendSkinCommand(wc->Handle(), Command) == 1;
  }
  return false;
}

bool AskWindow(HWND Wnd, int Command) { return Wnd && IsWindow(Wnd) && SendSkinCommand(Wnd, Command) == 1; }

namespace {
TsParentAnswers* InnermostAnswers = nullptr;
}

TsParentAnswers::TsParentAnswers(TControl* Control) : Control_(Control), Outer_(InnermostAnswers) {
  InnermostAnswers = this;
}

TsParentAnswers::~TsParentAnswers() { InnermostAnswers = Outer_; }

TsParentAnswers* TsParentAnswers::For(const TControl* Control) {
  for (TsParentAnswers* a = InnermostAnswers; a; a = a->Outer_)
    if (a->Control_ == Control) return a;
  return nullptr;
}

TsCacheInfo AskParentCache(TsCommonData* SkinData) {
  TsParentAnswers* kept = SkinData ? TsParentAnswers::For(SkinData->OwnerControl) : nullptr;
  if (kept && kept->HasCache_) {
    SharedCacheInfo = kept->Cache_;
    return SharedCacheInfo;
  }
  SharedCacheInfo = TsCacheInfo{};
  if (SkinData && SkinData->OwnerControl && SkinData->OwnerControl->Parent())
    SendControlSkinCommand(SkinData->OwnerControl->Parent(), QC_GETCACHE);
  if (kept) kept->Cache_ = SharedCacheInfo, kept->HasCache_ = true;
  return SharedCacheInfo;
}

TsCacheInfo AskParentCacheWnd(HWND Wnd) {
  SharedCacheInfo = TsCacheInfo{};
  if (Wnd) {
    if (HWND parent = GetParent(Wnd)) SendSkinCommand(parent, QC_GETCACHE);
  }
  return SharedCacheInfo;
}

TsCacheInfo BuildCacheInfo(TBitmap* Bmp, int X, int Y) { return TsCacheInfo{Bmp, X, Y, true}; }

void UpdateParentColor(TControl* Control) {
  TsParentAnswers* kept = TsParentAnswers::For(Control);
  if (kept && kept->HasColor_) {
    SharedParentColor = kept->Color_;
    return;
  }
  // Reset first: an answer left over from an earlier question must never be taken for this one.
  SharedParentColor = clParentColorUnset;
  if (!Control || !Control->Parent()) return;
  TWinControl* parent = Control->Parent();
  SendControlSkinCommand(parent, QC_GETPARENTCOLOR);
  if (SharedParentColor == clParentColorUnset) SharedParentColor = TColor(ColorToRGB(parent->Color()));
  if (kept) kept->Color_ = SharedParentColor, kept->HasColor_ = true;
}

void AnnounceToParentForm(TControl* Control) {
  if (!Control || Control->ComponentState().Contains(csDesigning)) return;
  auto* top = dynamic_cast<TWinControl*>(Control->GetTopParent());
  if (!top || top == Control || !top->HandleAllocated()) return;
  // In a skin switch each form hears of its controls once, when the commands have walked.
  if (SkinSwitchWalking()) {
    AnnounceAfterSwitch(top->Handle(), Control);
    return;
  }
  SendSkinCommand(top->Handle(), QC_CONTROLANNOUNCE, reinterpret_cast<LPARAM>(Control));
}

namespace {

// Handlers of the skin commands and messages every skinned control answers alike.

// The manager's skin went away: no indexes, no cache; edits go back to the window colours.
void SkinRemoved(TsCommonData* sd) {
  sd->SkinIndex = sd->BorderIndex = sd->Texture = sd->HotTexture = -1;
  sd->SetUpdating(true);
  if (sd->CacheBmp) sd->CacheBmp->SetSize(0, 0);
  if (IsEditOwner(sd) && !IsBeingDestroyed(sd->OwnerControl)) {
    if (!sd->CustomColor) sd->OwnerControl->SetColor(clWindow);
    if (!sd->CustomFont) sd->OwnerControl->Font()->SetColor(clWindowText);
  }
}

// The skin is to be shown again: edits take the section's colours, windows tell their form.
void SkinRefreshed(TsCommonData* sd) {
  sd->BGChanged = true;
  sd->SetUpdating(false);
  if (!sd->OwnerControl || IsBeingDestroyed(sd->OwnerControl)) return;
  if (IsEditOwner(sd) && sd->Skinned()) {
    const TsGeneralData& gd = sd->SkinManager()->Section(sd->SkinIndex);
    if (!sd->CustomColor) sd->OwnerControl->SetColor(TColor(gd.Color));
    if (!sd->CustomFont) sd->OwnerControl->Font()->SetColor(TColor(gd.FontColor.Text()));
  }
  if (sd->OwnerControl->IsWindowControl() && sd->Skinned()) AnnounceToParentForm(sd->OwnerControl);
}

// The parent moved under a control that shows it through: repainted (with its frame when
// redraw is set) and the news passed on to its children.
void ParentMoved(TsCommonData* sd, int redraw) {
  const bool must = sd->RepaintIfMoved();
  sd->BGChanged = sd->BGChanged || must;
  auto* wc = dynamic_cast<TWinControl*>(sd->OwnerControl);
  if (!must || !wc || !wc->HandleAllocated() || IsBeingDestroyed(wc)) return;
  if (redraw == 1) RedrawWindow(wc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  for (int i = 0; i < wc->ControlCount(); ++i) {
    TControl* child = wc->Controls(i);
    if (!child || IsBeingDestroyed(child)) continue;
    SendControlSkinCommand(child, QC_PARENTMOVED, 0, redraw);
  }
}

// A new size: a new image; under a gradient the children's backgrounds move too.
void Resized(TsCommonData* sd) {
  sd->BGChanged = true;
  auto* wc = dynamic_cast<TWinControl*>(sd->OwnerControl);
  if (!wc || !sd->Skinned() || sd->SkinManager()->Section(sd->SkinIndex).GradientPercent <= 0) return;
  for (int i = 0; i < wc->ControlCount(); ++i) {
    TControl* child = wc->Controls(i);
    if (child && !IsBeingDestroyed(child)) SendControlSkinCommand(child, QC_PARENTMOVED);
  }
}

// Shown: painted anew; hidden: the cache is let go.
void VisibleChanged(TsCommonData* sd, bool shown) {
  if (shown) {
    sd->SetUpdating(false);
    sd->BGChanged = true;
  } else if (sd->CacheBmp) {
    sd->CacheBmp->SetSize(0, 0);
  }
}

// The mouse entered the control: a speed button beside it still showing the mouse is left, the
// control is hot, and its window (or its parent's) is the manager's hot window.
void MouseEntered(TsCommonData* sd) {
  TControl* ctrl = sd->OwnerControl;
  if (!ctrl || ctrl->ComponentState().Contains(csDesigning)) return;
  if (TWinControl* parent = ctrl->Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* other = parent->Controls(i);
      if (!other || other == ctrl || !IsClassKind(other, TacClassKind::SpeedButton)) continue;
      TsCommonData* otherData = FindSkinData(other);
      if (otherData && otherData->MouseAbove) other->Perform(CM_MOUSELEAVE, 0, 0);
    }
  }
  if (!TypeIgnoresHover(sd->TypeCode)) sd->MouseAbove = true;
  if (TsSkinManager* sm = sd->SkinManager()) {
    auto* wc = dynamic_cast<TWinControl*>(ctrl);
    HWND hot = nullptr;
    if (wc && wc->HandleAllocated())
      hot = wc->Handle();
    else if (ctrl->Parent() && ctrl->Parent()->HandleAllocated())
      hot = ctrl->Parent()->Handle();
    if (hot) sm->SetHotWindow(hot);
  }
}

}  // namespace

bool HandleSkinCommand(TMessage& Message, TsCommonData* sd) {
  if (Message.Msg != SM_QUORVEXCMD || !sd) return false;
  const int cmd = Message.WParamHi();
  const bool arg1 = Message.WParamLo() == 1;
  TsSkinManager* sm = sd->SkinManager();
  const bool ownManager = sm && Message.LParam == reinterpret_cast<LPARAM>(sm);
  switch (cmd) {
    case QC_SKINLOADED:
      if (ownManager) {
        sd->SetUpdating(true);
        sd->UpdateIndexes();
      }
      return true;
    case QC_SKINREMOVED:
      if (ownManager) SkinRemoved(sd);
      return true;
    case QC_REFRESH:
      if (ownManager) SkinRefreshed(sd);
      return true;
    case QC_GETCACHE:
      // An empty cache of a shown control is an image still to be painted (the asker waits for
      // it); a hidden control emptied its cache and paints none until it shows again.
      if (sd->CacheBmp && !(sd->CacheBmp->Empty() && sd->OwnerControl && !sd->OwnerControl->Visible()))
        SharedCacheInfo = BuildCacheInfo(sd->CacheBmp, 0, 0);
      else
        SharedCacheInfo = TsCacheInfo{};
      return true;
    case QC_SETUPDATING: sd->SetUpdating(arg1); return true;
    case QC_SETALWAYSREPAINT: sd->AlwaysRepaint = arg1; return true;
    case QC_ISBUSY: {
      const bool busy = sd->BGChanged || sd->UpdatingFlag();
      Message.LParam = busy ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    }
    case QC_ISPARTLYHIDDEN:
      Message.LParam = sd->PartlyHidden ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    case QC_INVALIDATECACHE:
      if (arg1 && sd->CacheBmp) sd->BGChanged = true;
      return true;
    case QC_SECTIONCHANGED: {
      const char* name = reinterpret_cast<const char*>(Message.LParam);
      if (name && sd->SkinSection() == name) sd->Invalidate();
      return true;
    }
    case QC_SETREPAINTCHILD: sd->RepaintingControl = reinterpret_cast<TControl*>(Message.LParam); return true;
    case QC_BGCHANGED: sd->BGChanged = true; return true;
    case QC_ISTRANSPARENT:
      Message.LParam = sd->RepaintIfMoved() ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    case QC_PARENTMOVED: ParentMoved(sd, Message.WParamLo()); return true;
    case QC_GETPARENTCOLOR:
      if (sd->Skinned())
        SharedParentColor = TColor(sm->Section(sd->SkinIndex).Color);
      else if (sd->OwnerControl)
        SharedParentColor = TColor(ColorToRGB(sd->OwnerControl->Color()));
      Message.Result = 1;
      return true;
    case QC_SETPARTLYHIDDEN: sd->PartlyHidden = true; return true;
    default: return AnswerIdentity(Message);
  }
}

bool HandleCommonMessage(TMessage& Message, TsCommonData* sd) {
  if (!sd) return false;
  TControl* ctrl = sd->OwnerControl;
  auto* wc = dynamic_cast<TWinControl*>(ctrl);
  switch (Message.Msg) {
    case SM_QUORVEXCMD: return HandleSkinCommand(Message, sd);
    case WM_UPDATEUISTATE:
      if (sd->Skinned()) return true;
      if (wc && wc->HandleAllocated() && ThemesInUse()) acSetWindowTheme(wc->Handle(), nullptr, nullptr);
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (wc && wc->CanFocus()) {
        sd->Focused = Message.Msg == WM_SETFOCUS;
        sd->BGChanged = true;
      }
      return false;
    case WM_MOVE:
      if (ctrl && sd->RepaintIfMoved()) SendControlSkinCommand(ctrl, QC_PARENTMOVED, 0, 1);
      return false;
    case WM_SIZE: Resized(sd); return false;
    case CM_VISIBLECHANGED: VisibleChanged(sd, Message.WParam != 0); return false;
    case CM_MOUSEENTER: MouseEntered(sd); return false;
    case CM_MOUSELEAVE: sd->MouseAbove = false; return false;
    case CM_ENABLEDCHANGED:
      sd->MouseAbove = false;
      sd->Focused = false;
      return false;
    case WM_PARENTNOTIFY:
      if (LoWord(Message.WParam) == WM_CREATE && wc) AnnounceToParentForm(wc);
      return false;
    default: return false;
  }
}

// ---- Published properties -----------------------------------------------------------------------

namespace {
const bool kCommonDataProps = RegisterProperties<TsCommonData, TPersistent>([](auto& p) {
  p.Str("SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection);
  p.Ord("CustomColor", &TsCommonData::IsCustomColor, &TsCommonData::SetCustomColor);
  p.Ord("CustomFont", &TsCommonData::IsCustomFont, &TsCommonData::SetCustomFont);
  p.Obj("SkinManager", &TsCommonData::OwnSkinManager, &TsCommonData::SetSkinManager);
});
}  // namespace

// ---- TsBoundLabel ---------------------------------------------------------------------------------

TsBoundLabel::TsBoundLabel(TsCommonData* ACommonData) : FCommonData(ACommonData) {}

TsBoundLabel::~TsBoundLabel() {
  if (FTheLabel) {
    TControl* label = FTheLabel;
    FTheLabel = nullptr;
    label->Free();
  }
}

void TsBoundLabel::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  UpdateLabel();
}

void TsBoundLabel::SetCaption(const std::string& Value) {
  FCaption = Value;
  if (FTheLabel) FTheLabel->SetCaption(Value);
  AlignLabel();
}

void TsBoundLabel::SetIndent(int Value) {
  FIndent = Value;
  AlignLabel();
}

void TsBoundLabel::SetLayout(TsBoundLabelLayout Value) {
  FLayout = Value;
  AlignLabel();
}

void TsBoundLabel::UpdateLabel() {
  if (FActive && !FTheLabel && CreateEditLabelProc && FCommonData && FCommonData->OwnerControl) {
    FTheLabel = CreateEditLabelProc(this);
    if (FTheLabel) FTheLabel->SetCaption(FCaption);
  } else if (!FActive && FTheLabel) {
    TControl* label = FTheLabel;
    FTheLabel = nullptr;
    label->Free();
  }
  AlignLabel();
}

void TsBoundLabel::AlignLabel() {
  if (!FTheLabel || !FCommonData || !FCommonData->OwnerControl) return;
  TControl* edit = FCommonData->OwnerControl;
  if (FTheLabel->Parent() != edit->Parent()) FTheLabel->SetParent(edit->Parent());
  const int w = FTheLabel->Width(), h = FTheLabel->Height();
  int x = 0, y = 0;
  switch (FLayout) {
    case sclLeft:
      x = edit->Left() - w - 4 - FIndent;
      y = edit->Top() + (edit->Height() - h) / 2;
      break;
    case sclLeftTop:
      x = edit->Left() - w - 4 - FIndent;
      y = edit->Top();
      break;
    case sclTopLeft:
      x = edit->Left() + FIndent;
      y = edit->Top() - h - 2;
      break;
    case sclTopCenter:
      x = edit->Left() + (edit->Width() - w) / 2;
      y = edit->Top() - h - 2;
      break;
    case sclTopRight:
      x = edit->Left() + edit->Width() - w - FIndent;
      y = edit->Top() - h - 2;
      break;
    case sclBottomLeft:
      x = edit->Left() + FIndent;
      y = edit->Top() + edit->Height() + 2;
      break;
  }
  FTheLabel->SetBounds(x, y, w, h);
  FTheLabel->SetVisible(edit->Visible());
  FTheLabel->SetEnabled(edit->Enabled());
}

// ---- TacFast24 --------------------------------------------------------------------------------------

bool TacFast24::Attach(TBitmap* Bmp) {
  View_ = qv::TImageView{};
  if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf24bit) return false;
  View_ = Bmp->ImageView();
  return !View_.Empty();
}

TColor TacFast24::GetPixel(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= View_.Width || Y >= View_.Height) return 0;
  return TColor(qv::ColorOf(View_.Pixel(X, Y)));
}

void TacFast24::SetPixel(int X, int Y, TColor Color) {
  if (X < 0 || Y < 0 || X >= View_.Width || Y >= View_.Height) return;
  View_.SetPixel(X, Y, qv::BgrOf(qv::TColorRef(Color)));
}
