#include "skin/controls/sButton.h"

#include <optional>

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

bool ShowButtonPressed = false;

namespace {

constexpr LONG_PTR kTypeMask = BS_TYPEMASK;

}  // namespace

TsButton::TsButton(TComponent* AOwner) : TacSkinnedControl<TButton>(AOwner, tcButton, true) {
  ControlStyle_.Exclude(csOpaque);
  ControlStyle_.Exclude(csDoubleClicks);
  WordWrap_ = true;
}

TsButton::~TsButton() { StopFade(FFadeTimer); }

void TsButton::SkinLoaded() {
  if (FSkinData->CacheBmp) FSkinData->CacheBmp->Canvas()->SetFont(Font());
  FSkinData->Loaded();
}

// ---- properties -------------------------------------------------------------------------------------

void TsButton::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  if (!Loading()) FSkinData->Invalidate();
}

void TsButton::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  FRegionChanged = true;
  if (!Loading()) FSkinData->Invalidate();
}

// ---- window style -------------------------------------------------------------------------------------

void TsButton::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  // Owner-drawn only when there is something to draw it with: the manager may be active with a
  // skin that has no section for the button.
  if (FSkinData && FSkinData->Skinned()) Params.Style = (Params.Style & ~DWORD(kTypeMask)) | BS_OWNERDRAW;
}

void TsButton::SetButtonStyle(bool ADefault) {
  FDefaultFlag = ADefault;
  if (FSkinData && FSkinData->Skinned())
    FSkinData->Invalidate();
  else
    TButton::SetButtonStyle(ADefault);
}

void TsButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TButton::ActionChange(Sender, CheckDefaults);
  FollowAction();
}

void TsButton::FollowAction() {
  if (auto* action = dynamic_cast<TCustomAction*>(Action())) SetEnabled(action->Enabled());
}

// ---- state and layout ---------------------------------------------------------------------------------

