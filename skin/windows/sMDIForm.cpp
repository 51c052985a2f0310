// The MDI frame form's client window skinned by the form's provider.
#include "skin/windows/sMDIForm.h"

#include "skin/windows/Hooks.h"
#include "skin/windows/acSBUtils.h"
#include "skin/windows/sSkinProvider.h"

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider) {
  Form = AProvider ? AProvider->Form : nullptr;
  if (Form) Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { DestroyAdapter(); }

void TsMDIForm::ConnectToClient() {
  if (!Provider || Provider->ComponentState().Contains(csDesigning)) return;
  if (MDIAdapter && !MDIAdapter->Destroyed) return;
  Connect();
}

void TsMDIForm::Connect() {
  DestroyAdapter();
  if (!Provider || !Provider->SkinData || !Provider->SkinData->Skinned()) return;
  if (!Form || !Form->HandleAllocated() || !Form->ClientHandle()) return;
  MDIAdapter = Create<TacMDIWnd>(Form->ClientHandle(), nullptr, Provider->SkinData->SkinManager(), "CHECKBOX", true);
  MDIAdapter->Form = Form;
  MDIAdapter->FormSkinData = Provider->SkinData;
  MDIAdapter->Provider = Provider;
}

void TsMDIForm::DestroyAdapter() {
  // The adapter made its own skin data and frees it itself.
  if (MDIAdapter) FreeAndNil(MDIAdapter);
}

void TsMDIForm::UpdateFrame() {
  if (Provider && Provider->Form) Provider->RepaintFrame();
}

void TsMDIForm::RefreshClient() {
  // A client made after the last connection (the form's window was being made) is taken now.
  if (!MDIAdapter || MDIAdapter->Destroyed) ConnectToClient();
  if (!MDIAdapter || MDIAdapter->Destroyed || !Form || !Form->ClientHandle()) return;
  // While a skin switch's commands walk the frame's image is not made yet: the client's frame is
  // painted at the switch's end (when the frame's own frame is painted and refreshes the client).
  if (IsWindowVisible(Form->ClientHandle()) && !SkinSwitchWalking())
    SendMessageA(Form->ClientHandle(), WM_NCPAINT, 1, 0);
}

// ---- What the provider and the client adapter ask of each other ------------------------------------------

namespace {

TsSkinProvider* ProviderOf(TObject* Object) { return dynamic_cast<TsSkinProvider*>(Object); }
TsMDIForm* MDIFormOf(TsSkinProvider* Provider) {
  return Provider ? dynamic_cast<TsMDIForm*>(Provider->MDIForm) : nullptr;
}

TObject* MakeMDIForm(TsSkinProvider* Provider) {
  auto* mdi = Create<TsMDIForm>(Provider);
  mdi->ConnectToClient();
  return mdi;
}

void ConnectMDIForm(TObject* Object) {
  if (auto* mdi = dynamic_cast<TsMDIForm*>(Object)) mdi->ConnectToClient();
}

void RefreshMDIForm(TObject* Object) {
  if (auto* mdi = dynamic_cast<TsMDIForm*>(Object)) mdi->RefreshClient();
}

bool AnimatingShow(TObject* Object) {
  TsSkinProvider* p = ProviderOf(Object);
  return p && p->AnimatingShow;
}

// Tiled or cascaded: the frame's image renewed, the active child's buttons drawn by the provider
// in the menu line rather than by the system.
void Arranged(TObject* Object) {
  TsSkinProvider* p = ProviderOf(Object);
  if (!p || !p->Form) return;
  p->SkinData->BGChanged = true;
  p->MenuLineRows = -1;
  TCustomForm* child = p->Form->ActiveMDIChild();
  TsSkinProvider* childProvider = child ? TsSkinProvider::ProviderOf(child) : nullptr;
  if (childProvider && childProvider->Skinned() && child->HandleAllocated()) {
    const LONG_PTR style = GetWindowLongPtrA(child->Handle(), GWL_STYLE);
    if (style & WS_SYSMENU) SetWindowLongPtrA(child->Handle(), GWL_STYLE, style & ~LONG_PTR(WS_SYSMENU));
  }
  if (TsMDIForm* mdi = MDIFormOf(p)) mdi->UpdateFrame();
}

void RefreshMenuLine(TObject* Object) {
  if (TsMDIForm* mdi = MDIFormOf(ProviderOf(Object))) mdi->UpdateFrame();
}

const bool kMDIFormHooks = (CreateMDIFormProc = &MakeMDIForm, MDIFormConnectProc = &ConnectMDIForm,
                            MDIFormRefreshProc = &RefreshMDIForm, MDIProviderAnimatingShow = &AnimatingShow,
                            MDIProviderArranged = &Arranged, MDIProviderRefreshMenuLine = &RefreshMenuLine, true);

}  // namespace
