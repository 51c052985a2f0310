// The form's window procedure while the provider serves it: the skin commands answered in every
// state, the plain state (every message to the form's own procedure), and the skin commands of
// the skinned state. The window messages of the skinned state are in WndMessages.cpp.
#include "skin/windows/sSkinProvider/Internal.h"

using namespace acsp;

namespace {

bool OwnManager(const TMessage& m, TsCommonData* sd) {
  TsSkinManager* sm = sd->SkinManager();
  return sm && m.LParam == reinterpret_cast<LPARAM>(sm);
}

}  // namespace

// ---- The dispatcher ----------------------------------------------------------------------------------

void TsSkinProvider::NewWndProc(TMessage& Message) {
  if (!Form) return;
  // The caption style taken off and put back around a caption stored is the provider's own: the
  // form's procedures hear neither change.
  if (CaptionStyleAside && (Message.Msg == WM_STYLECHANGING || Message.Msg == WM_STYLECHANGED)) {
    Message.Result = 0;
    return;
  }
  if (Message.Msg == SM_QUORVEXCMD && AnswerAnyState(Message)) return;
  // A window made while a skin is on takes it: the skin's coming reached only forms with windows.
  if (Message.Msg == WM_CREATE && !Dying(Form) && SkinData->SkinManager() &&
      SkinData->SkinManager()->SkinData()->Active)
    SkinData->UpdateIndexes();
  if (Dying(Form) || !SkinData->Skinned()) {
    PlainMessage(Message);
    return;
  }
  if (Message.Msg == SM_QUORVEXCMD)
    SkinnedCommand(Message);
  else
    SkinnedMessage(Message);
}

void TsSkinProvider::BroadcastSkinChange(TMessage& Message) {
  if (Form && !Dying(Form)) PassSkinCommandOn(Form, Message);
}

// ---- In every state ------------------------------------------------------------------------------------

bool TsSkinProvider::AnswerAnyState(TMessage& Message) {
  if (AnswerIdentity(Message)) return true;
  switch (SkinCommandOf(Message)) {
    case QC_SKINLOADED:
      if (!Dying(Form) && OwnManager(Message, SkinData) && !SystemMenu) PrepareForm();
      return false;
    case QC_SKINREMOVED: SkinRemoved(Message); return true;
    case QC_GETCLIENTOFFSET:
      Message.Result =
          LRESULT(std::uint32_t(ClientOffsetX() & 0xFFFF) | (std::uint32_t(ClientOffsetY() & 0xFFFF) << 16));
      return true;
    default: return false;
  }
}

void TsSkinProvider::SkinRemoved(TMessage& Message) {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!OwnManager(Message, SkinData)) {
    BroadcastSkinChange(Message);
    return;
  }
  auto alive = Alive_;
  FreeAndNil(FormScrollWnd);
  HandleSkinCommand(Message, SkinData);
  MenuLineRows = -1;
  // The adapted controls hear the removal with the rest of the form, then their adapters go.
  BroadcastSkinChange(Message);
  if (!*alive || !Form) return;
  DetachAdapter();
  FreeMenuBitmap();
  HotHitCode = 0;
  ButtonPressed = false;
  FrameDirty = true;
  FramePainted = false;
  RegionChanged = true;
  delete TitleStripBmp;
  TitleStripBmp = nullptr;
  FreeKeptParts();
  if (!Dying(Form) && sm) {
    PrepareMenus(false);
    SetSystemMenuStyle(false);
    if (Form->FormStyle() == fsMDIForm) UpdateMDIForm(false);
    // In a skin switch the form is painted at its end, with its frame and its children.
    const bool paintNow = !SkinSwitchRunning();
    if (HasBorder() && !InMenuLoop && Form->HandleAllocated()) {
      SetWindowRgn(Form->Handle(), nullptr, paintNow);
      RegionSize_ = TSize{};
    }
    if (MainMenuOf(Form)) RebuildMainMenu();
    if (Form->ClientHandle() && paintNow)
      RedrawWindow(Form->ClientHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
  }
  if (!UseGlobalColor || SkinData->CustomColor)
    Form->Invalidate();
  else
    RestoreDesignedColor();
  if (SkinData->CacheBmp) SkinData->CacheBmp->SetSize(0, 0);
  TitleBmp->SetSize(0, 0);
  if (MenuLineBmp) MenuLineBmp->SetSize(0, 0);
}