bool TsButton::WindowPushed() const {
  if (!Handle_) return false;
  return (SendMessageA(Handle_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

int TsButton::CurrentState() {
  if (FBuildingCache) return FPaintedState;
  if ((WindowPushed() || ShowButtonPressed) && (FSkinData->MouseAbove || !ControlState_.Contains(csLButtonDown)))
    return 2;
  if (FDown) return 2;
  if (FDefaultFlag) return 1;
  if (Handle_ && (GetWindowLongPtrA(Handle_, GWL_STYLE) & kTypeMask) == BS_DEFPUSHBUTTON) return 1;
  if (FSkinData->IsHot()) return 1;
  if (IsDesigning(this) && Default_) return 1;
  return 0;
}

int TsButton::MaxCaptionWidth() const { return Caption().empty() ? 0 : Width_ - 2; }

void TsButton::CaptionRect(TRect& R) {
  TRect m = Rect(0, 0, MaxCaptionWidth(), 0);
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  // Measured as DrawCaptionText draws it.
  DrawTextStr(canvas->Handle(), Caption(), m, DrawTextBiDiModeFlags(DT_CALCRECT | CaptionFlags()));
  const int x0 = (Width_ - m.Width()) / 2;
  const int y0 = (Height_ - m.Height()) / 2;
  R = Rect(x0 - 1, y0, Width_ - x0 + 2, Height_ - y0);
  if (CurrentState() == 2) R.Offset(1, 1);
}

void TsButton::DrawCaptionText(TRect& R, UINT Flags) {
  DrawControlText(FSkinData->CacheBmp->Canvas(), Caption(), true, R, DrawTextBiDiModeFlags(Flags), FSkinData,
                  CurrentState() != 0);
}

void TsButton::DrawCaption() {
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  TRect r;
  CaptionRect(r);
  DrawCaptionText(r, CaptionFlags());
  DrawFrameFocusDots(canvas, r, FFocusMargin, this, FSkinData, Caption());
}

// ---- the cache ----------------------------------------------------------------------------------------

void TsButton::DropRegion() {
  FRegion.Reset();
  if (HandleAllocated()) SetWindowRgn(Handle_, nullptr, FALSE);
}

void TsButton::BackToPlainLook() {
  if (HandleAllocated()) {
    const LONG_PTR style = GetWindowLongPtrA(Handle_, GWL_STYLE);
    if ((style & kTypeMask) == BS_OWNERDRAW) {
      // The plain default button keeps its default frame.
      const LONG_PTR type = (Active() || FDefaultFlag) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      SendMessageA(Handle_, BM_SETSTYLE, WPARAM((style & ~kTypeMask & 0xFFFF) | type), !SkinSwitchRunning());
    }
  }
  DropRegion();
  FRegionChanged = true;
}

void TsButton::PrepareCache() {
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  const int state = CurrentState();
  FPaintedState = state;
  struct TBuilding {
    bool& Flag;
    explicit TBuilding(bool& f) : Flag(f) { Flag = true; }
    ~TBuilding() { Flag = false; }
  } building(FBuildingCache);
  PaintControlBackground(FSkinData, ci, state, Rect(0, 0, Width_, Height_), Point(Left_, Top_), FSkinData->CacheBmp);
  if (FRegionChanged) FRegion.Reset(CreateRectRgn(0, 0, Width_, Height_));
  TsSkinManager* sm = FSkinData->SkinManager();
  if (sm && sm->IsMaskIndex(FSkinData->BorderIndex))
    PaintMaskRegion(FSkinData->CacheBmp, FRegion, true, sm->Mask(FSkinData->BorderIndex), state, sm);
  DrawCaption();
  if (!Enabled() || ActionDisabled(this)) {
    // The corners over the parent's background are dimmed with the rest of the look (the paint
    // handler leaves them alone then).
    RepaintAllCacheCorners(FSkinData, state);
    ApplyDisabledIfNeeded(this, FSkinData, FDisabledKind);
  }
  EndPrepareCache(FSkinData);
}

void TsButton::PaintHandler(TMessage& Message) {
  // WM_PAINT validates the window whatever DC it carries; the cache goes to the message's DC or,
  // without one, to the window's.
  std::optional<PaintScope> paint;
  if (Message.Msg == WM_PAINT) paint.emplace(Handle_);
  Message.Result = 0;

  if (RefreshUpdating(FSkinData)) return;
  if (FFadeTimer && FFadeTimer->Enabled()) return;
  NotePartlyHidden(this, FSkinData);

  // In a skin switch the window is cut to the new skin's corners as it paints, without a redraw.
  const bool switching = SkinSwitchRunning();
  const bool redraw = FFirstPaint && !switching;
  FFirstPaint = false;

  if (FRegionChanged) FSkinData->BGChanged = true;
  if (FSkinData->BGChanged) PrepareCache();

  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (FRegionChanged) {
    // The cache was just built (a changed region marks it changed), in the state it shows.
    if (Enabled() && !ActionDisabled(this)) RepaintAllCacheCorners(FSkinData, FPaintedState);
    const bool printing = PrintDC != nullptr && dc == PrintDC;
    if (!printing && !IsDesigning(this) && !ControlState_.Contains(csAlignmentNeeded)) {
      FRegionChanged = false;
      if (switching) {
        PaintAndCut(dc);
        return;
      }
      SetRegion(redraw);
    }
  }
  CopyCacheToWindow(this, FSkinData, dc);
}

bool TsButton::SetRegion(bool Redraw) {
  OwnedRegion current(CreateRectRgn(0, 0, 0, 0));
  const bool has = current && GetWindowRgn(Handle_, current) != ERROR;
  return SetRegionOver(Redraw, has ? current.Get() : nullptr);
}

bool TsButton::SetRegionOver(bool Redraw, HRGN Current) {
  // A region of the shape the window has already is not set again.
  if (Current && FRegion && EqualRgn(Current, FRegion)) {
    FRegion.Reset();
    return false;
  }
  FSettingRegion = true;
  SetWindowRgn(Handle_, FRegion.Release(), Redraw ? TRUE : FALSE);  // the window owns it now
  FSettingRegion = false;
  return true;
}

void TsButton::PaintAndCut(HDC DC) {
  // The cache goes to the window under the region it has (the pixels the new region leaves out
  // show the parent's image, as the cache's corners do), then the window is cut; where the new
  // region reaches beyond the old one the cache is copied once more.
  OwnedRegion before(CreateRectRgn(0, 0, 0, 0));
  const bool had = before && GetWindowRgn(Handle_, before) != ERROR;
  bool grows = false;
  if (had && FRegion) {
    OwnedRegion added(CreateRectRgn(0, 0, 0, 0));
    grows = added && CombineRgn(added, FRegion, before, RGN_DIFF) != NULLREGION;
  }
  CopyCacheToWindow(this, FSkinData, DC);
  if (SetRegionOver(false, had ? before.Get() : nullptr) && grows) CopyCacheToWindow(this, FSkinData, nullptr);
}

void TsButton::CutToNewShape() {
  if (!FRegionChanged || !HandleAllocated() || !IsWindowVisible(Handle_) || !FSkinData->Skinned()) return;
  if (PrintDC || IsDesigning(this) || ControlState_.Contains(csAlignmentNeeded)) return;
  if (FFadeTimer && FFadeTimer->Enabled()) return;
  // The parent's image and colour and the focus are asked once, as in a paint.
  TsParentAnswers answers(this);
  FSkinData->BGChanged = true;
  PrepareCache();
  if (Enabled() && !ActionDisabled(this)) RepaintAllCacheCorners(FSkinData, FPaintedState);
  FRegionChanged = false;
  SetRegion(false);
}

// ---- mouse ----------------------------------------------------------------------------------------------

void TsButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FrameSkinned(this, FSkinData) || !Enabled() || IsDesigning(this)) {
    TButton::MouseDown(Button, Shift, X, Y);
    return;
  }
  FSkinData->SetUpdating(false);
  if (Button == mbLeft) HintsOffWhilePressed(this);
  FPressed.Include(Button);
  if (Button == mbLeft && !FDown) {
    FRegionChanged = true;
    FSkinData->SetUpdating(FSkinData->Updating());
    FSkinData->BGChanged = false;
    FadeOrRepaint(FFadeTimer, FSkinData, true, AnimEventAllowed(aeMouseDown, FAnimatEvents), 1);
  }
  TButton::MouseDown(Button, Shift, X, Y);
}

void TsButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FrameSkinned(this, FSkinData) || !Enabled() || IsDesigning(this)) {
    if (Button == mbLeft) RestoreHints(this);
    FPressed.Exclude(Button);
    TButton::MouseUp(Button, Shift, X, Y);
    return;
  }
  // A release without a press of the same mouse button that began here is no release of this
  // button.
  if (!FPressed.Contains(Button) || IsDying(this)) return;
  FPressed.Exclude(Button);
  if (Button == mbLeft) {
    RestoreHints(this);
    if (FFadeTimer && FFadeTimer->Enabled() && FFadeTimer->Step < FFadeTimer->Iterations) {
      // A quick click: the press fade has not finished, so show the pressed look a moment.
      StopFade(FFadeTimer);
      FSkinData->BGChanged = true;
      ShowButtonPressed = true;
      RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      ShowButtonPressed = false;
      Sleep(30);
    }
    FSkinData->SetUpdating(false);
    FRegionChanged = true;
    FSkinData->BGChanged = false;
    FadeOrRepaint(FFadeTimer, FSkinData, true, AnimEventAllowed(aeMouseUp, FAnimatEvents), 1);
  }
  TButton::MouseUp(Button, Shift, X, Y);
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsButton::BeforeSkinChange(int Command) {
  if (Command == QC_SKINLOADED) FRegionChanged = true;
  TacSkinnedControl<TButton>::BeforeSkinChange(Command);
}

