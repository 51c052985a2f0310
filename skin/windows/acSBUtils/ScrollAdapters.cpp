// The scrolling adapters: TacScrollWnd adds the skinned scroll bars to the adapter base,
// TacBaseWnd its repaint bookkeeping, TacEditWnd the skinned frame and colours of edit-like
// windows; and the edit adapters that skinned memos and list boxes keep.
#include "skin/windows/acSBUtils.h"

#include <algorithm>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/acSBUtils/Internal.h"
#include "skin/windows/core/acScrollGeometry.h"

using namespace acsb;

// ---- Attaching -------------------------------------------------------------------------------------

void AttachScrollWnd(TacScrollWnd* Adapter, HWND Wnd, bool Repaint) {
  if (!Adapter) return;
  Adapter->ScrollFlag = 0;
  Adapter->WndHandle = Wnd;
  if (!Wnd || !IsWindow(Wnd)) return;
  if (TacMainWnd* other = GetWndAdapter(Wnd); other && other != Adapter) {
    Adapter->Destroyed = true;  // one adapter per window
    return;
  }
  for (int kind = 0; kind < 2; ++kind) {
    auto* bar = new TacScrollBar;
    bar->Owner = Adapter;
    bar->BarKind = std::uint16_t(kind);
    (kind == 0 ? Adapter->HorzBar : Adapter->VertBar) = bar;
    ReadScrollInfo(bar, Wnd);
  }
  Adapter->LeftScrollBar = (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  Adapter->HorzBar->ScrollFlags = (style & WS_HSCROLL) ? 8 : 0;
  Adapter->VertBar->ScrollFlags = (style & WS_VSCROLL) ? 8 : 0;
  Adapter->StyleChanging = false;
  AttachWndProc(Adapter, Wnd);
  SetMinThumbSize(Wnd, 3, qv::DefaultMinThumbSize);
  if (Repaint)
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void DetachScrollWnd(HWND Wnd, bool FreeAdapter, bool Repaint, TacScrollWnd*& Adapter) {
  // Bare windows are given back too: a window must never keep a procedure of a freed adapter.
  if (Adapter && !Adapter->Destroyed) {
    TacMainWnd* base = Adapter;
    // A click or drag under way ends as a button-up would end it.
    auto alive = Adapter->AliveToken();
    Adapter->FinishClick(true);
    if (!*alive) {
      Adapter = nullptr;
      return;
    }
    Adapter->ForgetInteraction();
    if (Adapter->HorzBar) Adapter->HorzBar->Owner = nullptr;
    if (Adapter->VertBar) Adapter->VertBar->Owner = nullptr;
    FreeAndNil(Adapter->HorzBar);
    FreeAndNil(Adapter->VertBar);
    // Procedure, property and colours as DetachWndProc does it; the frame is recalculated without
    // the skinned bars.
    DetachWndProc(Wnd, false, Repaint, base);
  }
  if (FreeAdapter && Adapter) {
    Adapter->OldWndProc = nullptr;
    Adapter->OldProc = nullptr;
    FreeAndNil(Adapter);
  }
}

void RefreshScrollInfo(TacScrollWnd* Adapter, bool Repaint) {
  if (!Adapter || !Adapter->HorzBar || !Adapter->VertBar || !Adapter->WndHandle) return;
  ReadScrollInfo(Adapter->HorzBar, Adapter->WndHandle);
  ReadScrollInfo(Adapter->VertBar, Adapter->WndHandle);
  if (Repaint) PaintScrollBars(Adapter, Adapter->WndHandle, nullptr);
}

TacScrollBar* GetScrollBarOf(HWND Wnd, int Kind) {
  return BarOfKind(dynamic_cast<TacScrollWnd*>(GetWndAdapter(Wnd)), Kind);
}

bool SetMinThumbSize(HWND Wnd, int Bars, int Size) {
  auto* a = dynamic_cast<TacScrollWnd*>(GetWndAdapter(Wnd));
  if (!a) return false;
  if ((Bars == 0 || Bars == 3) && a->HorzBar) a->HorzBar->MinThumbSize = std::uint16_t(std::max(Size, 0));
  if ((Bars == 1 || Bars == 3) && a->VertBar) a->VertBar->MinThumbSize = std::uint16_t(std::max(Size, 0));
  return true;
}

// ---- TacScrollWnd ------------------------------------------------------------------------------------

TacScrollWnd::~TacScrollWnd() {
  FinishClick(false);
  ForgetInteraction();
  if (HorzBar) HorzBar->Owner = nullptr;
  if (VertBar) VertBar->Owner = nullptr;
  FreeAndNil(HorzBar);
  FreeAndNil(VertBar);
}

void TacScrollWnd::BeforeDestruction() {
  // Freed in the middle of a click or a drag: the window hears the end of it as from a button-up.
  if (!Destroyed && WndHandle && IsWindow(WndHandle)) FinishClick(true);
  TacMainWnd::BeforeDestruction();
}

void TacScrollWnd::ForgetInteraction() {
  if (!WndHandle) return;
  const bool alive = IsWindow(WndHandle) != FALSE;
  if (ScrollState.HoverWnd == WndHandle) {
    if (alive) KillTimer(WndHandle, acHoverTimerId);
    ScrollState.HoverWnd = nullptr;
    ScrollState.HoverTimer = 0;
    ScrollState.HotBar = ScrollState.HotPart = ScrollState.LastHotPart = -1;
  }
  if (ScrollState.CurrentScrollWnd == WndHandle) {
    if (alive && ScrollState.RepeatTimer) KillTimer(WndHandle, ScrollState.RepeatTimer);
    if (alive && ScrollState.ClickedPart != -1 && GetCapture() == WndHandle) ReleaseCapture();
    ResetClickState();
    ScrollState.CurrentScrollWnd = nullptr;
  }
  ThumbTracking = false;
}

void TacScrollWnd::AfterMessage(const TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
    case WM_NCPAINT:
    case WM_NCCALCSIZE:
    case WM_DESTROY:
    case WM_NCDESTROY: return;
    default: break;
  }
  // Whatever message changed the window's scroll state (and let the window draw its own bar), the
  // bar shows it in the skin. What enables or disables the window may change its bars' state too.
  const bool enabling = Message.Msg == WM_ENABLE || Message.Msg == CM_ENABLEDNOTIFY || Message.Msg == WM_STYLECHANGED;
  // (A window without a bar that takes room has nothing to show: it is not asked whether it shows,
  // a round trip to the window server under Wine after every message.)
  const bool bars = (HorzBar && HorzBar->ScrollVisible) || (VertBar && VertBar->ScrollVisible);
  if (!ScrollFlag && bars && SkinOn() && IsWindowVisible(WndHandle)) RepaintChangedBars(this, enabling);
}

void TacScrollWnd::AttachToWindow() { AttachScrollWnd(this, WndHandle, Repaint_); }

void TacScrollWnd::SyncFrame() {
  if (Destroyed || !WndHandle || !IsWindow(WndHandle) || SkinOn() == FrameSkinned) return;
  // In a skin switch the frame is painted with everything else at its end.
  SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                   (SkinSwitchRunning() ? SWP_NOREDRAW : 0));
}