// ---- Plain state ---------------------------------------------------------------------------------------

void TsSkinProvider::PlainMessage(TMessage& Message) {
  if (Message.Msg == SM_QUORVEXCMD) {
    switch (SkinCommandOf(Message)) {
      case QC_SKINLOADED:
        if (!Dying(Form) && OwnManager(Message, SkinData)) {
          AnswerPlainSkinLoaded(Message);
          return;
        }
        break;
      case QC_GETPROVIDER: Message.Result = reinterpret_cast<LRESULT>(this); return;
      case QC_REFRESH: {
        // A skin without the form's section: the form stays plain, its controls follow the skin.
        OldWndProc(Message);
        TMessage m = Message;
        if (Form && OwnManager(m, SkinData)) BroadcastSkinChange(m);
        return;
      }
      default: break;
    }
  }
  auto alive = Alive_;
  const UINT msg = Message.Msg;
  const bool mdiChild = Form->FormStyle() == fsMDIChild;
  OldWndProc(Message);
  if (!*alive || msg != WM_NCDESTROY || !mdiChild || !MDIProviderSkinned() || MDISkinProvider == this) return;
  MDISkinProvider->RepaintFrame();
  TCustomForm* frame = MDISkinProvider->Form;
  if (frame && frame->ClientHandle() && !frame->ActiveMDIChild())
    RedrawWindow(frame->ClientHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinProvider::AnswerPlainSkinLoaded(TMessage& Message) {
  TsSkinManager* sm = SkinData->SkinManager();
  FreeMenuBitmap();
  SkinData->UpdateIndexes();
  if (sm) {
    UpdateIconIndexes();
    SetSystemMenuStyle(SkinData->Skinned());
  }
  if (Form->FormStyle() == fsMDIForm)
    if (TCustomForm* child = Form->ActiveMDIChild(); child && Screen && child == Screen->ActiveForm())
      FormActive = true;
  // Activations while the skin was away were not followed.
  if (Form->FormStyle() != fsMDIForm) FormActive = ActiveNow();
  if (!SkinChanging) PrepareMenus(Skinned());
  SkinData->BGChanged = true;
  FrameDirty = true;
  RegionChanged = true;
  MenuLineRows = -1;
  FreeKeptParts();
  if (Form->FormStyle() == fsMDIForm && !MDIForm) UpdateMDIForm(true);
  if (UseGlobalColor && !SkinData->CustomColor && Skinned()) ApplyGlobalColor();
  if (!Adapter)
    InitAdapter();
  else
    Adapter->AddAllItems(nullptr);
  BroadcastSkinChange(Message);
}

// ---- Skinned state: skin commands ----------------------------------------------------------------------

void TsSkinProvider::SkinnedCommand(TMessage& Message) {
  switch (SkinCommandOf(Message)) {
    case QC_SKINLOADED: SkinLoaded(Message); return;
    case QC_REFRESH: SkinRefresh(Message); return;
    case QC_GETPROVIDER: Message.Result = reinterpret_cast<LRESULT>(this); return;
    case QC_GETCACHE:
      if (Loading()) return;
      if (SkinData->BGChanged && (!SkinData->CacheBmp || SkinData->CacheBmp->Empty())) PaintFrameCache();
      SharedCacheInfo = BuildCacheInfo(SkinData->CacheBmp, ClientOffsetX(), ClientOffsetY());
      Message.Result = 1;
      return;
    case QC_SETUPDATING:
      SkinData->SetUpdating(Message.WParamLo() == 1);
      if (SkinData->Updating()) SkinData->BGChanged = true;
      return;
    case QC_SETALWAYSREPAINT:
      HandleCommonMessage(Message, SkinData);
      if (SkinData->AlwaysRepaint) PaintFrameCache();
      return;
    case QC_ISBUSY:
      Message.LParam = SkinData->Updating() ? 1 : 0;
      Message.Result = Message.LParam;
      return;
    case QC_SETREPAINTCHILD: SkinData->RepaintingControl = reinterpret_cast<TControl*>(Message.LParam); return;
    case QC_ISTRANSPARENT: {
      TsSkinManager* sm = SkinData->SkinManager();
      const TsGeneralData& gd = sm->Section(SkinData->SkinIndex);
      Message.LParam = gd.GradientPercent + gd.ImagePercent > 0 ? 1 : 0;
      Message.Result = Message.LParam;
      return;
    }
    case QC_GETPARENTCOLOR:
      SharedParentColor = !SkinData->CustomColor ? TColor(SkinData->SkinManager()->Section(SkinData->SkinIndex).Color)
                                                 : TColor(ColorToRGB(clBtnFace));
      Message.Result = 1;
      return;
    case QC_CONTROLANNOUNCE:
      if (!Loading() && Adapter) Adapter->AddAllItems(nullptr);
      return;
    case QC_LOCKREDRAW:
      if (SkinData->RepaintIfMoved()) SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
      return;
    case QC_UNLOCKREDRAW:
      if (SkinData->RepaintIfMoved()) {
        SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
        RedrawWindow(Form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (MDISkinProvider == this && Form->ClientHandle())
          RedrawWindow(Form->ClientHandle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      }
      return;
    default: return;  // nothing else is done, and the form's own procedure hears nothing of it
  }
}

void TsSkinProvider::SkinLoaded(TMessage& Message) {
  if (!OwnManager(Message, SkinData)) return;
  TsSkinManager* sm = SkinData->SkinManager();
  FreeMenuBitmap();
  SkinData->UpdateIndexes();
  UpdateIconIndexes();
  SetSystemMenuStyle(SkinData->Skinned());
  if (sm->SkinableMenus()) sm->SkinableMenus()->UpdateMenus();
  // Everything of the old skin is painted anew: no saved title strip, the whole frame, the bar.
  SkinData->BGChanged = true;
  FrameDirty = true;
  RegionChanged = true;
  MenuRebuilt = false;
  MenuLineRows = -1;
  delete TitleStripBmp;
  TitleStripBmp = nullptr;
  FreeKeptParts();
  if (!SkinSwitchRunning()) SendNCPaint(Form);
  if (Form->FormStyle() == fsMDIForm) {
    if (!MDIForm) UpdateMDIForm(true);
    if (MDIForm && MDIFormConnectProc) MDIFormConnectProc(MDIForm);
  }
  // Controls put on the form meanwhile, and labels in the new skin's font colour.
  if (Adapter) Adapter->AddAllItems(nullptr);
  BroadcastSkinChange(Message);
}

void TsSkinProvider::SkinRefresh(TMessage& Message) {
  if (!OwnManager(Message, SkinData)) return;
  auto alive = Alive_;
  if (!Adapter) InitAdapter();
  UpdateFormScrollBars();
  SkinData->BGChanged = true;
  FrameDirty = true;
  MenuLineRows = -1;
  delete TitleStripBmp;
  TitleStripBmp = nullptr;
  FreeKeptParts();
  if (!SkinChanging) {
    if (MainMenuOf(Form)) RebuildMainMenu();
    PrepareMenus(Skinned());
  }
  if (HasBorder()) RegionChanged = true;
  if (UseGlobalColor && !SkinData->CustomColor) ApplyGlobalColor();
  const HWND wnd = Form->Handle();
  if (IsWindowVisible(wnd)) {
    // In a skin switch the form is painted at its end, with its frame and its children.
    const bool paintNow = !SkinSwitchRunning();
    if (!paintNow && RegionChanged) ::CutBeforeSwitchPaint(TCutOrder::Form, Alive_, [this] { CutBeforeSwitchPaint(); });
    if (paintNow) {
      SendNCPaint(Form);
      if (!*alive || !Form) return;
      TCustomForm* child = Form->FormStyle() == fsMDIForm ? MaximizedChildOf(Form) : nullptr;
      RedrawWindow(child ? child->Handle() : wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    if (Form->FormStyle() == fsMDIForm && Form->ClientHandle()) {
      // The client lays its children out again for the size it has (a maximized child fills it).
      RECT client{};
      GetClientRect(Form->ClientHandle(), &client);
      SendMessageA(Form->ClientHandle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
      if (paintNow) SendMessageA(Form->ClientHandle(), WM_NCPAINT, 1, 0);
    }
  }
  if (MDIForm && MDIFormRefreshProc) MDIFormRefreshProc(MDIForm);
  SkinData->SetUpdating(false);
  // The adapted controls hear it with the rest of the form.
  BroadcastSkinChange(Message);
}