void TsButton::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) {
    BackToPlainLook();
  } else if (Command == QC_REFRESH) {
    if (!FSkinData->Skinned()) {
      // A skin without a section for the button: nothing would paint an owner-drawn window.
      BackToPlainLook();
    } else if (HandleAllocated()) {
      const LONG_PTR style = GetWindowLongPtrA(Handle_, GWL_STYLE);
      if ((style & kTypeMask) != BS_OWNERDRAW)
        SendMessageA(Handle_, BM_SETSTYLE, WPARAM((style & ~kTypeMask & 0xFFFF) | BS_OWNERDRAW), FALSE);
    }
    FRegionChanged = true;
    if (FSkinData->Skinned() && HandleAllocated())
      CutBeforeSwitchPaint(TCutOrder::Control, AliveToken(), [this] { CutToNewShape(); });
  }
  TacSkinnedControl<TButton>::AfterSkinChange(Command);
}

bool TsButton::SkinCommandMessage(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_SETALWAYSREPAINT:
      if (FSkinData->AlwaysRepaint) PrepareCache();
      HandleSkinCommand(Message, FSkinData);
      return true;
    case QC_PREPAREFADE:
      PrepareCache();
      Message.Result = 0;
      return false;
    case QC_FADEFRAME:
      FRegion.Reset();
      Message.Result = 0;
      return false;
    default: return false;
  }
}

bool TsButton::FocusMessage(TMessage& Message, bool Gained) {
  if (IsDesigning(this) || !Visible_) return false;
  if (!Enabled() || IsDying(this)) return true;
  if (!Gained) StopFade(FFadeTimer);
  auto alive = AliveToken();
  if (!HandleCommonMessage(Message, FSkinData)) TButton::WndProc(Message);
  if (!*alive) return true;
  if (Gained) {
    ShowFocusChange();
  } else if (FSkinData->Skinned()) {
    FSkinData->Focused = false;
    FRegionChanged = true;
    FSkinData->Invalidate();
  }
  return true;
}