bool TacScrollWnd::BeforeMessage(TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD || Destroyed || !IsOwnManager(Message, SkinData)) return true;
  auto alive = AliveToken();
  switch (Message.WParamHi()) {
    case QC_SKINLOADED:
      SkinData->UpdateIndexes();  // the indexes of the old skin mean nothing in the new one
      break;
    case QC_REFRESH:
      if (!SkinData->Skinned(false)) SkinData->UpdateIndexes();
      break;
    case QC_SKINREMOVED:
      // The colours go back (the edit adapters compute the frame again there, now for the
      // window's own bars); the next skin applies its colours anew.
      Skinned = false;
      RestoreOriginalColors();
      if (!*alive) return false;
      break;
    default: return true;
  }
  SyncFrame();
  return *alive;
}

bool TacScrollWnd::AnswerAnyState(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: LeaveOnDestroy(Message); return true;
    case WM_UPDATEUISTATE: return true;
    default: return false;
  }
}

void TacScrollWnd::PlainMessage(TMessage& Message) {
  if (Message.Msg == WM_NCCALCSIZE) FrameSkinned = false;  // the window's own bars take the room
  PassOn(Message);
}

void TacScrollWnd::HandleMessage(TMessage& Message) {
  if (Message.Msg == SM_QUORVEXCMD ? AnswerScrollCommand(Message) : HandleBarMessage(Message)) return;
  // Scroll state changed by what the window does with the message is repainted afterwards
  // (AfterMessage).
  PassOn(Message);
}

