#include "skin/controls/sPanel.h"

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

// ---- TsPanel --------------------------------------------------------------------------------------------

TsPanel::TsPanel(TComponent* AOwner) : TacSkinnedControl<TPanel>(AOwner, tcPanel, true) {}

TRect TsPanel::CaptionArea() const {
  TRect r = ClientRect();
  int inset = 0;
  if (BevelOuter_ != bvNone) inset += BevelWidth_;
  if (BevelInner_ != bvNone) inset += BorderWidth_ + BevelWidth_;
  r.Inflate(-inset, -inset);
  return r;
}

void TsPanel::PrepareCache() {
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  PaintControlItem(FSkinData, ci, FFillSection, 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_), FSkinData->CacheBmp,
                   true);
  WriteCaption(CaptionArea());
  auto alive = AliveToken();
  OnPaint(this, FSkinData->CacheBmp->Canvas());
  if (*alive) EndPrepareCache(FSkinData);
}

void TsPanel::WriteCaption(TRect R) {
  const std::string text = Caption();
  if (text.empty()) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font_);
  canvas->Brush()->SetStyle(bsClear);
  // One line, centred vertically.
  const int h = canvas->TextHeight("W");
  R.Top += (R.Height() - h) / 2;
  R.Bottom = R.Top + h;
  WriteControlText(canvas, text, Enabled(), R, DT_EXPANDTABS | DT_SINGLELINE | AlignmentDrawFlags(this, Alignment_),
                   FSkinData, false);
}

void TsPanel::PaintSkin(HDC DC, bool SendUpdated) {
  if (!Showing() || !FSkinData->Skinned()) return;
  if (RefreshUpdating(FSkinData)) return;
  const HDC dc = DC ? DC : Canvas_->Handle();
  // Only a panel that shows what lies behind it depends on being seen whole.
  const bool wasHidden = FSkinData->PartlyHidden;
  bool hidden = false;
  if (FSkinData->RepaintIfMoved()) {
    RECT clip{};
    GetClipBox(dc, &clip);
    hidden = clip.right - clip.left != Width_ || clip.bottom - clip.top != Height_;
  }
  FSkinData->PartlyHidden = hidden;
  if ((FSkinData->BGChanged || wasHidden) && !FSkinData->AlwaysRepaint) {
    auto alive = AliveToken();
    PrepareCache();
    if (!*alive) return;
  }
  CopyCacheExcludingChildren(this, FSkinData, Point(0, 0), Rect(0, 0, Width_, Height_), dc, false, 0, 0);
  PaintGraphicChildren(dc, this, Point(0, 0));
  if (SendUpdated) RepaintChildControls(this);
}

void TsPanel::PaintWindow(HDC DC) {
  if (FrameSkinned(this, FSkinData))
    PaintSkin(DC, true);
  else
    TPanel::PaintWindow(DC);
}

void TsPanel::Paint() {
  TPanel::Paint();
  if (!FrameSkinned(this, FSkinData) && !Loading() && Visible_) OnPaint(this, Canvas_);
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsPanel::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED)
    Invalidate();
  else if (Command == QC_REFRESH && !PrintDC && !SkinSwitchRunning())
    Repaint();
}

void TsPanel::RepaintAfterUpdate() {
  if (HandleAllocated())
    RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

bool TsPanel::PlainPanelMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // The program draws the whole panel itself: nothing to erase under it.
      if (!OnPaint) return false;
      Message.Result = 1;
      return true;
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (dc) {
        const CanvasOnDC bound(Canvas_, dc);
        Paint();
      }
      Message.Result = 0;
      return true;
    }
    default: return false;
  }
}

void TsPanel::PaintMessage(TMessage& Message) {
  ControlState_.Include(csCustomPaint);
  {
    const PaintScope paint(Handle_);
    // The window's whole DC, not the one clipped to the update region: its clip box tells
    // whether the panel is seen whole.
    const ClientDC dc(Handle_, reinterpret_cast<HDC>(Message.WParam));
    const SavedDC saved(dc);
    PaintSkin(dc, true);
  }
  ControlState_.Exclude(csCustomPaint);
  Message.Result = 0;
}

void TsPanel::PrintMessage(TMessage& Message) {
  FSkinData->SetUpdating(false);
  if (FSkinData->BGChanged) PrepareCache();
  RepaintAllCacheCorners(FSkinData, 0);
  PaintSkin(reinterpret_cast<HDC>(Message.WParam), false);
  Message.Result = 0;
}

void TsPanel::WndProc(TMessage& Message) {
  if (FSkinData && Message.Msg != SM_QUORVEXCMD && !ReadyAndSkinned() && PlainPanelMessage(Message)) return;
  TacSkinnedControl<TPanel>::WndProc(Message);
}