void TsButton::MovedMessage() {
  const TsGeneralData* gd = SectionOf(FSkinData);
  if (gd && (gd->Transparency > 0 || (gd->HotTransparency > 0 && FSkinData->IsHot()))) {
    FSkinData->BGChanged = true;
    Repaint();
  }
}

void TsButton::SpaceKeyMessage(const TMessage& Message) {
  if (Message.WParam != VK_SPACE || !Enabled() || !Focused()) return;
  StopFade(FFadeTimer);
  FRegionChanged = true;
  FSkinData->BGChanged = true;
  Repaint();
}

void TsButton::PushedStateChanged() {
  // While the left button is held (not at its press or release, which fade themselves) the window
  // pushes itself as the mouse comes back over it and lets go as it leaves; the mouse enter and
  // leave repaints ran before that, so the look follows here.
  if (!FPressed.Contains(mbLeft) || !ControlState_.Contains(csLButtonDown)) return;
  if (CurrentState() == FPaintedState) return;
  StopFade(FFadeTimer);
  FRegionChanged = true;
  FSkinData->BGChanged = true;
  Repaint();
}

void TsButton::MeasureItemMessage(TMessage& Message) {
  if (auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
    mi->itemWidth = UINT(Width_);
    mi->itemHeight = UINT(Height_);
  }
  Message.Result = 1;
}

bool TsButton::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD: return SkinCommandMessage(Message);
    case WM_UPDATEUISTATE:
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_ENABLE: return true;
    case WM_PAINT:
      if (!Parent_) return false;
      PaintHandler(Message);
      return !IsDesigning(this);
    case WM_PRINT:
      FRegionChanged = true;
      PaintHandler(Message);
      return true;
    case WM_MOVE: MovedMessage(); return false;
    case WM_SIZE: FRegionChanged = true; return false;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      // The window's own region being set changes neither its region nor its look.
      if (FSettingRegion) return false;
      FRegionChanged = true;
      if (Message.Msg == WM_WINDOWPOSCHANGED) FSkinData->BGChanged = true;
      return false;
    case WM_SETFOCUS:
    case CM_ENTER: return FocusMessage(Message, true);
    case WM_KILLFOCUS:
    case CM_EXIT: return FocusMessage(Message, false);
    case CM_DIALOGCHAR: SpaceKeyMessage(Message); return false;
    case CM_TEXTCHANGED:
      if (!IsDying(this)) FSkinData->Invalidate();
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: FadeOnEnterLeave(Message); return false;
    case CM_UIACTIVATE: FSkinData->SetUpdating(false); return false;
    case CN_DRAWITEM:
      // The button draws itself; nothing for the owner-draw notification.
      Message.WParam = 0;
      Message.LParam = 0;
      Message.Result = 1;
      return true;
    case CN_MEASUREITEM: MeasureItemMessage(Message); return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: RestoreHints(this); return false;
    default: return false;
  }
}

void TsButton::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED:
      if (Visible_ && !IsDying(this)) {
        FSkinData->SetUpdating(false);
        FSkinData->Invalidate();
      }
      break;
    case CM_VISIBLECHANGED:
      if (!IsDying(this)) {
        FSkinData->BGChanged = true;
        FSkinData->SetUpdating(false);
        if (Visible_) Repaint();
      }
      break;
    case CM_ACTIONUPDATE: FollowAction(); break;
    case BM_SETSTATE: PushedStateChanged(); break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE && FSkinData->Skinned()) {
        FRegionChanged = true;
        FSkinData->BGChanged = true;
        Repaint();
      }
      break;
    default: break;
  }
}

void TsButton::PlainMessage(TMessage& Message) {
  if (Message.Msg == WM_CAPTURECHANGED || Message.Msg == WM_CANCELMODE) RestoreHints(this);
  FirePlainEnterLeave(this, Message, OnMouseEnter, OnMouseLeave);
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kButtonProps = RegisterProperties<TsButton, TButton>([](auto& p) {
  p.Obj("SkinData", &TsButton::SkinData);
  p.Set("AnimatEvents", &TsButton::AnimatEvents, &TsButton::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Set("DisabledKind", &TsButton::DisabledKind, &TsButton::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("Down", &TsButton::Down, &TsButton::SetDown);
  p.Ord("FocusMargin", &TsButton::FocusMargin, &TsButton::SetFocusMargin);
  p.Ord("WordWrap", &TsButton::WordWrap, &TsButton::SetWordWrap);
  p.Method("OnMouseEnter", &TsButton::GetOnMouseEnter, &TsButton::SetOnMouseEnter);
  p.Method("OnMouseLeave", &TsButton::GetOnMouseLeave, &TsButton::SetOnMouseLeave);
});
}  // namespace