bool TacScrollWnd::AnswerScrollCommand(TMessage& Message) {
  const bool own = IsOwnManager(Message, SkinData);
  switch (Message.WParamHi()) {
    case QC_SKINLOADED:
      if (own) SkinData->UpdateIndexes();
      return false;
    case QC_REFRESH:
      if (own) {
        MarkSkinChanged();
      }
      return false;
    case QC_GETCACHE: AnswerCache(SkinData); return false;
    default: return AnswerCommonCommand(Message);
  }
}

bool TacScrollWnd::RepaintAfterUpdate() {
  RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  return true;
}

void TacScrollWnd::DetachOnDestroy() {
  FinishClick(false);  // nothing is sent to a window that is going away
  TacScrollWnd* self = this;
  DetachScrollWnd(WndHandle, false, false, self);
}

bool TacScrollWnd::HandleBarMessage(TMessage& Message) {
  const HWND wnd = WndHandle;
  const bool onBar = Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL;
  switch (Message.Msg) {
    case WM_NCCALCSIZE: Message.Result = ScrollNCCalcSize(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_NCHITTEST: Message.Result = ScrollNCHitTest(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_NCPAINT: PaintFrameAndBars(Message); return true;
    case WM_NCMOUSEMOVE: Message.Result = ScrollNCMouseMove(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (!onBar) return false;
      Message.Result = ScrollNCLButtonDown(this, wnd, Message.Msg, Message.WParam, Message.LParam);
      return true;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (!onBar) return false;
      Message.Result = 0;
      return true;
    case WM_SYSCOMMAND: {
      // The system's own tracking of either bar (a press on a bar that hits no part of it is passed
      // on, and the default handling answers with these) would run its loop in the system's look.
      const WPARAM command = Message.WParam & 0xFFF0;
      return command == SC_VSCROLL || command == SC_HSCROLL;
    }
    case WM_STYLECHANGED: Message.Result = ScrollStyleChanged(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_MOUSEMOVE: Message.Result = ScrollMouseMove(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_LBUTTONUP: Message.Result = ScrollLButtonUp(this, wnd, Message.WParam, Message.LParam); return true;
    case WM_CAPTURECHANGED:
      // Another window took the mouse in the middle of a click or a drag: it ends as a button-up
      // would end it.
      if (HWND(Message.LParam) != wnd) FinishClick(true);
      return false;
    case WM_TIMER: Message.Result = ScrollTimer(this, wnd, Message.WParam, Message.LParam); return true;
    case CM_RESIZENOTIFY:
      if (WndSize.cx == 0) return false;
      ResizeToWndSize(Message);
      return true;
    default: return false;
  }
}

void TacScrollWnd::PaintFrameAndBars(TMessage& Message) {
  // The window's own frame first, the skinned bars over it.
  if (!PassOn(Message) || !IsWindowVisible(WndHandle)) return;
  RefreshUpdating(SkinData);
  if (!SkinData->UpdatingFlag() && !ScrollFlag) PaintScrollBars(this, WndHandle, nullptr);
}

void TacScrollWnd::ResizeToWndSize(TMessage& Message) {
  if (!PassOn(Message)) return;
  SetWindowPos(WndHandle, nullptr, 0, 0, WndSize.cx, WndSize.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

// ---- TacBaseWnd -------------------------------------------------------------------------------------

void TacBaseWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  const UINT msg = Message.Msg;
  if (msg == SM_QUORVEXCMD) {
    if (Message.WParamHi() == QC_REFRESH && IsOwnManager(Message, SkinData)) {
      TacScrollWnd::HandleMessage(Message);
      if (*alive && IsWindowVisible(wnd) && !SkinSwitchRunning()) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      return;
    }
    if (Message.WParamHi() == QC_PREPAREFADE) PrepareWindowCache(SkinData, wnd, false);
  } else if (msg == WM_SIZE) {
    SkinData->BGChanged = true;
  } else if (msg == WM_SETCURSOR) {
    PassOn(Message);
    return;
  } else if (msg == WM_UNKNOWN2100) {
    return;
  }
  TacScrollWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case WM_SIZE:
      if (!ScrollFlag) RefreshScrollInfo(this, true);
      break;
    case WM_ENABLE:
    case CM_ENABLEDNOTIFY:
      if (IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      break;
    default: break;
  }
}

// ---- TacEditWnd -------------------------------------------------------------------------------------

void TacEditWnd::AfterConstruction() {
  TObject::AfterConstruction();
  if (!WndHandle) return;  // attached to nothing
  if (!KeepsThemeOnCreate()) ThemeOff(InitSection_);
  StoreOriginalColors();
  Skinned = false;
  AttachScrollWnd(this, WndHandle, Repaint_);
  if (!(SkinData && SkinData->OwnerControl && IsContainerClass && IsContainerClass(SkinData->OwnerControl)))
    MakeOwnerOpaque();
  ShowSkinNow();
}

void TacEditWnd::StoreOriginalColors() {
  TacBaseWnd::StoreOriginalColors();
  if (SkinData && SkinData->OwnerControl) {
    SavedColor = SkinData->OwnerControl->Color();
    SavedFontColor = SkinData->OwnerControl->Font()->Color();
  }
}

void TacEditWnd::RestoreOriginalColors() {
  TacBaseWnd::RestoreOriginalColors();
  if (WndHandle && IsWindow(WndHandle))
    SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  if (SkinData && SkinData->OwnerControl && !SkinData->OwnerControl->ComponentState().Contains(csDestroying)) {
    if (SavedColor != clNone) SkinData->OwnerControl->SetColor(SavedColor);
    if (SavedFontColor != clNone) SkinData->OwnerControl->Font()->SetColor(SavedFontColor);
  }
}

void TacEditWnd::ApplySkinColors() {
  const bool oldChanging = StyleChanging;
  StyleChanging = true;
  TacBaseWnd::ApplySkinColors();
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  const bool hasSection = sm && SkinData && sm->IsSectionIndex(SkinData->SkinIndex);
  if (SkinData && SkinData->OwnerControl) {
    TControl* c = SkinData->OwnerControl;
    if (hasSection) {
      const TsGeneralData& gd = sm->Section(SkinData->SkinIndex);
      if (!SkinData->CustomColor) {
        if (gd.Transparency != 0) {
          TColor color = clParentColorUnset;
          if (TWinControl* parent = c->Parent()) {
            SharedParentColor = clParentColorUnset;
            SendControlSkinCommand(parent, QC_GETPARENTCOLOR);
            color = SharedParentColor != clParentColorUnset ? SharedParentColor : TColor(ColorToRGB(parent->Color()));
            SharedParentColor = clParentColorUnset;
          }
          if (color != clParentColorUnset) c->SetColor(color);
        } else if (c->Color() != TColor(gd.Color)) {
          c->SetColor(TColor(gd.Color));
        }
      }
      if (!SkinData->CustomFont && c->Font()->Color() != TColor(gd.FontColor.Text()))
        c->Font()->SetColor(TColor(gd.FontColor.Text()));
    }
  } else {
    BgColor = !DialogMode && hasSection ? TColor(sm->Section(SkinData->SkinIndex).Color) : clWindow;
    BorderColor = 0;
  }
  if (SkinData) SkinData->BGChanged = true;
  StyleChanging = oldChanging;
}

void TacEditWnd::PrintWindowInto(HDC DC) {
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  SkinData->SetUpdating(false);
  SkinData->BGChanged = true;
  UpdateWndRects(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
  if (!Skinned) ApplySkinColors();
  PrepareWindowCache(SkinData, wnd, DialogMode);
  if (!DialogMode) FillBorderCorners(SkinData, 0, this);
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    BitmapDC src(SkinData->CacheBmp);
    if (src.Get())
      BitBltBorder(DC, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src.Get(), 0, 0, BorderLeft);
  }
  PaintScrollBars(this, wnd, DC);
  if (!*alive) return;
  // The client area through the window's own painting, placed and clipped to where it lies.
  RECT wr{}, cr{};
  GetWindowRect(wnd, &wr);
  GetClientRect(wnd, &cr);
  POINT org{0, 0};
  ClientToScreen(wnd, &org);
  SavedDC saved(DC);
  OffsetViewportOrgEx(DC, org.x - wr.left, org.y - wr.top, nullptr);
  IntersectClipRect(DC, 0, 0, cr.right, cr.bottom);
  SendMessageA(wnd, WM_ERASEBKGND, WPARAM(DC), 0);
  if (*alive) SendMessageA(wnd, WM_PAINT, WPARAM(DC), 0);
  if (*alive) SendMessageA(wnd, WM_PRINTCLIENT, WPARAM(DC), PRF_CLIENT | PRF_OWNED);
}

void TacEditWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      if (AnswerEditCommand(Message)) return;
      break;
    case WM_PAINT:
      if (IsWindowVisible(wnd) && !PaintBeforeClient()) return;
      break;
    case WM_ERASEBKGND:
      if (IsWindowVisible(wnd)) {
        RefreshUpdating(SkinData);
        if (SkinData->UpdatingFlag()) return;
        if (!Skinned) ApplySkinColors();
      }
      break;
    case WM_NCPAINT:
      if (IsWindowVisible(wnd)) {
        PaintFrame(Message);
        return;
      }
      break;
    case WM_PRINT:
      if (Message.WParam) {
        PrintWindowInto(HDC(Message.WParam));
        if (*alive) Message.Result = 0;
        return;
      }
      break;
    default: break;
  }
  TacBaseWnd::HandleMessage(Message);
  if (!*alive) return;
  // The scroll state the window's own handling changed is repainted afterwards (AfterMessage).
  switch (msg) {
    case WM_SIZE:
      if (IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      break;
    case WM_MOUSEMOVE: TakeHotWindow(); break;
    default: break;
  }
}

bool TacEditWnd::AnswerEditCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_PREPAREFADE:
      UpdateWndRects(WndHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
      PrepareWindowCache(SkinData, WndHandle, false);
      FillBorderCorners(SkinData, 0, this);
      return true;
    case QC_REFRESH: {
      if (!IsOwnManager(Message, SkinData)) return false;
      auto alive = AliveToken();
      TacBaseWnd::HandleMessage(Message);
      if (!*alive) return true;
      ApplySkinColors();
      // Every pixel of the window may change with the skin: the whole window is painted again, in
      // its turn (a window sent a paint of nothing to update draws nothing).
      if (IsWindowVisible(WndHandle)) RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return true;
    }
    default: return false;
  }
}

bool AnswerBareChildColors(TMessage& Message) {
  if (Message.Msg != WM_CTLCOLOREDIT && Message.Msg != WM_CTLCOLORLISTBOX) return false;
  auto* a = dynamic_cast<TacEditWnd*>(GetWndAdapter(reinterpret_cast<HWND>(Message.LParam)));
  if (!a || a->DialogMode || !a->SkinOn() || a->SkinData->OwnerControl) return false;
  if (!a->Skinned) a->ApplySkinColors();
  const TsGeneralData& gd = a->SkinData->SkinManager()->Section(a->SkinData->SkinIndex);
  const HDC dc = reinterpret_cast<HDC>(Message.WParam);
  SetTextColor(dc, ColorToRGB(TColor(gd.FontColor.Text())));
  SetBkColor(dc, ColorToRGB(a->BgColor));
  Message.Result = reinterpret_cast<LRESULT>(a->CtlColorBrush(a->BgColor));
  return true;
}

bool TacEditWnd::PaintBeforeClient() {
  RefreshUpdating(SkinData);
  if (SkinData->UpdatingFlag()) {
    PaintScope validate(WndHandle);
    return false;
  }
  auto alive = AliveToken();
  PaintScrollBars(this, WndHandle, nullptr);
  if (!*alive) return false;
  if (!Skinned) ApplySkinColors();
  return true;
}

void TacEditWnd::PaintFrame(TMessage& Message) {
  const HWND wnd = WndHandle;
  UpdateWndRects(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
  RefreshUpdating(SkinData);
  if (SkinData->UpdatingFlag()) {
    Message.Result = 0;
    return;
  }
  if (SkinData->BGChanged) {
    if (!Skinned) ApplySkinColors();
    PrepareWindowCache(SkinData, wnd, DialogMode);
  }
  if (!DialogMode) FillBorderCorners(SkinData, 0, this);
  auto alive = AliveToken();
  LRESULT r = 0;
  {
    WindowDC dc(wnd);
    if (!dc) return;
    SavedDC saved(dc);
    if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
      BitmapDC src(SkinData->CacheBmp);
      if (src) BitBltBorder(dc, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src, 0, 0, BorderLeft);
    }
    r = PaintScrollBars(this, wnd, dc);
  }
  if (*alive) Message.Result = r;
}

// ---- Edit adapters of skinned memos and list boxes ---------------------------------------------------

namespace {

// The edit adapter held by a skinned memo or list box.
class TacEditScrollBars final : public TacControlScrollBars {
 public:
  explicit TacEditScrollBars(TacEditWnd* Adapter) : Adapter_(Adapter) {}
  ~TacEditScrollBars() override { FreeAndNil(Adapter_); }
  bool WindowGone() const override { return Adapter_->Destroyed; }
  void RefreshBars(bool Repaint) override { RefreshScrollInfo(Adapter_, Repaint); }
  int BarRoom(bool Vertical) const override {
    TacScrollBar* bar = Vertical ? Adapter_->VertBar : Adapter_->HorzBar;
    return bar && bar->ScrollVisible ? GetScrollBarSize(bar, true, true) : 0;
  }

 private:
  TacEditWnd* Adapter_;
};

std::unique_ptr<TacControlScrollBars> MakeEditScrollBars(TsCommonData* SkinData) {
  auto* wc = dynamic_cast<TWinControl*>(SkinData->OwnerControl);
  if (!wc) return nullptr;
  return std::make_unique<TacEditScrollBars>(
      Create<TacEditWnd>(wc->Handle(), SkinData, SkinData->SkinManager(), "EDIT", true));
}

const bool kEditScrollBarsHook = (CreateControlScrollBarsProc = &MakeEditScrollBars, true);
const bool kEditKind = RegisterKindAdapter(tkEdit, &MakeAdapter<TacEditWnd>);

}  // namespace
