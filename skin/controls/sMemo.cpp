#include "skin/controls/sMemo.h"

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

TsMemo::TsMemo(TComponent* AOwner) : TacSkinnedControl<TMemo>(AOwner, tcMemo, true) {
  ControlStyle_.Exclude(csOpaque);
  if (FSkinData->SkinSection().empty()) FSkinData->SetSkinSection("EDIT");
  FBoundLabel = new TsBoundLabel(FSkinData);
}

TsMemo::~TsMemo() {
  FScrollWnd.reset();
  delete FBoundLabel;
  FBoundLabel = nullptr;
}

void TsMemo::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

void TsMemo::Loaded() {
  TacSkinnedControl<TMemo>::Loaded();
  if (HandleAllocated()) UpdateControlScrollBars(FSkinData, FScrollWnd);
}

void TsMemo::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  TacSkinnedControl<TMemo>::WndProc(Message);
  if (!*alive) return;
  // The two events fire with or without a skin.
  if (Message.Msg == EM_SETSEL)
    OnScrollCaret(this);
  else if (Message.Msg == WM_VSCROLL)
    OnVScroll(this);
  if (*alive) FollowBoundLabel(FBoundLabel, this, Message);
}

void TsMemo::BeforeSkinChange(int Command) {
  // The adapter leaves the window before the skin goes.
  if (Command == QC_SKINREMOVED) FScrollWnd.reset();
}

void TsMemo::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) {
    if (HandleAllocated()) RecreateWnd();
  } else if (Command == QC_REFRESH && HandleAllocated()) {
    UpdateControlScrollBars(FSkinData, FScrollWnd);
    if (SkinSwitchRunning()) return;
    Perform(WM_ERASEBKGND, 0, 0);
    Repaint();
    SendMessageA(Handle_, WM_NCPAINT, 0, 0);
  }
}

bool TsMemo::SkinnedMessage(TMessage& Message) {
  if (Message.Msg != WM_PAINT || !RefreshUpdating(FSkinData)) return false;
  const PaintScope validate(Handle_);
  return true;
}

void TsMemo::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_SETALWAYSREPAINT && FSkinData->AlwaysRepaint)
        PrepareWindowCache(FSkinData, Handle_, false);
      break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: FSkinData->Invalidate(); break;
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      if (FScrollWnd) FScrollWnd->RefreshBars(true);
      break;
    case CM_SHOWINGCHANGED: UpdateControlScrollBars(FSkinData, FScrollWnd); break;
    default: break;
  }
}

namespace {
const bool kMemoProps = RegisterProperties<TsMemo, TMemo>([](auto& p) {
  p.Obj("SkinData", &TsMemo::SkinData);
  p.Obj("BoundLabel", &TsMemo::BoundLabel);
  p.Set("DisabledKind", &TsMemo::DisabledKind, &TsMemo::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Method("OnScrollCaret", &TsMemo::GetOnScrollCaret, &TsMemo::SetOnScrollCaret);
  p.Method("OnVScroll", &TsMemo::GetOnVScroll, &TsMemo::SetOnVScroll);
});
}  // namespace