bool TsPanel::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PRINT: PrintMessage(Message); return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: TPanel::WndProc(Message); return true;
    case WM_PAINT:
      if (!Visible_ && !IsDesigning(this)) return false;
      PaintMessage(Message);
      return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case CM_VISIBLECHANGED:
      FSkinData->BGChanged = true;
      FSkinData->SetUpdating(false);
      return false;
    case CM_TEXTCHANGED:
      if (Parent_) FSkinData->Invalidate();
      return true;
    case CM_COLORCHANGED:
      if (FSkinData->CustomColor) FSkinData->BGChanged = true;
      return false;
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_SETALWAYSREPAINT) {
        HandleSkinCommand(Message, FSkinData);
        if (FSkinData->AlwaysRepaint) PrepareCache();
        return true;
      }
      return false;
    default: return false;
  }
}

void TsPanel::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFONT:
      if (!Caption().empty()) {
        FSkinData->BGChanged = true;
        Repaint();
      }
      break;
    case CM_ENABLEDCHANGED: FSkinData->Invalidate(); break;
    case CM_MOUSEENTER:
      if (IsOwnEnterLeave(Message, this)) OnMouseEnter(this);
      break;
    case CM_MOUSELEAVE:
      if (IsOwnEnterLeave(Message, this)) OnMouseLeave(this);
      break;
    default: break;
  }
}

// ---- TsDragBar ----------------------------------------------------------------------------------------------

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner) {
  FSkinData->TypeCode = tcDragBar;
  FFillSection = true;
  SetCaption(" ");
  SetAlign(alTop);
  SetHeight(20);
  Font_->SetColor(clCaptionText);
  Font_->SetStyle(TFontStyles{fsBold});
  SetColor(clActiveCaption);
  Cursor_ = crHandPoint;
  Alignment_ = taCenter;
  if (Application) Application->HookMainWindow(MakeMethod<&TsDragBar::ApplicationHook>(this));
}

TsDragBar::~TsDragBar() {
  if (Application) Application->UnhookMainWindow(MakeMethod<&TsDragBar::ApplicationHook>(this));
}

void TsDragBar::SetDraggedControl(TControl* Value) {
  if (FDraggedControl == Value) return;
  if (FDraggedControl) FDraggedControl->RemoveFreeNotification(this);
  FDraggedControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation) {
  TsPanel::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDraggedControl) FDraggedControl = nullptr;
}

void TsDragBar::ReadState(TReader& Reader) {
  if (Owner() && !FDraggedControl) {
    if (auto* owner = dynamic_cast<TControl*>(Owner())) SetDraggedControl(GetParentForm(owner));
  }
  TsPanel::ReadState(Reader);
}

TControl* TsDragBar::DragTarget() { return FDraggedControl ? FDraggedControl : GetParentForm(this); }

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto alive = AliveToken();
  TsPanel::MouseDown(Button, Shift, X, Y);
  if (!*alive || Button != mbLeft) return;
  TControl* target = DragTarget();
  if (!target) return;
  // The system's move loop takes the mouse from here: the target follows it as a window follows
  // a drag of its caption.
  ReleaseCapture();
  target->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TsDragBar::ActivateApp(bool Active) {
  if (Color_ == clActiveCaption || Color_ == clInactiveCaption) SetColor(Active ? clActiveCaption : clInactiveCaption);
  const TColor text = Font_->Color();
  if (text == clCaptionText || text == clInactiveCaptionText)
    Font_->SetColor(Active ? clCaptionText : clInactiveCaptionText);
}

bool TsDragBar::ApplicationHook(TMessage& Message) {
  if (Message.Msg == WM_ACTIVATEAPP) ActivateApp(Message.WParam != 0);
  return false;
}

void TsDragBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_ACTIVATEAPP) ActivateApp(Message.WParam != 0);
  TsPanel::WndProc(Message);
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kPanelProps = RegisterProperties<TsPanel, TPanel>([](auto& p) {
  p.Obj("SkinData", &TsPanel::SkinData);
  p.Method("OnPaint", &TsPanel::GetOnPaint, &TsPanel::SetOnPaint);
  p.Method("OnMouseEnter", &TsPanel::GetOnMouseEnter, &TsPanel::SetOnMouseEnter);
  p.Method("OnMouseLeave", &TsPanel::GetOnMouseLeave, &TsPanel::SetOnMouseLeave);
});
const bool kDragBarProps = RegisterProperties<TsDragBar, TsPanel>(
    [](auto& p) { p.Obj("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl); });
}  // namespace
